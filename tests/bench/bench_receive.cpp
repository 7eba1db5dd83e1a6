// Speed of a full reception through a pty, the receive thread and the engine with its listing.
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/pty_pair.h"
#include "support/rig.h"

namespace {

using namespace std::chrono_literals;

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

int main() {
    velotrix::test::PtyPair pty;
    velotrix::test::Rig rig(velotrix::test::Rig::Face::kEngine, {}, velotrix::DeviceAccess{});
    if (!pty.ok() || !rig.Open(pty.SlavePath()).ok()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    // Every byte value in every 256-byte block, in a different order per block.
    velotrix::test::Bytes sent(65536);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<std::uint8_t>(i * 167 + (i >> 8));
    }
    const auto cpuBefore = ProcessCpuTime();
    const auto wallBefore = std::chrono::steady_clock::now();
    std::atomic<bool> written{false};
    std::thread farEnd([&] {
        pty.Write(sent, 20s);
        written = true;
    });
    // The count reaches the window with the listing, at most every listing interval of the loop's
    // clock, which moves here in steps far shorter than the silence that ends a reception.
    bool complete = false;
    for (int step = 0; step < 20000 && !complete; ++step) {
        if (!rig.loop.RunUntil([&] { return written.load(); }, 1ms)) {
            continue;
        }
        std::this_thread::sleep_for(1ms);
        rig.loop.RunPending();
        rig.loop.Advance(10ms);
        complete = rig.received == sent.size();
    }
    const auto wall = std::chrono::steady_clock::now() - wallBefore;
    const auto cpu = ProcessCpuTime() - cpuBefore;
    farEnd.join();
    rig.loop.Advance(1000ms);

    const auto saved = rig.engine().Reception();
    std::size_t lost = sent.size() > saved.size() ? sent.size() - saved.size() : 0;
    for (std::size_t i = 0; i < saved.size() && i < sent.size(); ++i) {
        lost += saved[i] != sent[i] ? 1 : 0;
    }
    std::printf("bytes sent:            %zu\n", sent.size());
    std::printf("listing lines:         %zu\n", rig.lines.size());
    std::printf(
        "CPU time per byte:     %.3f us (whole process, goal below 1 us)\n",
        std::chrono::duration<double, std::micro>(cpu).count() / static_cast<double>(sent.size()));
    std::printf("first write to last byte: %.1f ms\n",
                std::chrono::duration<double, std::milli>(wall).count());
    std::printf("bytes lost or changed: %zu%s\n", lost, complete ? "" : " (reception incomplete)");
    return lost == 0 && complete ? 0 : 1;
}
