// The block writer: every byte that leaves the PC goes through WriteBlock, with its progress
// display and result lines, and the hex listing of text sends.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "serial/engine_events.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"

namespace velotrix {

// How often a byte-by-byte block shows its progress: often enough to look smooth, seldom enough
// that the window never falls behind a fast line.
inline constexpr int kProgressIntervalMs = 25;
// What a byte-by-byte block lets wait in the driver's queue: this many bytes at least, or what
// the line sends in kLeadTime. The sender tops the queue up to it and sleeps until half of it is
// left, so that the line stays busy while the sender wakes; progress counts the bytes that have
// left (what was written less what still waits), and a close discards what waits. The lead stays
// small, since a USB adapter's own buffer, where no discard reaches, takes from it.
inline constexpr std::size_t kLeadBytes = 64;
inline constexpr std::chrono::milliseconds kLeadTime{12};

// Wakes a sender's pauses at once when the port closes or the sender must end.
struct SendWake {
    std::mutex mutex;
    std::condition_variable changed;
};

// Everything a sender thread needs. What the user sees is reached only through posted events, so
// a sender never waits for the UI thread.
struct SendContext {
    const EventEmitter& events;
    SerialPort& port;
    SerialDevice& device;
    const TransferOptions& options;
    // Raised when the sender must end although the port stays open (the owner goes away).
    const std::atomic<bool>& stop;
    SendWake& wake;
    // The bytes of the send (of its pass) the driver took; WriteBlock adds to it.
    std::atomic<std::uint32_t>& taken;
    // Fixed when the send starts, so that a click during the send cannot change how it ends.
    bool textMode = false;
    bool continuous = false;
    // A text file shows its progress like a file, although it is a text.
    bool textFile = false;
    // The caller posts BlocksEvent once around a run of back-to-back blocks, so that the blocks
    // themselves post nothing when they go well.
    bool controlsHeld = false;
    // Keys typed in the terminal: no line of the MessageList tells of them.
    bool quiet = false;

    // The port is open and nobody asked the sender to end.
    bool KeepGoing() const { return port.portOpen.load() && !stop.load(); }
    // Waits up to the given time, or less when the port closes; true when the send may go on.
    bool Pause(std::chrono::nanoseconds duration) const;
    void PostLine(std::string line, bool scrollToEnd = false) const;
    // Tells that the send (its pass of a continuous send, counting from 1) ended before its total
    // had left: how many bytes did leave, those the driver took less those it still holds or
    // threw away.
    void PostAborted(std::size_t total, std::uint32_t pass = 0) const;
    // A new send, or a new pass of one: nothing taken or thrown away yet.
    void StartCounting() const;
    // Throws away what arrived before a file's block, unless the terminal takes it.
    void DropInput() const;
};

enum class BlockResult {
    kWritten,  // every byte was handed to the driver
    kAborted,  // the port was closed (or the sender stopped) before the end
    kFailed,   // the driver reported an error; the user has been shown its text
};

// Writes one block: byte by byte with progress when progress is on and the send is not a text
// send (a text file's is), byte by byte with a pause after each byte when a character delay is
// set (and after each line end of a text when a line delay is), otherwise in one write. Lists
// "Bytes gesendet: n" unless the send is continuous; adds what the driver took to taken. The BIN
// switch is held while the block is written. A block of lines names where each ends (the count of
// bytes up to and with its end, ascending): the line delay follows each of them, and the progress
// counts the lines.
BlockResult WriteBlock(const SendContext& context, std::span<const std::uint8_t> block,
                       std::span<const std::uint32_t> lineEnds = {});

// The hex listing of a sent block: "gesendet:  " and then 20 groups "XX " per line. The last line
// is always present, even when it is empty.
std::vector<std::string> SendListingLines(std::span<const std::uint8_t> block);

// Lists the block (unless the send is continuous) and writes it.
BlockResult SendWithListing(const SendContext& context, std::span<const std::uint8_t> block);

}  // namespace velotrix
