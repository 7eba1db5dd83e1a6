// Shows what the engine reports: each event becomes the controls, panes, progress bar, MessageList
// lines and boxes that the window shows for it.
#pragma once

#include <optional>

#include "app/screen.h"
#include "serial/engine_events.h"
#include "serial/progress_meter.h"

namespace velotrix {

class EventPresenter {
  public:
    // The loop's clock times the progress beside the bar.
    EventPresenter(Screen& screen, const UiLoop& loop)
        : screen_(screen), view_(screen.View()), sendMeter_(loop), receiveMeter_(loop) {}

    void Show(const EngineEvent& event);
    // The controls of a closed port: settings offered again, "COM öffnen", no CTS, no text send.
    void ShowPortClosed();
    // The controls of an open port; ctsFlow: the flow control chosen, if any.
    void ShowPortOpen(std::optional<bool> ctsFlow, bool cts);
    // Blanks the RX fields and the RX type.
    void ClearRxFields();
    // True from a finished reception until it is saved or the display is reset.
    bool UnsavedReception() const { return unsaved_; }
    void MarkSaved() { unsaved_ = false; }

    // One handler for each kind of event.
    void operator()(const LinesEvent& event);
    void operator()(const MessagesClearedEvent&);
    void operator()(const ReceivedEvent& event);
    void operator()(const RxHeaderEvent& event);
    void operator()(const ReceptionFinishedEvent& event);
    void operator()(const ProgressEvent& event);
    void operator()(const BlocksEvent& event);
    void operator()(const ContinuousEvent& event);
    void operator()(const SendEndedEvent& event);
    void operator()(const SendAbortedEvent& event);
    void operator()(const OsErrorEvent& event);
    void operator()(const LineLostEvent& event);
    void operator()(const CtsEvent& event);
    void operator()(const ReopenedEvent& event);
    void operator()(const BaudChangedEvent& event);
    void operator()(const FrameNotTakenEvent& event);
    // Shown by the window's feature for the modem lines and the self-test.
    void operator()(const ModemLinesEvent&) {}
    void operator()(const ModemStatusEvent&) {}
    // Shown by the terminal window.
    void operator()(const TerminalBytesEvent&) {}
    void operator()(const PromptEvent&) {}
    void operator()(const SelfTestEndedEvent&) {}
    void operator()(const XmodemProgressEvent& event);
    void operator()(const XmodemEndedEvent& event);

  private:
    Screen& screen_;
    DialogView& view_;
    ProgressMeter sendMeter_;
    ProgressMeter receiveMeter_;  // runs once a reception's header promises its length
    bool unsaved_ = false;
};

}  // namespace velotrix
