// Fuzz target: the XMODEM receiver fed whole blocks (some damaged), raw bytes and silences in any
// order. It answers only with its own few bytes, its file holds no more than its blocks, nothing
// goes out once it has ended, its clock always moves on, and a silent line ends it.
#include <algorithm>
#include <cstdlib>

#include "serial/xmodem_receiver.h"

namespace {

using namespace velotrix::xmodem;

bool Answer(std::uint8_t byte) {
    return byte == kAck || byte == kNak || byte == kCrcPoll || byte == kCan;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    Receiver receiver({.crcFirst = (data[0] & 1) != 0, .trimPadding = (data[0] & 2) != 0});
    Time now{};
    Bytes out;
    receiver.Start(now, out);
    std::size_t fed = 0;
    // Each step: an operation byte, then what it needs. 0-3: a block (number byte, data length
    // byte, data; 1: 1K, 2: one byte changed, 3: checksum); 4: raw bytes (length byte, bytes);
    // else: time passes (op * 20 ms), the machine's deadlines firing on the way.
    for (std::size_t at = 1; at < size;) {
        const std::uint8_t op = data[at++];
        Bytes chunk;
        if (op < 4 && at + 1 < size) {
            const std::uint8_t number = data[at];
            const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
            const std::size_t blockSize = op == 1 ? kLongBlock : kShortBlock;
            AppendBlock(chunk, number, {data + at + 2, std::min(length, blockSize)}, blockSize,
                        op == 3 ? Check::kChecksum : Check::kCrc16);
            if (op == 2) {
                chunk[chunk.size() / 2] ^= 0x40;
            }
            at += 2 + length;
        } else if (op == 4 && at < size) {
            const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
            chunk.assign(data + at + 1, data + at + 1 + length);
            at += 1 + length;
        } else {
            const Time until = now + Time(op * 20);
            while (receiver.Running() && receiver.Deadline() <= until) {
                const Time deadline = receiver.Deadline();
                if (deadline < now) {
                    std::abort();  // the clock ran backwards
                }
                now = deadline;
                receiver.Tick(now, out);
                if (receiver.Running() && receiver.Deadline() <= now) {
                    std::abort();  // a tick that does not move the deadline on would spin
                }
            }
            now = until;
        }
        const bool ended = !receiver.Running();
        const std::size_t before = out.size();
        receiver.Receive(chunk, now, out);
        fed += chunk.size();
        if ((ended && out.size() != before) || !std::all_of(out.begin(), out.end(), Answer) ||
            receiver.File().size() > fed) {
            std::abort();
        }
        const Progress& status = receiver.Status();
        const bool trimmed = receiver.Ending() == End::kDone;
        if ((!trimmed && status.bytes != receiver.File().size()) ||
            (status.failedBlock != 0) != (receiver.Ending() == End::kTooManyRetries)) {
            std::abort();
        }
    }
    // A line that falls silent ends every transfer within a minute.
    for (int i = 0; i < 100 && receiver.Running(); ++i) {
        now = receiver.Deadline();
        receiver.Tick(now, out);
    }
    if (receiver.Running()) {
        std::abort();
    }
    return 0;
}
