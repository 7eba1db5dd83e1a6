// Screen services shared by the parts of the presenter.
#include "app/screen.h"

#include <string>

#include "platform/files.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr int kPortSettingControls[] = {ids::kPortCombo,     ids::kBaudCombo,     ids::kParityCombo,
                                        ids::kDataBitsCombo, ids::kStopBitsCombo, ids::kFlowCombo};
constexpr int kTransmitControls[] = {ids::kLoadButton, ids::kSendFileButton, ids::kRefreshButton};

}  // namespace

void Screen::SetControlMode(ControlMode mode) {
    for (int id : kPortSettingControls) {
        view_.Enable(id, mode == ControlMode::ModeClosed);
    }
    for (int id : kTransmitControls) {
        view_.Enable(id, mode == ControlMode::ModeOpen);
    }
}

void Screen::ShowSystemError(const OsError& error, std::string_view leadIn) {
    std::string text(leadIn);
    text += OsErrorText(error.code);
    if (!error.hint.empty()) {
        text += '\r';
        text += error.hint;
    }
    view_.MessageBox(text, msg::kSystemErrorCaption, MessageIcon::kError);
}

void Screen::ShowResult(const EngineResult& result, std::string_view leadIn) {
    if (result.os) {
        ShowSystemError(result.os, leadIn);
        return;
    }
    if (result.text.empty()) {
        return;
    }
    MessageIcon icon = MessageIcon::kNone;
    if (result.kind == ErrorKind::kBusy) {
        icon = MessageIcon::kInformation;
    } else if (result.kind == ErrorKind::kBadArgument) {
        icon = MessageIcon::kError;
    }
    view_.MessageBox(result.text, result.caption, icon);
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
