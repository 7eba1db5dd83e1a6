// The receive engine: stores and lists received bytes; a second of silence closes a reception.
#include "serial/receive_engine.h"

#include <algorithm>
#include <utility>

#include "image/crc16.h"
#include "image/z80_header.h"
#include "serial/line_options.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr int kBytesPerLine = 16;
constexpr std::size_t kSeparatorLength = 47;
constexpr auto kHeaderSize32 = static_cast<std::uint32_t>(kHeaderSize);

// The listing line of the count bytes that end before index end: "XX " per byte.
std::string ListingLine(const std::vector<std::uint8_t>& storage, std::uint32_t end, int count) {
    std::string line(3 * static_cast<std::size_t>(count), ' ');
    for (int i = 0; i < count; ++i) {
        PutHex2(line.data() + 3 * i, storage[end - static_cast<std::uint32_t>(count - i)]);
    }
    return line;
}

}  // namespace

std::string ShortReceptionLine(std::uint32_t arrived, std::uint32_t promised) {
    return std::string(msg::kShortReceptionPrefix) + CountToDecimal(arrived) +
           std::string(msg::kShortReceptionMiddle) + CountToDecimal(promised) +
           std::string(msg::kShortReceptionSuffix);
}

ReceiveEngine::ReceiveEngine(const EventEmitter& events, ReceivedBytesSlot& slot)
    : events_(events), slot_(slot) {}

ReceiveEngine::~ReceiveEngine() {
    slot_.StopSilence(*this);
    events_.Loop().StopTimer(ids::kListingTimer);
}

void ReceiveEngine::OnBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    for (std::uint8_t byte : bytes) {
        StoreByte(byte);
    }
    countPending_ = true;
    if (!listingPaced_) {
        EmitListing();
        listingPaced_ = true;
        events_.Loop().StartTimer(ids::kListingTimer, kListingInterval,
                                  [this] { ListingIntervalOver(); });
    }
    slot_.WaitForSilence(*this, SilenceAllowed());
}

void ReceiveEngine::OnSilence() {
    if (Receiving()) {
        FinishReception(false);
    }
}

// A reception the close or a lost line cuts off is kept: finished at once, cut short.
void ReceiveEngine::OnPortClosed(bool) {
    if (Receiving()) {
        FinishReception(true);
    }
}

void ReceiveEngine::EmitListing() {
    if (!pendingLines_.empty()) {
        events_.Emit(LinesEvent{std::exchange(pendingLines_, {}), false});
    }
    if (countPending_) {
        countPending_ = false;
        events_.Emit(ReceivedEvent{buffer_.receivedCount});
    }
}

// What came during the interval goes out now, and the next interval begins; a quiet interval
// ends the pacing, so that the next batch is shown at once.
void ReceiveEngine::ListingIntervalOver() {
    listingPaced_ = countPending_ || !pendingLines_.empty();
    if (listingPaced_) {
        EmitListing();
        events_.Loop().StartTimer(ids::kListingTimer, kListingInterval,
                                  [this] { ListingIntervalOver(); });
    }
}

// A sender may pause between header and data for as long as its longest pause; a reception that
// holds exactly a header that promises data waits longer than that, so that the pause does not
// split one transfer into two. Every other silence ends the reception after a second.
std::chrono::milliseconds ReceiveEngine::SilenceAllowed() const {
    const bool promisesData = buffer_.receivedCount == kHeaderSize && PromisedLength() > 0;
    return promisesData ? LongestPause() + kSilenceTime + kSilenceTime / 2 : kSilenceTime;
}

// The data bytes the reception's header promises; 0 without a header.
std::uint32_t ReceiveEngine::PromisedLength() const {
    if (buffer_.receivedCount < kHeaderSize) {
        return 0;
    }
    const ConstHeaderBytes header =
        std::span<const std::uint8_t>(buffer_.storage).first<kHeaderSize>();
    return HasZ80Marker(header) ? HeaderDataLength(header) : 0;
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
    // A reception always lies from index 0 on: when a display reset rewound writePosition in the
    // middle of one, its further bytes still follow its first ones instead of overwriting them.
    rx.storage[rx.receivedCount] = byte;
    ++rx.receivedCount;
    rx.writePosition = rx.receivedCount;
    if (rx.receivedCount == kHeaderSize + 1) {
        ShowRxHeader();
    }
    if (++rx.rxLineCount == kBytesPerLine) {
        pendingLines_.push_back(ListingLine(rx.storage, rx.receivedCount, kBytesPerLine));
        rx.rxLineCount = 0;
    }
}

void ReceiveEngine::ShowRxHeader() {
    // The lines before the header's bytes come first, as they arrived.
    if (!pendingLines_.empty()) {
        events_.Emit(LinesEvent{std::exchange(pendingLines_, {}), false});
    }
    ForgetSavable();
    const ConstHeaderBytes header =
        std::span<const std::uint8_t>(buffer_.storage).first<kHeaderSize>();
    buffer_.hasHeader = HasZ80Marker(header);
    if (!buffer_.hasHeader) {
        events_.Emit(RxHeaderEvent{});
        return;
    }
    headerName_ = HeaderName(header);
    events_.Emit(RxHeaderEvent{RxHeaderInfo{HeaderTypeLetter(header), HeaderAadr(header),
                                            HeaderEadr(header), HeaderSadr(header), headerName_}});
}

void ReceiveEngine::ForgetSavable() {
    savable_ = {};
}

