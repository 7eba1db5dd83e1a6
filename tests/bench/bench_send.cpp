// Benchmark: a full image sent byte by byte with progress through the engine to a
// pseudo-terminal, in pairs with a plain loop of one-byte write() calls to the same kind of
// device; and how many bytes still go out on the wire after "COM schließen" during a send, on a
// device whose bytes leave at the line's rate; and what the line log costs a send.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/log_file.h"
#include "serial/line_log.h"
#include "support/pty_pair.h"
#include "support/rig.h"

namespace {

using namespace velotrix;
using namespace velotrix::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBytes = 65504;
constexpr int kPairs = 7;
constexpr int kLogPairs = 11;
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

// A send through the engine to its end at 115200 baud, with the line log when asked for.
double EngineSend(bool logged = false) {
    PtyPair pty;
    Rig rig(Rig::Face::kEngine, {},
            DeviceAccess{[] { return std::vector<PortInfo>{}; }, OpenSerialDevice});
    rig.engine().SetLogClock(LocalWallTime);
    if ((logged && !rig.engine().StartLog(rig.dir.File("send.log")).ok()) ||
        !rig.engine().Open({pty.SlavePath(), 115200, Parity::kNone, 8, 1, false}).ok()) {
        return -1;
    }
    rig.Do("bin; load SEND.bin 65504");
    FarEnd farEnd(pty);
    const Clock::time_point start = Clock::now();
    rig.engine().SendFile();
    rig.PumpUntilIdle();
    const double seconds = Seconds(Clock::now() - start);
    return farEnd.WaitFor(kBytes) ? seconds : -1;
}

// What leaves the PC after the close click, when the click comes after writtenBefore bytes were
// handed to the driver, with or without progress (one write for the whole block).
struct Late {
    double bytes;         // after the click
    double bytesDriver;   // after the close reached the driver
    double microseconds;  // from the click until then
};
Late BytesAfterClick(int baud, std::size_t writtenBefore, bool progress) {
    Rig rig;
    rig.line().SetByteTime(std::chrono::microseconds(10'000'000 / baud));
    rig.Open();
    rig.engine().SetShowProgress(progress);
    rig.Do("load A.bin 8000");
    rig.engine().SendFile();
    rig.Pump([&] { return rig.line().Written().size() >= writtenBefore; });
    rig.line().NoteNextChangeFromThisThread();
    const Clock::time_point click = Clock::now();
    rig.engine().Close();
    const Clock::time_point reached = rig.line().NotedChange().value_or(click);
    return {static_cast<double>(rig.line().BytesLeavingAfter(click)),
            static_cast<double>(rig.line().BytesLeavingAfter(reached)),
            std::chrono::duration<double, std::micro>(reached - click).count()};
}

// What the sender spends to hand the log one byte, in seconds: the log's whole share of a send's
// time, since the file is written by the log's own thread.
double LogTimePerByte(const std::string& path) {
    constexpr int kCalls = 1'000'000;
    LineLog log;
    if (log.Start(path, nullptr)) {
        return -1;
    }
    const std::uint8_t byte = 0x41;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kCalls; ++i) {
        log.Bytes(LogKind::kTx, &byte, 1);
    }
    return Seconds(Clock::now() - start) / kCalls;
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
        const double plain = PlainLoop();
        const double engine = EngineSend();
        complete = complete && plain > 0 && engine > 0;
        ratios.push_back(engine / plain);
        std::printf("pair %d: plain write() loop %7.1f ms, engine send %7.1f ms, ratio %.2f\n",
                    pair, plain * 1e3, engine * 1e3, engine / plain);
    }
    std::printf(
        "%zu bytes byte by byte with progress: median ratio engine / plain loop %.2f "
        "(goal <= 1.2)%s\n",
        kBytes, Median(ratios), complete ? "" : "  (bytes missing!)");

    // The line log's cost: sends with and without it, in pairs whose order alternates, so that a
    // load that grows or shrinks meanwhile favours neither.
    std::vector<double> costs;
    std::vector<double> plains;
    for (int pair = 1; pair <= kLogPairs; ++pair) {
        const bool logFirst = pair % 2 == 0;
        const double first = EngineSend(logFirst);
        const double second = EngineSend(!logFirst);
        const double plain = logFirst ? second : first;
        const double logged = logFirst ? first : second;
        plains.push_back(plain);
        complete = complete && plain > 0 && logged > 0;
        costs.push_back(logged / plain - 1);
        std::printf("pair %d: send %7.1f ms, with the line log %7.1f ms, cost %+.1f %%\n", pair,
                    plain * 1e3, logged * 1e3, costs.back() * 100);
    }
    std::printf("%zu bytes at 115200 baud: median cost of the line log %+.1f %% (goal < 10 %%)%s\n",
                kBytes, Median(costs) * 100, complete ? "" : "  (bytes missing!)");
    const TempDir dir;
    const double perByte = LogTimePerByte(dir.File("bytes.log"));
    std::printf(
        "the sender's time per byte for the log: %.2f us, %.1f %% of a byte's time in the "
        "send to the pty, %.2f %% of a byte's time on a line at 115200 baud\n",
        perByte * 1e6, perByte / (Median(plains) / kBytes) * 100, perByte * 115200 / 10 * 100);

    // A byte that starts between the click and the moment the close reaches the driver is the
    // machine's (a few microseconds; at 115200 baud a byte lasts 87 us); the goal is what the
    // program leaves on the line from there on: the byte on the wire.
    for (const int baud : {9600, 115200}) {
        for (const bool progress : {true, false}) {
            std::vector<double> late;
            std::vector<double> lateDriver;
            std::vector<double> latency;
            for (int attempt = 0; attempt < kCloseTries; ++attempt) {
                const Late figures =
                    BytesAfterClick(baud, 40 + 13 * static_cast<std::size_t>(attempt), progress);
                late.push_back(figures.bytes);
                lateDriver.push_back(figures.bytesDriver);
                latency.push_back(figures.microseconds);
            }
            std::printf(
                "%6d baud, %s, over %d tries: bytes on the wire after the close reached the "
                "driver: median %.0f, max %.0f (goal: max 1); after the click: median %.0f, max "
                "%.0f; the close reached the driver %.1f us after the click (median), %.1f us "
                "(max)\n",
                baud, progress ? "byte by byte" : "one write  ", kCloseTries, Median(lateDriver),
                *std::max_element(lateDriver.begin(), lateDriver.end()), Median(late),
                *std::max_element(late.begin(), late.end()), Median(latency),
                *std::max_element(latency.begin(), latency.end()));
        }
    }
    return complete ? 0 : 1;
}
