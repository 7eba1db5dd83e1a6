// XMODEM's vocabulary, shared by its sender and receiver: the control bytes, the block layout and
// check, the waits, and how a transfer ended.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velotrix::xmodem {

inline constexpr std::uint8_t kSoh = 0x01;  // starts a block of 128 bytes
inline constexpr std::uint8_t kStx = 0x02;  // starts a block of 1024 bytes
inline constexpr std::uint8_t kEot = 0x04;  // the file is complete
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;     // again; at the start: send with the checksum
inline constexpr std::uint8_t kCan = 0x18;     // two in a row end the transfer
inline constexpr std::uint8_t kCrcPoll = 'C';  // at the start: send with CRC-16
inline constexpr std::uint8_t kPad = 0x1A;     // fills the last block, as CP/M ends a text file

inline constexpr std::size_t kShortBlock = 128;
inline constexpr std::size_t kLongBlock = 1024;
// How many times one block (or the end) may be asked for again before the transfer gives up.
inline constexpr int kMaxRetries = 10;
// What we send to end a transfer: more than the two that count, so that a receiver that takes the
// first ones for the rest of a block still sees two.
inline constexpr std::size_t kCancelCount = 8;

using Time = std::chrono::milliseconds;
// How long the other side may stay silent: before the first block (or the receiver's first
// request), and once the transfer runs.
inline constexpr Time kStartSilence{60000};
inline constexpr Time kTransferSilence{10000};
// Halfway through that silence the block (or the request) is repeated once, in case the answer
// was lost on the line.
inline constexpr Time kNudgeAfter{5000};
// The receiver's requests at the start, and how many of them ask for CRC-16 before it falls back
// to the checksum that every sender knows.
inline constexpr Time kPollInterval{3000};
inline constexpr int kCrcPolls = 3;
// Within a block the bytes follow each other at the line's pace: a gap this long means bytes
// were lost.
inline constexpr Time kByteGap{1000};

enum class Check { kChecksum, kCrc16 };

// How a transfer ended, as the user is told.
enum class End {
    kRunning,
    kDone,
    kCancelledByPeer,  // two CAN came
    kCancelledByUser,  // CAN went out
    kTooManyRetries,   // at the block Progress::failedBlock
    kNoStart,          // the other side stayed silent from the start; CAN went out
    kTimeout,          // the other side fell silent during the transfer; CAN went out
    kLineLost,         // the port failed
};

struct Progress {
    std::uint32_t blocks = 0;       // blocks acknowledged
    std::uint64_t bytes = 0;        // file bytes in them
    std::uint32_t retries = 0;      // blocks (and ends) sent again, over the whole transfer
    std::uint32_t failedBlock = 0;  // the block (counted from 1) that had too many retries
    Check check = Check::kCrc16;
    std::size_t blockSize = kShortBlock;  // of the last block
};

using Bytes = std::vector<std::uint8_t>;

// The block with its number (counted from 1, kept modulo 256 on the line), data (shorter data is
// filled with kPad up to size) and check: the whole frame as it goes on the line.
void AppendBlock(Bytes& out, std::uint32_t number, std::span<const std::uint8_t> data,
                 std::size_t size, Check check);

// Whether a frame's body (block number, its complement, the data and the check; the start byte
// already taken) is intact.
bool BlockIntact(std::span<const std::uint8_t> body, std::size_t size, Check check);

// The bytes that follow the start byte in a block of this size.
constexpr std::size_t BodySize(std::size_t size, Check check) {
    return 2 + size + (check == Check::kCrc16 ? 2 : 1);
}

void AppendCancel(Bytes& out);

// What a transfer on the port asks of either machine. Every call appends what must go on the
// line to out, in order.
class Machine {
  public:
    virtual ~Machine() = default;
    virtual void Receive(std::span<const std::uint8_t> bytes, Time now, Bytes& out) = 0;
    // Call when Deadline() has come (earlier does no harm).
    virtual void Tick(Time now, Bytes& out) = 0;
    // The user ends the transfer: the other side is told.
    virtual void Cancel(Bytes& out) = 0;
    // The port failed: nothing can be sent any more.
    virtual void LineLost() = 0;
    // When Tick must run next, while running.
    virtual Time Deadline() const = 0;
    virtual End Ending() const = 0;
    virtual const Progress& Status() const = 0;
    bool Running() const { return Ending() == End::kRunning; }
};

}  // namespace velotrix::xmodem
