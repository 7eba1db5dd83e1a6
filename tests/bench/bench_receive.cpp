// Speed of a full reception through a pty, the receive thread and the engine with its listing.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_device.h"
#include "support/port_rig.h"
#include "support/pty_pair.h"
#include "ui-resources/ids.h"

namespace {

using namespace std::chrono_literals;
using velotrix::kRxStorageSize;

// Every byte value in every 256-byte block, in a different order per block.
std::vector<std::uint8_t> Reception() {
    std::vector<std::uint8_t> bytes(kRxStorageSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 167 + (i >> 8));
    }
    return bytes;
}

}  // namespace

int main() {
    velotrix::test::PtyPair pty;
    if (!pty.ok()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    const velotrix::PortInfo port{"pty", pty.SlavePath()};
    velotrix::test::PortRig rig([port] { return std::vector<velotrix::PortInfo>{port}; },
                                velotrix::OpenSerialDevice);
    rig.Choose(velotrix::ids::kBaudCombo, "115200");
    rig.PressComButton();
    if (!rig.control.IsOpen()) {
        std::fprintf(stderr, "cannot open %s\n", port.path.c_str());
        return 1;
    }

    const std::vector<std::uint8_t> sent = Reception();
    const auto cpuBefore = velotrix::test::ProcessCpuTime();
    const auto wallBefore = std::chrono::steady_clock::now();
    std::thread farEnd([&] { pty.Write(sent, 20s); });
    const bool complete = rig.PumpUntilReceived(static_cast<std::uint32_t>(sent.size()), 20s);
    const auto wall = std::chrono::steady_clock::now() - wallBefore;
    const auto cpu = velotrix::test::ProcessCpuTime() - cpuBefore;
    farEnd.join();
    rig.loop.Advance(1000ms);

    const auto saved = rig.engine.SavableBytes();
    std::size_t lost = sent.size() > saved.size() ? sent.size() - saved.size() : 0;
    for (std::size_t i = 0; i < saved.size() && i < sent.size(); ++i) {
        lost += saved[i] != sent[i] ? 1 : 0;
    }
    const double cpuPerByte =
        std::chrono::duration<double, std::micro>(cpu).count() / static_cast<double>(sent.size());
    std::printf("bytes sent:            %zu\n", sent.size());
    std::printf("listing lines:         %zu\n", rig.Listing().size());
    std::printf("CPU time per byte:     %.3f us (whole process, goal below 1 us)\n", cpuPerByte);
    std::printf("first write to last byte: %.1f ms\n",
                std::chrono::duration<double, std::milli>(wall).count());
    std::printf("bytes lost or changed: %zu%s\n", lost, complete ? "" : " (reception incomplete)");
    return lost == 0 && complete ? 0 : 1;
}
