// Fuzz target: the reception engine fed a random byte stream in random chunks with silences between
// them; every byte stored must be what came, and a finished reception is what arrived since the
// last silence, up to the storage's size.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/manual_loop.h"
#include "serial/receive_engine.h"

namespace {

// The reception as the engine holds it: the default taker of the received bytes.
struct Reception {
    velotrix::ManualLoop loop;
    const velotrix::EventEmitter events{loop, [](const velotrix::EngineEvent&) {}};
    velotrix::ReceivedBytesSlot slot{loop, receiver};
    velotrix::ReceiveEngine receiver{events, slot};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    Reception held;
    ManualLoop& loop = held.loop;
    ReceiveEngine& receiver = held.receiver;
    std::vector<std::uint8_t> reception;
    // Each chunk: a length byte (its top bit: a silence follows), then that many bytes.
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at] & 0x7F, size - at - 1);
        const bool silence = (data[at] & 0x80) != 0;
        const std::span<const std::uint8_t> chunk(data + at + 1, length);
        at += 1 + length;
        held.slot.TakeBytes(chunk);
        reception.insert(reception.end(), chunk.begin(), chunk.end());
        loop.RunPending();
        if (silence) {
            loop.Advance(std::chrono::seconds(3));
            const std::span<const std::uint8_t> saved = receiver.Savable().bytes;
            const std::size_t kept = std::min(reception.size(), kRxStorageSize);
            if (!reception.empty() &&
                (receiver.Receiving() || saved.size() != kept ||
                 !std::equal(saved.begin(), saved.end(), reception.begin()))) {
                std::abort();
            }
            reception.clear();
        }
    }
    return 0;
}
