// The engine's parts and how they are wired together: shared by the files that implement the
// engine's calls, and by nothing else.
#pragma once

#include "serial/engine.h"
#include "serial/line_log.h"
#include "serial/loaded_file_watch.h"
#include "serial/port_life.h"
#include "serial/receive_engine.h"
#include "serial/self_tester.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "serial/terminal_link.h"
#include "serial/transfer_options.h"
#include "serial/transmit_image.h"
#include "serial/xmodem_transfer.h"

namespace velotrix {

struct Engine::Impl {
    Impl(UiLoop& loop, DeviceAccess devices, EngineSubscriber subscriber)
        : events(loop,
                 [this, subscriber = std::move(subscriber)](const EngineEvent& event) {
                     // A reception asked for in the terminal hands the line back at its end.
                     if (std::holds_alternative<ReceptionFinishedEvent>(event)) {
                         terminal.ReceptionEnded();
                     }
                     // A write that finds the device gone loses the line like a failed wait.
                     const auto* failed = std::get_if<OsErrorEvent>(&event);
                     if (failed != nullptr && KindOf(failed->error) == OsErrorKind::kDeviceGone) {
                         life.LoseLine(failed->error);
                     } else if (subscriber) {
                         subscriber(event);
                     }
                     // After the face has shown the end, a rewrite that waited may send.
                     if (std::holds_alternative<SendEndedEvent>(event)) {
                         xmodem.SenderEnded();
                         watch.SendEnded();
                     }
                 }),
          bytes(loop, receiver),
          receiver(events, bytes),
          sends(events, port, options, tx),
          transmit(tx, sends),
          selfTest(events, bytes),
          life(loop, std::move(devices), events, port,
               {[this](std::span<const std::uint8_t> batch) { bytes.TakeBytes(batch); },
                [this] { return sends.Busy(); }, [this] { sends.StopAndJoin(); },
                [this] {
                    terminal.CancelPrompt();
                    bytes.PortClosed(true);
                },
                [this](const LineErrors& errors) { bytes.TakeLineErrors(errors); }},
               log) {
        transmit.SetLoadObserver(
            [this](const std::string& path, bool loaded) { watch.Follow(path, loaded); });
        bytes.SetInputWaiting([this] { return life.InputWaiting(); });
    }

    EventEmitter events;
    SerialPort port;
    TxImage tx;
    TransferOptions options;
    // Who takes the received bytes: the reception unless the self-test (or another taker) runs.
    // Before the takers, which leave it when they go.
    ReceivedBytesSlot bytes;
    ReceiveEngine receiver;
    SendSequences sends;
    TransmitImage transmit;
    LoadedFileWatch watch{events.Loop(), transmit, sends, options, port};
    SelfTester selfTest;
    XmodemTransfer xmodem{events, bytes, sends, receiver, port.promptReceive};
    // The slot's default taker while the terminal is open.
    TerminalLink terminal{events, bytes, receiver};
    // Before the port's life, so that the port's close is still written.
    LineLog log;
    // Last, so that it closes the port (joining every worker) before the rest goes.
    PortLife life;
};

}  // namespace velotrix
