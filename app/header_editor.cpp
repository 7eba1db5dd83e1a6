// The TX group: load and refresh commands, the header shown in the fields, and the user's edits.
#include "app/header_editor.h"

#include <string>

#include "ui-resources/ids.h"
#include "image/crc16.h"
#include "app/type_combo.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

// A hexadecimal edit field as the header takes it: at most its first five characters, trimmed.
std::uint32_t FieldHexValue(const DialogView& view, int id) {
    std::string text = LeftChars(view.GetText(id), 5);
    TrimText(text);
    return HexToValue(text);
}

}  // namespace

HeaderEditor::HeaderEditor(Screen& screen, TxImage& tx)
    : screen_(screen), view_(screen.View()), tx_(tx) {}

void HeaderEditor::LoadCommand() {
    tx_.loaded = false;
    tx_.sourcePath.clear();
    const std::vector<FileFilter> filters = {
        {"unterst\xFCtzte Dateien (*.bin, *z80, *.COM)", "*.bin;*z80;*.COM"},
        {"alle Dateien (*.*)", "*.*"},
    };
    const auto path = view_.AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex_);
    if (!path || path->empty()) {
        view_.SetPaneText(ids::kPanePath, " ");
    } else {
        LoadFromPath(*path);
    }
    ShowTxHeader();
}

void HeaderEditor::RefreshTxFile() {
    if (!tx_.loaded) {
        view_.MessageBox("Nix geladen zum Aufrischen.", "Fehler!", MessageIcon::kNone);
        return;
    }
    const std::string path = tx_.sourcePath;
    LoadFromPath(path);
    ShowTxHeader();
    if (tx_.loaded) {
        screen_.AddMessage("Datei-Puffer wurde aktualisiert...");
        screen_.ScrollMessageListToEnd();
    }
}

void HeaderEditor::LoadFromPath(const std::string& path) {
    const LoadResult result = LoadTxFile(tx_, path, scratch_);
    if (!result.message.empty()) {
        view_.MessageBox(result.message, result.caption, MessageIcon::kNone);
    }
    if (result.status != LoadStatus::kLoaded) {
        view_.SetPaneText(ids::kPanePath, " ");
        return;
    }
    view_.SetPaneText(ids::kPanePath, Utf8ToCp1252(path));
    view_.Enable(ids::kSendFileButton, true);
    view_.SetText(ids::kTxKind, result.isZ80 ? "Geladen: z80" : "Geladen: BIN");
}

void HeaderEditor::ShowTxHeader() {
    if (!tx_.loaded) {
        return;
    }
    const std::uint16_t aadr = HeaderAadr(tx_.Header());
    const std::uint16_t sadr = HeaderSadr(tx_.Header());
    std::string name = HeaderName(tx_.Header());
    TrimText(name);
    // Each write raises the field's reaction, which stores the value back into the header. The
    // AADR reaction also sets EADR from the data length and shows it: a z80 file whose own end
    // address disagrees with its length is shown and sent with the end address that matches the
    // bytes that actually go on the line, so the field and the header never disagree.
    view_.SetText(ids::kTxAadr, Hex4(aadr));
    view_.SetText(ids::kTxSadr, Hex4(sadr));
    view_.SetText(ids::kTxName, name);
    SelectTypeByLetter(view_, ids::kTxType, HeaderTypeLetter(tx_.Header()));
    view_.SetText(ids::kTxCrc, Hex4(Crc16(tx_.Data())));
    view_.SetText(ids::kTxBytes, Hex4(tx_.dataLength));
    view_.Repaint();
}

void HeaderEditor::TxAadrChanged() {
    if (!tx_.loaded) {
        return;
    }
    const std::uint32_t aadr = FieldHexValue(view_, ids::kTxAadr);
    SetHeaderAadr(tx_.Header(), aadr);
    const std::string eadr = Hex4(aadr + tx_.dataLength - 1);
    view_.SetText(ids::kTxEadr, eadr);
    SetHeaderEadr(tx_.Header(), HexToValue(eadr));
}

void HeaderEditor::TxSadrChanged() {
    if (!tx_.loaded) {
        return;
    }
    SetHeaderSadr(tx_.Header(), FieldHexValue(view_, ids::kTxSadr));
}

void HeaderEditor::TxNameChanged() {
    if (!tx_.loaded) {
        return;
    }
    std::string name = LeftChars(view_.GetText(ids::kTxName), kHeaderNameSize);
    TrimText(name);
    SetHeaderName(tx_.Header(), name);
}

void HeaderEditor::TxTypeSelected() {
    const int index = view_.ComboSelection(ids::kTxType);
    if (index >= 0 && index < static_cast<int>(kFileTypeCount)) {
        SetHeaderTypeLetter(tx_.Header(), TypeLetterAt(static_cast<std::size_t>(index)));
    }
}

}  // namespace velotrix
