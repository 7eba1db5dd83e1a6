// The TX group: load and refresh commands, the header shown in the fields, and the user's edits.
#include "app/header_editor.h"

#include <string>

#include "app/type_combo.h"
#include "image/crc16.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// A hexadecimal edit field as the header takes it: at most its first five characters, trimmed.
std::uint32_t FieldHexValue(const DialogView& view, int id) {
    std::string text = LeftChars(view.GetText(id), 5);
    TrimText(text);
    return HexToValue(text);
}

}  // namespace

HeaderEditor::HeaderEditor(Screen& screen, Engine& engine)
    : screen_(screen), view_(screen.View()), engine_(engine) {}

void HeaderEditor::LoadCommand() {
    engine_.Unload();
    const std::vector<FileFilter> filters = {
        {std::string(msg::kSupportedFiles), "*.bin;*z80;*.COM"},
        {std::string(msg::kAllFiles), "*.*"},
    };
    const auto path = view_.AskOpenFile(msg::kOpenTitle, filters, filterIndex_);
    if (!path || path->empty()) {
        view_.SetPaneText(ids::kPanePath, " ");
    } else {
        if (fileChosen_) {
            fileChosen_(*path);
        }
        ShowLoad(engine_.LoadFile(*path), *path);
    }
    ShowTxHeader();
}

void HeaderEditor::LoadPath(const std::string& path) {
    ShowLoad(engine_.LoadFile(path), path);
    ShowTxHeader();
}

void HeaderEditor::RefreshTxFile() {
    if (!engine_.Image().loaded) {
        view_.MessageBox(msg::kNothingToRefresh, msg::kErrorCaption, MessageIcon::kNone);
        return;
    }
    ShowReloaded(engine_.ReloadFile());
    if (engine_.Image().loaded) {
        screen_.AddMessage(msg::kRefreshed);
        screen_.ScrollMessageListToEnd();
    }
}

void HeaderEditor::ShowReloaded(const LoadOutcome& outcome) {
    ShowLoad(outcome, engine_.Image().sourcePath);
    ShowTxHeader();
}

void HeaderEditor::ShowLoad(const LoadOutcome& outcome, const std::string& path) {
    screen_.ShowResult(outcome.result);
    if (!outcome.loaded) {
        view_.SetPaneText(ids::kPanePath, " ");
        return;
    }
    view_.SetPaneText(ids::kPanePath, Utf8ToCp1252(path));
    view_.Enable(ids::kSendFileButton, true);
    view_.SetText(ids::kTxKind, outcome.isZ80 ? msg::kLoadedZ80 : msg::kLoadedBin);
}

void HeaderEditor::ShowTxHeader() {
    const TxImage& tx = engine_.Image();
    if (!tx.loaded) {
        return;
    }
    const std::uint16_t aadr = HeaderAadr(tx.Header());
    const std::uint16_t sadr = HeaderSadr(tx.Header());
    std::string name = HeaderName(tx.Header());
    TrimText(name);
    wrapWarned_ = false;
    // Each write raises the field's reaction, which stores the value back into the header. The
    // AADR reaction also sets EADR from the data length and shows it: a z80 file whose own end
    // address disagrees with its length is shown and sent with the end address that matches the
    // bytes that actually go on the line, so the field and the header never disagree.
    view_.SetText(ids::kTxAadr, Hex4(aadr));
    view_.SetText(ids::kTxSadr, Hex4(sadr));
    view_.SetText(ids::kTxName, name);
    SelectTypeByLetter(view_, ids::kTxType, HeaderTypeLetter(tx.Header()));
    view_.SetText(ids::kTxCrc, Hex4(Crc16(tx.Data())));
    view_.SetText(ids::kTxBytes, Hex4(tx.dataLength));
    view_.Repaint();
}

void HeaderEditor::TxAadrChanged() {
    const TxImage& tx = engine_.Image();
    if (!tx.loaded) {
        return;
    }
    const std::uint32_t aadr = FieldHexValue(view_, ids::kTxAadr) & 0xFFFFu;
    view_.SetText(ids::kTxEadr, Hex4(engine_.SetLoadAddress(aadr)));
    // The end address wraps as the header's 16 bits do; the person learns once per load and
    // each time an edit makes the data run past the top of memory again.
    const bool wraps = DataRunsPastTop(tx);
    if (wraps && !wrapWarned_) {
        screen_.AddMessage(msg::kDataWraps);
        screen_.ScrollMessageListToEnd();
    }
    wrapWarned_ = wraps;
}

void HeaderEditor::TxSadrChanged() {
    if (engine_.Image().loaded) {
        engine_.SetStartAddress(FieldHexValue(view_, ids::kTxSadr));
    }
}

void HeaderEditor::TxNameChanged() {
    if (engine_.Image().loaded) {
        // The field holds more characters than the header: the name is what the header can take.
        engine_.SetName(LeftChars(view_.GetText(ids::kTxName), kHeaderNameSize));
    }
}

void HeaderEditor::TxTypeSelected() {
    const int index = view_.ComboSelection(ids::kTxType);
    if (index >= 0 && index < static_cast<int>(kFileTypeCount)) {
        engine_.SetTypeLetter(TypeLetterAt(static_cast<std::size_t>(index)));
    }
}

}  // namespace velotrix
