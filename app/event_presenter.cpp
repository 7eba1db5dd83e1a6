// The engine's events as the window shows them.
#include "app/event_presenter.h"

#include <string>

#include "app/type_combo.h"
#include "image/z80_header.h"
#include "serial/engine.h"
#include "serial/xmodem_transfer.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr int kRxTextFields[] = {ids::kRxKind, ids::kRxAadr, ids::kRxEadr, ids::kRxSadr,
                                 ids::kRxName, ids::kRxCrc,  ids::kRxBytes};

}  // namespace

void EventPresenter::Show(const EngineEvent& event) {
    std::visit(*this, event);
}

void EventPresenter::ShowPortClosed() {
    screen_.SetControlMode(ControlMode::ModeClosed);
    view_.SetText(ids::kComButton, msg::kOpenCaption);
    view_.Show(ids::kCtsIndicator, false);
    view_.EnableMenuItem(ids::kMenuSendText, false);
    view_.EnableMenuItem(ids::kMenuSendTextFile, false);
}

void EventPresenter::operator()(const LinesEvent& event) {
    for (const std::string& line : event.lines) {
        screen_.AddMessage(line);
    }
    if (event.scrollToEnd) {
        screen_.ScrollMessageListToEnd();
    }
}

void EventPresenter::operator()(const MessagesClearedEvent&) {
    screen_.ClearMessages();
}

void EventPresenter::operator()(const ReceivedEvent& event) {
    view_.SetPaneText(ids::kPaneReceived,
                      std::string(msg::kBytesReceived) + CountToDecimal(event.total));
    if (receiveMeter_.Running()) {
        view_.SetProgressText(receiveMeter_.Text(event.total));
    }
}

void EventPresenter::ShowPortOpen(std::optional<bool> ctsFlow, bool cts) {
    screen_.SetControlMode(ControlMode::ModeOpen);
    view_.SetText(ids::kComButton, msg::kCloseCaption);
    if (ctsFlow) {
        view_.Show(ids::kCtsIndicator, *ctsFlow);
    }
    view_.SetCheck(ids::kCtsIndicator, cts);
    view_.Repaint();
    view_.EnableMenuItem(ids::kMenuSendText, true);
    view_.EnableMenuItem(ids::kMenuSendTextFile, true);
}

void EventPresenter::ClearRxFields() {
    for (int id : kRxTextFields) {
        view_.SetText(id, " ");
    }
    view_.ComboSelect(ids::kRxType, -1);
}

void EventPresenter::operator()(const RxHeaderEvent& event) {
    ClearRxFields();
    if (!event.header) {
        view_.SetText(ids::kRxKind, msg::kReceivedBin);
        return;
    }
    const RxHeaderInfo& header = *event.header;
    if (header.eadr >= header.aadr) {
        const auto promised =
            static_cast<std::uint32_t>(kHeaderSize + header.eadr - header.aadr + 1);
        receiveMeter_.Start(promised, static_cast<std::uint32_t>(kHeaderSize + 1));
    }
    view_.SetText(ids::kRxKind, msg::kReceivedZ80);
    SelectTypeByLetter(view_, ids::kRxType, header.typeLetter);
    view_.SetText(ids::kRxAadr, Hex4(header.aadr));
    view_.SetText(ids::kRxEadr, Hex4(header.eadr));
    view_.SetText(ids::kRxSadr, Hex4(header.sadr));
    view_.SetText(ids::kRxName, header.name);
    view_.Repaint();
}

void EventPresenter::operator()(const ReceptionFinishedEvent& event) {
    view_.SetText(ids::kRxCrc, Hex4(event.crc));
    view_.SetText(ids::kRxBytes, Hex4(event.dataLength));
    view_.Enable(ids::kSaveButton, true);
    view_.EnableMenuItem(ids::kMenuReceptionView, event.total > 0);
    view_.SetPaneText(ids::kPaneReceived, "");
    if (receiveMeter_.Running()) {
        receiveMeter_.Stop();
        view_.SetProgressText("");
    }
    unsaved_ = event.total > 0;
}

void EventPresenter::operator()(const ProgressEvent& event) {
    switch (event.kind) {
        case ProgressEvent::Kind::kShow:
            view_.ShowProgress(event.value);
            sendMeter_.Start(event.value);
            view_.SetProgressText(sendMeter_.Text(0));
            break;
        case ProgressEvent::Kind::kUpdate:
            view_.SetProgress(event.value);
            view_.SetPaneText(ids::kPaneSent, CountToDecimal(event.value));
            view_.SetProgressText(sendMeter_.Text(event.value));
            break;
        case ProgressEvent::Kind::kHide:
            view_.HideProgress();
            sendMeter_.Stop();
            view_.SetProgressText("");
            break;
    }
}

// A send's bar counts the bytes the receiver took; a reception has no end to measure against.
void EventPresenter::operator()(const XmodemProgressEvent& event) {
    const auto bytes = static_cast<std::uint32_t>(event.progress.bytes);
    if (event.sending) {
        if (!sendMeter_.Running()) {
            view_.ShowProgress(static_cast<std::uint32_t>(event.total));
            sendMeter_.Start(static_cast<std::uint32_t>(event.total));
        }
        view_.SetProgress(bytes);
        view_.SetPaneText(ids::kPaneSent, CountToDecimal(bytes));
    } else {
        view_.SetPaneText(ids::kPaneReceived,
                          std::string(msg::kBytesReceived) + CountToDecimal(bytes));
    }
    view_.SetProgressText(XmodemProgressText(event.progress));
}

void EventPresenter::operator()(const XmodemEndedEvent& event) {
    (*this)(LinesEvent{XmodemEndLines(event), true});
    if (event.sending) {
        view_.HideProgress();
        sendMeter_.Stop();
    }
    view_.SetProgressText("");
}

void EventPresenter::operator()(const BlocksEvent& event) {
    view_.Enable(ids::kBinModeCheck, !event.active);
    if (!event.active) {
        view_.SetPaneText(ids::kPaneSent, " ");
    }
}

void EventPresenter::operator()(const ContinuousEvent& event) {
    view_.Enable(ids::kContinuousCheck, !event.running);
}

void EventPresenter::operator()(const SendEndedEvent& event) {
    if (event.restoreOpen) {
        screen_.SetControlMode(ControlMode::ModeOpen);
    }
}

void EventPresenter::operator()(const SendAbortedEvent& event) {
    screen_.AddMessage(SendAbortedLine(event));
    screen_.ScrollMessageListToEnd();
}

void EventPresenter::operator()(const OsErrorEvent& event) {
    screen_.ShowSystemError(event.error);
}

void EventPresenter::operator()(const LineLostEvent& event) {
    ShowPortClosed();
    screen_.ShowSystemError(event.error, msg::kLineLost);
}

void EventPresenter::operator()(const ReopenedEvent& event) {
    ShowPortOpen(event.ctsFlow, event.cts);
    screen_.AddMessage(ReopenedLine(event));
    screen_.ScrollMessageListToEnd();
}

void EventPresenter::operator()(const BaudChangedEvent& event) {
    screen_.AddMessage(BaudChangedLine(event));
    screen_.ScrollMessageListToEnd();
}

void EventPresenter::operator()(const FrameNotTakenEvent& event) {
    screen_.AddMessage(FrameNotTakenLine(event));
    screen_.ScrollMessageListToEnd();
}

void EventPresenter::operator()(const CtsEvent& event) {
    view_.SetCheck(ids::kCtsIndicator, event.cts);
    view_.Repaint();
}

}  // namespace velotrix
