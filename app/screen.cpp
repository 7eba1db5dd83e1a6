// Screen services shared by the parts of the presenter.
#include "app/screen.h"

#include <string>

#include "platform/files.h"
#include "serial/error_texts.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr int kPortSettingControls[] = {ids::kPortCombo,     ids::kBaudCombo,     ids::kParityCombo,
                                        ids::kDataBitsCombo, ids::kStopBitsCombo, ids::kFlowCombo};
constexpr int kTransmitControls[] = {ids::kLoadButton, ids::kSendFileButton, ids::kRefreshButton};

}  // namespace

// The lines of a message box are separated by a carriage return alone.
std::string InfoText() {
    std::string text(msg::kInfoLines[0]);
    for (std::size_t i = 1; i < std::size(msg::kInfoLines); ++i) {
        text += '\r';
        text += msg::kInfoLines[i];
    }
    if (msg::CurrentLanguage() != msg::Language::kGerman) {
        text += "\r\r";
        text += msg::kInfoLanguage;
    }
    return text;
}

void Screen::SetControlMode(ControlMode mode) {
    for (int id : kPortSettingControls) {
        view_.Enable(id, mode == ControlMode::ModeClosed);
    }
    for (int id : kTransmitControls) {
        view_.Enable(id, mode == ControlMode::ModeOpen);
    }
}

void Screen::ShowSystemError(const OsError& error, std::string_view leadIn) {
    view_.MessageBox(std::string(leadIn) + UserErrorText(error), msg::kSystemErrorCaption,
                     MessageIcon::kError);
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
    } else if (result.kind == ErrorKind::kBadArgument || result.kind == ErrorKind::kNoPort) {
        icon = MessageIcon::kError;
    }
    view_.MessageBox(result.text, result.caption, icon);
}

bool Screen::MayReplace(const std::string& path) {
    // A file the user keeps is replaced only when they say so.
    return FileExists(path) == 0 ||
           view_.AskYesNo(std::string(msg::kReplacePrefix) + Utf8ToCp1252(path) +
                              std::string(msg::kReplaceSuffix),
                          msg::kWindowTitle);
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
