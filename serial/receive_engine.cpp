// The receive engine: stores and lists received bytes; a second of silence closes a reception.
#include "serial/receive_engine.h"

#include <chrono>

#include "ui-resources/ids.h"
#include "image/crc16.h"
#include "app/type_combo.h"
#include "image/z80_header.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr int kBytesPerLine = 16;
constexpr std::chrono::milliseconds kSilenceTime{1000};
constexpr std::size_t kSeparatorLength = 47;

constexpr int kRxTextFields[] = {ids::kRxKind, ids::kRxAadr, ids::kRxEadr, ids::kRxSadr,
                                 ids::kRxName, ids::kRxCrc,  ids::kRxBytes};

std::string Decimal(std::uint32_t value) {
    return IntToDecimal(static_cast<std::int32_t>(value));
}

}  // namespace

ReceiveEngine::ReceiveEngine(Screen& screen, UiLoop& loop) : screen_(screen), loop_(loop) {
    buffer_.rxLine.reserve(3 * kBytesPerLine);
}

ReceiveEngine::~ReceiveEngine() {
    loop_.StopTimer(ids::kSilenceTimer);
}

void ReceiveEngine::ConsumeReceivedBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    const int linesBefore = screen_.View().ListCount(ids::kMessageList);
    for (std::uint8_t byte : bytes) {
        StoreByte(byte);
    }
    DialogView& view = screen_.View();
    if (view.ListCount(ids::kMessageList) != linesBefore) {
        view.Repaint();
    }
    view.SetPaneText(ids::kPaneReceived, "Bytes empfangen: " + Decimal(buffer_.receivedCount));
    loop_.StartTimer(ids::kSilenceTimer, kSilenceTime, [this] { FinishReception(); });
}

void ReceiveEngine::StoreByte(std::uint8_t byte) {
    RxBuffer& rx = buffer_;
    if (rx.receivedCount == 0) {
        rx.hasHeader = false;
        droppedCount_ = 0;
    }
    if (rx.receivedCount >= kRxStorageSize) {
        // The storage holds one reception of at most 64 KiB; the rest is counted and reported by
        // FinishReception.
        ++droppedCount_;
        return;
    }
    // A reception always lies from index 0 on: when ResetDisplayState rewound writePosition in the
    // middle of one, its further bytes still follow its first ones instead of overwriting them.
    rx.storage[rx.receivedCount] = byte;
    ++rx.receivedCount;
    rx.writePosition = rx.receivedCount;
    if (rx.receivedCount == kHeaderSize + 1) {
        ShowRxHeader();
    }
    rx.rxLine += Hex2(byte);
    rx.rxLine += ' ';
    if (++rx.rxLineCount == kBytesPerLine) {
        screen_.AddMessage(rx.rxLine);
        rx.rxLine.clear();
        rx.rxLineCount = 0;
    }
}

void ReceiveEngine::ShowRxHeader() {
    ClearRxFields();
    buffer_.hasHeader = false;
    DialogView& view = screen_.View();
    const ConstHeaderBytes header =
        std::span<const std::uint8_t>(buffer_.storage).first<kHeaderSize>();
    if (!HasZ80Marker(header)) {
        view.SetText(ids::kRxKind, "Empfangen: BIN");
        return;
    }
    buffer_.hasHeader = true;
    view.SetText(ids::kRxKind, "Empfangen: z80");
    SelectTypeByLetter(view, ids::kRxType, HeaderTypeLetter(header));
    view.SetText(ids::kRxAadr, Hex4(HeaderAadr(header)));
    view.SetText(ids::kRxEadr, Hex4(HeaderEadr(header)));
    view.SetText(ids::kRxSadr, Hex4(HeaderSadr(header)));
    view.SetText(ids::kRxName, HeaderName(header));
    view.Repaint();
}

void ReceiveEngine::ClearRxFields() {
    buffer_.savableLength = 0;
    savable_.clear();
    savableHasHeader_ = false;
    DialogView& view = screen_.View();
    for (int id : kRxTextFields) {
        view.SetText(id, " ");
    }
    view.ComboSelect(ids::kRxType, -1);
}

void ReceiveEngine::FinishReception() {
    RxBuffer& rx = buffer_;
    if (rx.rxLineCount > 0) {
        screen_.AddMessage(rx.rxLine);
        rx.rxLine.clear();
        rx.rxLineCount = 0;
    }
    const std::span<const std::uint8_t> reception =
        std::span<const std::uint8_t>(rx.storage).first(rx.receivedCount);
    rx.savableLength = rx.receivedCount;
    savable_.assign(reception.begin(), reception.end());
    savableHasHeader_ = rx.hasHeader;

    screen_.AddMessage(std::string(kSeparatorLength, '-'));
    screen_.AddMessage("Bytes empfangen gesamt: " + Decimal(rx.receivedCount));
    if (droppedCount_ > 0) {
        screen_.AddMessage("Empfangspuffer voll: " + Decimal(droppedCount_) + " Bytes verworfen");
    }
    screen_.AddMessage("Sichern per Button");
    screen_.ScrollMessageListToEnd();
    loop_.StopTimer(ids::kSilenceTimer);

    // hasHeader still describes the last finished reception when the timer fires without a new
    // one; the header is skipped only when this reception holds more than it.
    const std::size_t dataStart = rx.hasHeader && rx.receivedCount > kHeaderSize ? kHeaderSize : 0;
    const std::span<const std::uint8_t> data = reception.subspan(dataStart);
    DialogView& view = screen_.View();
    view.SetText(ids::kRxCrc, Hex4(Crc16(data)));
    view.SetText(ids::kRxBytes, Hex4(static_cast<std::uint32_t>(data.size())));
    view.Enable(ids::kSaveButton, true);

    rx.receivedCount = 0;
    rx.writePosition = 0;
    droppedCount_ = 0;
    view.SetPaneText(ids::kPaneReceived, "");
}

void ReceiveEngine::ResetListing() {
    buffer_.rxLine.clear();
    buffer_.rxLineCount = 0;
    buffer_.writePosition = 0;
    ClearRxFields();
}

std::span<const std::uint8_t> ReceiveEngine::SavableBytes() const {
    return savable_;
}

bool ReceiveEngine::SavableHasHeader() const {
    return savableHasHeader_;
}

}  // namespace velotrix
