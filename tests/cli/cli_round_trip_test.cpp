// Random files sent from one velotrix-cli to another through two pseudo-terminals, relayed by the
// test: every byte must arrive as the sender's rules put it on the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <random>

#include "cli/cli_child.h"
#include "support/pty_pair.h"
#include "support/rig.h"
#include "support/temp_dir.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

// One random BIN file through two programs and two lines, relayed by the test; what went wrong.
std::string RoundTrip(std::mt19937& random, std::size_t index, const TempDir& dir) {
    const auto below = [&](std::size_t n) { return random() % n; };
    // Mostly short files, some of any size; both ends included.
    const std::size_t length = index == 0   ? 32
                               : index == 1 ? 65504
                                            : 32 + below(below(5) == 0 ? 65473 : 2017);
    Bytes file(length);
    std::generate(file.begin(), file.end(), [&] { return static_cast<std::uint8_t>(random()); });
    file[kMarkerOffset] = 0;  // so that it never passes for a z80 file
    const auto aadr = static_cast<std::uint16_t>(random());
    const std::string stem = std::string(1, 'F').append(std::to_string(index));
    const std::string name = stem + "_" + Hex4(aadr) + ".bin";
    dir.Write(name, file);
    const bool bin = below(3) == 0;
    const Bytes onTheLine = bin ? file : Concat(Synthesized(aadr, length, aadr, stem), file);
    const char* pauses[] = {"keine", "50", "100", "500", "1000"};
    PtyPair receiverLine;
    PtyPair senderLine;
    Cli receiver({"receive", "--port", receiverLine.SlavePath(), "-o", "rx"}, dir.path());
    if (!receiver.WaitFor(kWaiting)) {
        return "receiver not ready";
    }
    Args send = {"send",   name,     "--port",  senderLine.SlavePath(),
                 "--baud", "115200", "--pause", pauses[below(5)]};
    if (bin) {
        send.push_back("--bin");
    }
    if (below(2) == 0) {
        send.push_back("--no-progress");
    }
    Cli sender(send, dir.path());
    if (!Relay(senderLine, receiverLine, receiver, 120s)) {
        return "the receiver does not read";
    }
    if (sender.Wait(30s) != 0 || receiver.Wait(10s) != 0) {
        return "failed: " + sender.Err() + receiver.Err();
    }
    return ReadFileBytes(dir.File("rx")) == std::string(onTheLine.begin(), onTheLine.end())
               ? ""
               : "saved bytes differ";
}

TEST(Cli, RandomFilesArriveByteForByte) {
    constexpr unsigned kSeed = 20261206;
    std::mutex mutex;
    std::vector<std::string> failures;
    std::vector<std::thread> lanes;
    for (std::size_t lane = 0; lane < 4; ++lane) {
        lanes.emplace_back([&, lane] {
            std::mt19937 random(kSeed + lane);
            for (std::size_t i = lane; i < 20; i += 4) {
                const TempDir dir;
                const std::string problem = RoundTrip(random, i, dir);
                std::lock_guard lock(mutex);
                failures.insert(failures.end(), problem.empty() ? 0 : 1,
                                std::to_string(i) + ": " + problem);
            }
        });
    }
    for (std::thread& lane : lanes) {
        lane.join();
    }
    EXPECT_TRUE(failures.empty()) << "seed " << kSeed << ":\n"
                                  << ::testing::PrintToString(failures);
}

}  // namespace
}  // namespace velotrix::test
