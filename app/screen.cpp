// Screen services shared by the controller and the serial link.
#include "app/screen.h"

#include <string>

#include "ui-resources/ids.h"
#include "platform/files.h"

namespace velotrix {

namespace {

constexpr int kPortSettingControls[] = {ids::kPortCombo,     ids::kBaudCombo,     ids::kParityCombo,
                                        ids::kDataBitsCombo, ids::kStopBitsCombo, ids::kFlowCombo};
constexpr int kTransmitControls[] = {ids::kLoadButton, ids::kSendFileButton, ids::kRefreshButton};

}  // namespace

void Screen::SetControlMode(int mode) {
    if (mode != ModeClosed && mode != ModeOpen && mode != ModeBusy) {
        return;
    }
    for (int id : kPortSettingControls) {
        view_.Enable(id, mode == ModeClosed);
    }
    for (int id : kTransmitControls) {
        view_.Enable(id, mode == ModeOpen);
    }
}

void Screen::ShowSystemError(int errorCode, std::string_view hint) {
    std::string text = OsErrorText(errorCode);
    if (!hint.empty()) {
        text += '\r';
        text += hint;
    }
    view_.MessageBox(text, "Meldung:", MessageIcon::kError);
}

void Screen::ScrollMessageListToEnd() {
    view_.ListSelect(ids::kMessageList, view_.ListCount(ids::kMessageList) - 1);
}

void Screen::AddMessage(std::string_view line) {
    view_.ListAdd(ids::kMessageList, line);
}

void Screen::ClearMessages() {
    view_.ListClear(ids::kMessageList);
}

}  // namespace velotrix
