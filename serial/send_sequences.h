// The file and text sends: one sender thread at a time, writing through the block writer.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "image/tx_image.h"
#include "serial/engine_events.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"

namespace velotrix {

class SendSequences {
  public:
    SendSequences(const EventEmitter& events, SerialPort& port, TransferOptions& options,
                  const TxImage& tx);
    ~SendSequences();  // stops and joins the sender
    SendSequences(const SendSequences&) = delete;
    SendSequences& operator=(const SendSequences&) = delete;

    // On the UI thread. A send started while another runs is refused (kBusy) and changes nothing.
    // The image goes out once or continuously as the options say; a text is taken as it is now.
    EngineResult SendFile();
    // The text (cut as the text dialog cuts it) with the line end the options name.
    EngineResult SendText(const std::string& text);
    // The bytes of a text file (TextFile), once, with progress and the line delay.
    EngineResult SendTextFile(std::string bytes, std::size_t lines);
    // The bytes in one write, unlisted (the self-test's pattern).
    EngineResult SendPattern(std::vector<std::uint8_t> bytes);
    // Keys typed and text pasted in the terminal: they join those still going out, or a sender
    // starts for them; unlisted, with the pauses of a text.
    EngineResult Type(std::string bytes);
    // A break on the line for the duration, once what waits before it has left.
    EngineResult SendBreak(std::chrono::milliseconds duration);

    // A protocol's bytes: StartStream claims the one sender, which then writes what StreamWrite
    // hands it, piece by piece and in order, unlisted, until EndStream; it ends (SendEndedEvent)
    // once what was queued has left the PC. UI thread, each of them.
    EngineResult StartStream();
    void StreamWrite(std::vector<std::uint8_t> bytes);
    void EndStream();
    // After EndStream: waits at most timeout until the sender has written what was queued, it has
    // left the PC and the sender has ended (before the port closes, which would discard it).
    void AwaitStreamEnd(std::chrono::milliseconds timeout);

    // Takes a consistent copy of the transmit image and the pause (an index into the pause
    // entries; outside: no pause entry chosen) for the next pass of a send. UI thread.
    void RefreshSnapshot(int pauseIndex);

    // True while a sender thread runs.
    bool Busy() const;
    // Stops the sender (portOpen must already be cleared and the device's waits cancelled) and
    // joins it. UI thread; returns at once when none runs.
    void StopAndJoin();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velotrix
