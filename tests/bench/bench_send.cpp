// Benchmark of sending, each figure a ratio against its reference measured in the same run:
// velotrix-cli sending 64 KiB byte by byte with progress to a pseudo-terminal against a plain
// loop of one-byte write() calls (CPU time of the two processes, in pairs); the engine's send
// against that loop in-process, with and without the line log; the time a line at 115200 baud
// takes for a send against the time its bytes need; and how many bytes still leave after Ctrl+C
// or SIGTERM into velotrix-cli, and after "COM schließen", on a line whose bytes leave at its
// rate. Exits 1 when a byte went missing or a stop let more than the byte on the wire leave.
#include <fcntl.h>
#include <pthread.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_child.h"
#include "frontends/cli/cli_options.h"
#include "frontends/cli/cli_session.h"
#include "platform/process.h"
#include "serial/line_log.h"
#include "support/pty_pair.h"
#include "support/rig.h"

namespace {

using namespace velotrix;
using namespace velotrix::test;
using namespace std::chrono_literals;
using bench::Median;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDataBytes = 65504;  // with the header: 64 KiB on the line
constexpr std::size_t kLineBytes = kDataBytes + 32;
constexpr int kCliPairs = 9;
constexpr int kPairs = 7;
constexpr int kLogPairs = 11;
constexpr int kLineRuns = 3;
constexpr int kStopTries = 25;
// A byte of 10 bits at 115200 baud.
constexpr auto kByteTime115200 = std::chrono::nanoseconds(1'000'000'000LL * 10 / 115200);

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

// One write() per byte to the device at path, as the yardstick program does it, in-process.
int WriteOneByteAtATime(const char* path, std::size_t count) {
    const int fd = open(path, O_RDWR | O_NOCTTY);
    termios raw{};
    if (fd < 0 || tcgetattr(fd, &raw) != 0) {
        return 1;
    }
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<std::uint8_t>(i);
        while (write(fd, &byte, 1) != 1) {
        }
    }
    tcdrain(fd);
    close(fd);
    return 0;
}

// One process run against a pty whose far end reads everything; its times, or a failed status.
bench::ChildTimes RunOnPty(const std::vector<std::string>& command, std::size_t expected,
                           const std::string& output) {
    PtyPair pty;
    FarEnd farEnd(pty);
    std::vector<std::string> arguments = command;
    for (std::string& argument : arguments) {
        argument = argument == "PTY" ? pty.SlavePath() : argument;
    }
    bench::Child child(arguments, output);
    bench::ChildTimes times = child.Wait();
    if (!farEnd.WaitFor(expected)) {
        times.status = -1;
    }
    return times;
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
    return farEnd.WaitFor(kDataBytes) ? seconds : -1;
}

double PlainLoopInProcess() {
    PtyPair pty;
    FarEnd farEnd(pty);
    const Clock::time_point start = Clock::now();
    WriteOneByteAtATime(pty.SlavePath().c_str(), kDataBytes);
    const double seconds = Seconds(Clock::now() - start);
    return farEnd.WaitFor(kDataBytes) ? seconds : -1;
}

// A line at 115200 baud whose bytes leave at its rate: the time from the first byte's start to
// the last byte's end, against the time the bytes need; and the process's CPU time meanwhile
// against that line time.
struct LineRun {
    double lineRatio;
    double cpuShare;
};
LineRun SendThroughLine() {
    Rig rig;
    rig.line().SetByteTime(kByteTime115200);
    rig.engine().Open({"/dev/fake/ttyS0", 115200, Parity::kNone, 8, 1, false});
    rig.Do("load A.bin 65504");
    timespec before{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    rig.engine().SendFile();
    rig.PumpUntilIdle();
    timespec after{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    const std::vector<FakeSerialDevice::Sent> sent = rig.line().SentLog();
    if (sent.size() != kLineBytes) {
        return {-1, -1};
    }
    const double line = Seconds(sent.back().left - (sent.front().left - kByteTime115200));
    const double cpu = static_cast<double>(after.tv_sec - before.tv_sec) +
                       static_cast<double>(after.tv_nsec - before.tv_nsec) / 1e9;
    return {line / Seconds(kByteTime115200 * static_cast<long>(kLineBytes)), cpu / line};
}

// Throws away what it is given: the command line's output during the interrupt tries.
class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
};

std::atomic<int> interrupted{0};

// What leaves the line after a signal reached velotrix-cli (its send command, run here on a fake
// line at 115200 baud) when it came after writtenBefore bytes had been handed to the driver.
struct Stopped {
    double bytes;         // after the signal was sent
    double bytesDriver;   // after the handler stopped the line
    double microseconds;  // from the signal until then
    double toldOff;       // how far "Senden abgebrochen nach N" is from the bytes that left
};
Stopped BytesAfterSignal(int signal, std::size_t writtenBefore, const std::string& file) {
    auto line = std::make_shared<FakeSerialDevice>();
    line->SetByteTime(kByteTime115200);
    line->StopOnInterrupt();
    NullBuffer nothing;
    std::ostream quiet(&nothing);
    std::ostringstream said;
    interrupted = 0;
    cli::Terminal terminal{
        quiet, said, false, &interrupted,
        DeviceAccess{
            [] { return std::vector<PortInfo>{}; },
            [line](const std::string&) {
                return OsResult<std::unique_ptr<SerialDevice>>{FakeSerialDevice::Share(line), {}};
            }}};
    const cli::ParseResult parsed =
        cli::ParseArguments({"send", file, "--port", "/dev/fake/ttyS0", "--baud", "115200", "-q"});
    Clock::time_point sentAt{};
    // The signal comes from a thread that does not take it, so that it reaches the program as a
    // person's Ctrl+C does: whichever of its threads the system picks.
    std::thread person([&] {
        sigset_t interrupts;
        sigemptyset(&interrupts);
        sigaddset(&interrupts, signal);
        pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
        while (line->Written().size() < writtenBefore) {
            std::this_thread::sleep_for(200us);
        }
        sentAt = Clock::now();
        kill(getpid(), signal);
    });
    const int status = cli::RunCommand(parsed.options, terminal);
    person.join();
    const Clock::time_point stopped = line->InterruptedAt().value_or(Clock::time_point::max());
    std::smatch told;
    const std::string err = said.str();
    if (status != 128 + signal || stopped == Clock::time_point::max() ||
        !std::regex_search(err, told, std::regex("abgebrochen nach ([0-9]+) von"))) {
        return {-1, -1, -1, -1};
    }
    return {static_cast<double>(line->BytesLeavingAfter(sentAt)),
            static_cast<double>(line->BytesLeavingAfter(stopped)),
            std::chrono::duration<double, std::micro>(stopped - sentAt).count(),
            std::abs(std::stod(told[1]) - static_cast<double>(line->Written().size()))};
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
    rig.line().SetByteTime(std::chrono::nanoseconds(10'000'000'000LL / baud));
    rig.engine().Open(
        {"/dev/fake/ttyS0", static_cast<std::uint32_t>(baud), Parity::kNone, 8, 1, false});
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

double Max(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

}  // namespace

int main() {
    const TempDir dir;
    const std::string file = dir.File("SEND_4000.bin");
    std::ofstream(file, std::ios::binary) << std::string(kDataBytes, 'A');
    bool complete = true;
    bool stopsHeld = true;

    // The machine may be shared: pairs taken one right after the other see the same load, and
    // CPU time counts only what each process itself spent.
    std::vector<double> cpuRatios;
    for (int pair = 1; pair <= kCliPairs; ++pair) {
        const bench::ChildTimes plain =
            RunOnPty({VELOTRIX_ONE_BYTE_WRITES_PATH, "PTY", std::to_string(kLineBytes)}, kLineBytes,
                     dir.File("plain.out"));
        const bench::ChildTimes cli =
            RunOnPty({VELOTRIX_CLI_PATH, "send", file, "--port", "PTY", "--baud", "115200", "-q"},
                     kLineBytes, dir.File("cli.out"));
        complete = complete && plain.ok() && cli.ok();
        cpuRatios.push_back(cli.cpu / plain.cpu);
        std::printf(
            "pair %d: CPU of the one-byte write() loop %6.1f ms, of velotrix-cli send %6.1f "
            "ms, ratio %.2f\n",
            pair, plain.cpu * 1e3, cli.cpu * 1e3, cpuRatios.back());
    }
    std::printf(
        "velotrix-cli send of %zu bytes byte by byte with progress: median CPU ratio "
        "against the one-byte write() loop %.2f (goal <= 1.1)%s\n",
        kLineBytes, Median(cpuRatios), complete ? "" : "  (bytes missing!)");

    std::vector<double> ratios;
    for (int pair = 1; pair <= kPairs; ++pair) {
        const double plain = PlainLoopInProcess();
        const double engine = EngineSend();
        complete = complete && plain > 0 && engine > 0;
        ratios.push_back(engine / plain);
    }
    std::printf(
        "the engine's send in-process, wall time: median ratio against the write() loop "
        "%.2f over %d pairs (goal <= 1.2)\n",
        Median(ratios), kPairs);

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
    }
    const double perByte = LogTimePerByte(dir.File("bytes.log"));
    std::printf(
        "the line log: median cost %+.1f %% of a send's time over %d pairs (goal < 10 %%); "
        "the sender's time per byte for it %.2f us, %.2f %% of a byte's time at 115200 "
        "baud\n",
        Median(costs) * 100, kLogPairs, perByte * 1e6, perByte / Seconds(kByteTime115200) * 100);

    std::vector<double> lineRatios;
    std::vector<double> shares;
    for (int run = 1; run <= kLineRuns; ++run) {
        const LineRun figures = SendThroughLine();
        complete = complete && figures.lineRatio > 0;
        lineRatios.push_back(figures.lineRatio);
        shares.push_back(figures.cpuShare);
    }
    std::printf(
        "%zu bytes through a line at 115200 baud: the send takes %.4f times the time its "
        "bytes need (median of %d, max %.4f; goal <= 1.02), using %.1f %% of a core\n",
        kLineBytes, Median(lineRatios), kLineRuns, Max(lineRatios), Median(shares) * 100);

    // Every stop must leave no more than the byte on the wire at that moment (at 115200 baud a
    // byte lasts 87 us, and the next one starts right after it).
    CatchInterrupts(interrupted);
    for (const int signal : {SIGINT, SIGTERM}) {
        std::vector<double> late;
        std::vector<double> lateDriver;
        std::vector<double> latency;
        std::vector<double> toldOff;
        for (int attempt = 0; attempt < kStopTries; ++attempt) {
            const Stopped figures =
                BytesAfterSignal(signal, 40 + 37 * static_cast<std::size_t>(attempt), file);
            late.push_back(figures.bytes);
            lateDriver.push_back(figures.bytesDriver);
            latency.push_back(figures.microseconds);
            toldOff.push_back(figures.toldOff);
        }
        const bool held = *std::min_element(lateDriver.begin(), lateDriver.end()) >= 0 &&
                          Max(lateDriver) <= 1 && Max(toldOff) <= 1;
        stopsHeld = stopsHeld && held;
        std::printf(
            "%s into velotrix-cli send at 115200 baud, over %d tries: bytes on the wire "
            "after the handler stopped the line: median %.0f, max %.0f (goal: max 1)%s; "
            "after the signal was sent: median %.0f, max %.0f; the handler ran %.1f us "
            "after the signal (median), %.1f us (max); \"Senden abgebrochen nach N\" off the "
            "bytes that left by at most %.0f (goal: max 1)\n",
            signal == SIGINT ? "Ctrl+C " : "SIGTERM", kStopTries, Median(lateDriver),
            Max(lateDriver), held ? "" : "  MISSED", Median(late), Max(late), Median(latency),
            Max(latency), Max(toldOff));
    }

    // A byte that starts between the click and the moment the close reaches the driver is the
    // machine's (a few microseconds); the goal is what the program leaves on the line from there
    // on: the byte on the wire.
    for (const int baud : {9600, 115200}) {
        for (const bool progress : {true, false}) {
            std::vector<double> late;
            std::vector<double> lateDriver;
            std::vector<double> latency;
            for (int attempt = 0; attempt < kStopTries; ++attempt) {
                const Late figures =
                    BytesAfterClick(baud, 40 + 13 * static_cast<std::size_t>(attempt), progress);
                late.push_back(figures.bytes);
                lateDriver.push_back(figures.bytesDriver);
                latency.push_back(figures.microseconds);
            }
            const bool held = Max(lateDriver) <= 1;
            stopsHeld = stopsHeld && held;
            std::printf(
                "\"COM schlie\xC3\x9F"
                "en\" at %6d baud, %s, over %d tries: bytes on the wire after the close "
                "reached the driver: median %.0f, max %.0f (goal: max 1)%s; after the "
                "click: median %.0f, max %.0f; the close reached the driver %.1f us after "
                "the click (median), %.1f us (max)\n",
                baud, progress ? "byte by byte" : "one write  ", kStopTries, Median(lateDriver),
                Max(lateDriver), held ? "" : "  MISSED", Median(late), Max(late), Median(latency),
                Max(latency));
        }
    }
    if (!complete) {
        std::printf("bytes went missing\n");
    }
    return complete && stopsHeld ? 0 : 1;
}
