// The send side of the program on the headless view: a port that counts as open around a given
// device, the transfer options, a loaded transmit image and the send sequences.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/screen.h"
#include "image/tx_image.h"
#include "platform/headless/headless_view.h"
#include "platform/manual_loop.h"
#include "serial/block_writer.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"
#include "support/pty_pair.h"

namespace velotrix::test {

// Remembers every count shown in pane 2 and every progress value, in order.
class RecordingView : public HeadlessView {
  public:
    void SetPaneText(int pane, std::string_view text) override;
    void SetProgress(std::uint32_t value) override;

    std::vector<std::string> sentPane;
    std::vector<std::uint32_t> progress;
};

// The slave side of the pair as the program opens it, raw.
std::unique_ptr<SerialDevice> OpenPtyDevice(const PtyPair& pty);

class SendRig {
  public:
    // The port counts as open with the device; the pause list is filled and "keine" selected.
    explicit SendRig(std::unique_ptr<SerialDevice> device,
                     ManualLoop::Clock clock = ManualLoop::Clock::kReal);

    // A z80 header and dataLength bytes of a pattern that holds every byte value.
    void Load(std::uint32_t dataLength);
    // Selects a pause entry (-1: none) and hands it to the sends, as the controller does.
    void SelectPause(int index);
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Pumps until no sender runs and its end has been shown.
    bool PumpUntilIdle(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // What ClosePort does to a running send.
    void ClosePort();
    std::vector<std::string> Messages() const;
    bool Listed(std::string_view line) const;
    // For calling the block writer on the test's own thread.
    SendContext Context(bool textMode, bool continuous);

    RecordingView view;
    Screen screen{view};
    ManualLoop loop;
    SerialPort port;
    TransferOptions options;
    TxImage tx;
    std::atomic<bool> stop{false};
    std::optional<SendSequences> sends;
};

}  // namespace velotrix::test