void ReceiveEngine::FinishReception(bool cutShort) {
    RxBuffer& rx = buffer_;
    // A reception that ends right after a header promising data has read that header: it is a z80
    // transfer cut short, shown with its name, not a plain one.
    if (rx.receivedCount == kHeaderSize32 && PromisedLength() > 0) {
        ShowRxHeader();
    }
    // The lines still gathered for the window come before the last one.
    std::vector<std::string> lines = std::exchange(pendingLines_, {});
    countPending_ = false;
    listingPaced_ = false;
    events_.Loop().StopTimer(ids::kListingTimer);
    if (rx.rxLineCount > 0) {
        lines.push_back(ListingLine(rx.storage, rx.receivedCount, rx.rxLineCount));
        rx.rxLineCount = 0;
    }
    const std::span<const std::uint8_t> reception =
        std::span<const std::uint8_t>(rx.storage).first(rx.receivedCount);
    // A header followed by fewer bytes than it promises is a transfer cut short, whatever made
    // the line fall silent: the user must not take it for a whole file.
    const std::uint32_t promised = PromisedLength();
    const std::uint32_t arrived = rx.receivedCount - std::min(rx.receivedCount, kHeaderSize32);
    // hasHeader still describes the last finished reception when the timer fires without a new
    // one; the header is skipped only when this reception holds it.
    const std::size_t dataStart = rx.hasHeader && rx.receivedCount >= kHeaderSize ? kHeaderSize : 0;
    std::optional<HexImage> hex = dataStart == 0 ? ReadHexReception(reception) : std::nullopt;
    const std::span<const std::uint8_t> data =
        hex ? std::span<const std::uint8_t>(hex->data) : reception.subspan(dataStart);
    ReceptionFinishedEvent finished{.crc = Crc16(data),
                                    .dataLength = static_cast<std::uint32_t>(data.size()),
                                    .total = rx.receivedCount,
                                    .dropped = droppedCount_,
                                    .hasHeader = rx.hasHeader,
                                    .promised = arrived < promised ? promised : 0,
                                    .cutShort = cutShort,
                                    .hex = std::nullopt};
    if (hex) {
        finished.hex =
            RxHexInfo{hex->lowest, hex->Highest(), hex->start.value_or(hex->lowest), hex->ok()};
    }
    savable_.bytes.assign(reception.begin(), reception.end());
    savable_.hasHeader = rx.hasHeader;
    savable_.name = rx.hasHeader ? headerName_ : std::string();
    savable_.incomplete = Incomplete(finished);

    lines.emplace_back(kSeparatorLength, '-');
    lines.push_back(std::string(msg::kReceivedTotal) + CountToDecimal(rx.receivedCount));
    if (hex) {
        const std::vector<std::string> hexLines = HexLines(*hex);
        lines.insert(lines.end(), hexLines.begin(), hexLines.end());
    }
    savable_.hex = std::move(hex);
    if (arrived < promised) {
        lines.push_back(ShortReceptionLine(arrived, promised));
    }
    if (droppedCount_ > 0) {
        lines.push_back(std::string(msg::kBufferFullPrefix) + CountToDecimal(droppedCount_) +
                        std::string(msg::kBufferFullSuffix));
    }
    events_.Emit(LinesEvent{std::move(lines), true});
    slot_.StopSilence(*this);
    events_.Emit(finished);

    rx.receivedCount = 0;
    rx.writePosition = 0;
    droppedCount_ = 0;
}

std::vector<std::string> ReceiveEngine::HexLines(const HexImage& hex) {
    std::vector<std::string> lines{std::string(msg::kHexReceived) + CountToDecimal(hex.lines) +
                                   std::string(msg::kHexReceivedLines) +
                                   CountToDecimal(hex.data.size()) +
                                   std::string(msg::kHexReceivedFrom) + Hex4(hex.lowest) +
                                   std::string(msg::kHexReceivedTo) + Hex4(hex.Highest()) + "h"};
    for (std::size_t line : hex.checksumLines) {
        lines.push_back(HexFaultText({HexFault::kChecksum, line, 0}));
    }
    if (hex.fault.fault != HexFault::kNone) {
        lines.push_back(HexFaultText(hex.fault));
    }
    return lines;
}

std::vector<std::uint8_t> ReceiveEngine::DropReception() {
    RxBuffer& rx = buffer_;
    std::vector<std::uint8_t> bytes(rx.storage.begin(), rx.storage.begin() + rx.receivedCount);
    pendingLines_.clear();
    countPending_ = false;
    listingPaced_ = false;
    events_.Loop().StopTimer(ids::kListingTimer);
    slot_.StopSilence(*this);
    rx.rxLineCount = 0;
    rx.receivedCount = 0;
    rx.writePosition = 0;
    droppedCount_ = 0;
    return bytes;
}

void ReceiveEngine::AdoptReception(std::span<const std::uint8_t> file, bool cutShort) {
    const auto size = static_cast<std::uint32_t>(file.size());
    const ReceptionFinishedEvent finished{
        .crc = Crc16(file), .dataLength = size, .total = size, .cutShort = cutShort, .hex = {}};
    savable_ = {std::vector<std::uint8_t>(file.begin(), file.end()),
                false,
                {},
                Incomplete(finished),
                std::nullopt};
    events_.Emit(finished);
}

void ReceiveEngine::ResetListing() {
    buffer_.rxLineCount = 0;
    buffer_.writePosition = 0;
    // The display they were meant for has been cleared.
    pendingLines_.clear();
    ForgetSavable();
}

}  // namespace velotrix
