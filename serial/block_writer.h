// The block writer: every byte that leaves the PC goes through WriteBlock, with its progress
// display and result lines, and the hex listing of text sends.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/screen.h"
#include "platform/serial_device.h"
#include "platform/ui_loop.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"

namespace velotrix {

// How often a byte-by-byte block shows its progress: often enough to look smooth, seldom enough
// that the window never falls behind a fast line.
inline constexpr int kProgressIntervalMs = 25;

// Everything a sender thread needs. The window is reached only through posted tasks, so a sender
// never waits for the UI thread.
struct SendContext {
    Screen& screen;
    UiLoop& loop;
    SerialPort& port;
    SerialDevice& device;
    const TransferOptions& options;
    // Raised when the sender must end although the port stays open (the owner goes away).
    const std::atomic<bool>& stop;
    // Fixed when the send starts, so that a click during the send cannot change how it ends.
    bool textMode = false;
    bool continuous = false;
    // The caller posts PostBlocksStart and PostBlocksEnd once around a run of back-to-back
    // blocks, so that the blocks themselves post nothing when they go well.
    bool controlsHeld = false;

    // The port is open and nobody asked the sender to end.
    bool KeepGoing() const { return port.portOpen.load() && !stop.load(); }
    // Runs update on the UI thread, in the order of posting.
    void Post(std::function<void(Screen&)> update) const;
    void PostMessage(std::string line) const;
    void PostMessages(std::vector<std::string> lines) const;
    void PostScrollToEnd() const;
};

// Check box 1051 is disabled while blocks are written, so that binMode cannot change under them;
// when they end it is enabled again and pane 2 blanked.
void PostBlocksStart(const SendContext& context);
void PostBlocksEnd(const SendContext& context);

enum class BlockResult {
    kWritten,  // every byte was handed to the driver
    kAborted,  // the port was closed (or the sender stopped) before the end
    kFailed,   // the driver reported an error; the user has been shown its text
};

// Writes one block: byte by byte with progress bar and count in pane 2 when progress is on and
// the send is not a text send, otherwise in one write. Lists "Bytes gesendet: n" unless the send
// is continuous. Check box 1051 is disabled while the block is written.
BlockResult WriteBlock(const SendContext& context, std::span<const std::uint8_t> block);

// The hex listing of a sent block: "gesendet:  " and then 20 groups "XX " per line. The last line
// is always present, even when it is empty.
std::vector<std::string> SendListingLines(std::span<const std::uint8_t> block);

// Lists the block (unless the send is continuous) and writes it.
BlockResult SendWithListing(const SendContext& context, std::span<const std::uint8_t> block);

}  // namespace velotrix
