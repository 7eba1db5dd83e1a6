// Benchmark: a full image sent byte by byte with progress through the engine to a
// pseudo-terminal, in pairs with a plain loop of one-byte write() calls to the same kind of
// device; and how many bytes still reach the line once the port is being closed during a send.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "support/counting_device.h"
#include "support/pty_pair.h"
#include "support/rig.h"

namespace {

using namespace velotrix;
using namespace velotrix::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBytes = 65504;
constexpr int kPairs = 7;
constexpr int kCloseTries = 30;

// The far end reads the line on its own thread as fast as bytes come.
class FarEnd {
  public:
    explicit FarEnd(PtyPair& pty)
        : reader_([this, &pty] {
              while (!stop_) {
                  const std::size_t got = pty.Read(20ms).size();
                  total_ += got;
                  if (got == 0) {
                      std::this_thread::sleep_for(1ms);  // the line is not open (yet or any more)
                  }
              }
          }) {}
    ~FarEnd() {
        stop_ = true;
        reader_.join();
    }
    bool WaitFor(std::size_t count) {
        for (int i = 0; i < 30000 && total_ < count; ++i) {
            std::this_thread::sleep_for(1ms);
        }
        return total_ >= count;
    }

  private:
    std::atomic<std::size_t> total_{0};
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double PlainLoop() {
    PtyPair pty;
    const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    FarEnd farEnd(pty);
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < kBytes; ++i) {
        const auto byte = static_cast<std::uint8_t>(i);
        while (write(fd, &byte, 1) != 1) {
        }
    }
    const double seconds = Seconds(Clock::now() - start);
    const bool complete = farEnd.WaitFor(kBytes);
    close(fd);
    return complete ? seconds : -1;
}

// A send through the engine; written counts the bytes before and after closing began, and
// closeAfter closes the port once that many have been written (0: the send runs to its end).
double EngineSend(std::atomic<std::size_t> (&written)[2], std::size_t closeAfter = 0) {
    PtyPair pty;
    Rig rig(Rig::Face::kEngine, {},
            DeviceAccess{[] { return std::vector<PortInfo>{}; },
                         [&](const std::string& path) {
                             auto opened = OpenSerialDevice(path);
                             opened.value =
                                 std::make_unique<CountingDevice>(std::move(opened.value), written);
                             return opened;
                         }});
    if (!rig.Open(pty.SlavePath()).ok()) {
        return -1;
    }
    rig.Do("bin; load SEND.bin 65504");
    FarEnd farEnd(pty);
    const Clock::time_point start = Clock::now();
    rig.engine().SendFile();
    if (closeAfter > 0) {
        rig.Pump([&] { return written[0] >= closeAfter; });
        rig.engine().Close();
        return 0;
    }
    rig.PumpUntilIdle();
    const double seconds = Seconds(Clock::now() - start);
    return farEnd.WaitFor(kBytes) ? seconds : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    // The machine may be shared: pairs taken one right after the other see the same load.
    std::vector<double> ratios;
    bool complete = true;
    for (int pair = 1; pair <= kPairs; ++pair) {
        std::atomic<std::size_t> written[2] = {0, 0};
        const double plain = PlainLoop();
        const double engine = EngineSend(written);
        complete = complete && plain > 0 && engine > 0;
        ratios.push_back(engine / plain);
        std::printf("pair %d: plain write() loop %7.1f ms, engine send %7.1f ms, ratio %.2f\n",
                    pair, plain * 1e3, engine * 1e3, engine / plain);
    }
    std::printf(
        "%zu bytes byte by byte with progress: median ratio engine / plain loop %.2f "
        "(goal <= 1.2)%s\n",
        kBytes, Median(ratios), complete ? "" : "  (bytes missing!)");

    std::vector<double> late;
    for (int attempt = 0; attempt < kCloseTries; ++attempt) {
        std::atomic<std::size_t> written[2] = {0, 0};
        EngineSend(written, 1000 + 1500 * static_cast<std::size_t>(attempt));
        late.push_back(static_cast<double>(written[1]));
    }
    std::printf(
        "bytes written after the close click over %d tries: median %.0f, max %.0f "
        "(goal: max 1)\n",
        kCloseTries, Median(late), *std::max_element(late.begin(), late.end()));
    return complete ? 0 : 1;
}
