// XMODEM's sender and receiver as machines: the frame against an independent reference, each of
// them against scripted peers on a virtual clock, both against each other through a line that
// corrupts, drops and doubles bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "serial/xmodem_receiver.h"
#include "serial/xmodem_sender.h"
#include "support/random_bytes.h"
#include "support/reference_crc.h"
#include "support/rig.h"

namespace velotrix::xmodem {
namespace {

using namespace std::chrono_literals;

using test::Concat;
using test::Faulted;
using test::RandomBytes;
using test::ReferenceCrc16;

// A frame of the given block, data and check; damaged: one data byte changed.
Bytes Frame(std::uint32_t number, const Bytes& data, Check check = Check::kCrc16,
            bool damaged = false) {
    Bytes frame;
    AppendBlock(frame, number, data, data.size() > kShortBlock ? kLongBlock : kShortBlock, check);
    frame[10] ^= damaged ? 0x10 : 0;
    return frame;
}

TEST(Xmodem, FrameMatchesTheReference) {
    EXPECT_EQ(ReferenceCrc16({'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0), 0x31C3);  // XMODEM
    for (const auto& [number, length, check] : {std::tuple{1u, 128u, Check::kCrc16},
                                                {2u, 5u, Check::kChecksum},
                                                {256u, 0u, Check::kCrc16},
                                                {300u, 1024u, Check::kCrc16},
                                                {7u, 1000u, Check::kChecksum}}) {
        const Bytes data = RandomBytes(length, number);
        const std::size_t size = length > kShortBlock ? kLongBlock : kShortBlock;
        Bytes padded = data;
        padded.resize(size, kPad);
        const unsigned sum = std::accumulate(padded.begin(), padded.end(), 0u);
        const std::uint16_t crc = ReferenceCrc16(padded, 0);
        const Bytes expected = Concat(
            Concat({size == kLongBlock ? kStx : kSoh, static_cast<std::uint8_t>(number % 256),
                    static_cast<std::uint8_t>(255 - number % 256)},
                   padded),
            check == Check::kCrc16
                ? Bytes{static_cast<std::uint8_t>(crc / 256), static_cast<std::uint8_t>(crc % 256)}
                : Bytes{static_cast<std::uint8_t>(sum % 256)});
        EXPECT_EQ(Frame(number, data, check), expected) << number;
        const Bytes body(expected.begin() + 1, expected.end());
        EXPECT_TRUE(BlockIntact(body, size, check));
        // Any one byte changed is caught, whichever check; so is a byte missing.
        for (std::size_t i = 0; i < body.size(); i += 7) {
            Bytes changed = body;
            changed[i] ^= static_cast<std::uint8_t>(1u << (i % 8));
            EXPECT_FALSE(BlockIntact(changed, size, check)) << number << " " << i;
        }
        EXPECT_FALSE(BlockIntact({body.begin(), body.end() - 1}, size, check));
    }
}

// A peer scripted against a machine: at each step the clock moves to `at` (the machine's own
// deadlines firing on the way), `in` goes in, and all the machine sent since the step before (the
// first step: since its start) must be `out`.
struct Step {
    Time at;
    Bytes in;
    Bytes out;
};

struct Row {
    const char* name;
    std::vector<Step> steps;
    End end;
    Bytes file = {};  // what the receiver holds at the end
    std::uint32_t failedBlock = 0;
    std::uint32_t retries = 0;
};

void Play(Machine& machine, Bytes out, const Row& row) {
    for (std::size_t i = 0; i < row.steps.size(); ++i) {
        const Step& step = row.steps[i];
        while (machine.Running() && machine.Deadline() <= step.at) {
            machine.Tick(machine.Deadline(), out);
        }
        machine.Receive(step.in, step.at, out);
        EXPECT_EQ(out, step.out) << row.name << ", step " << i;
        out.clear();
    }
    EXPECT_EQ(machine.Ending(), row.end) << row.name;
    EXPECT_EQ(machine.Status().failedBlock, row.failedBlock) << row.name;
    EXPECT_EQ(machine.Status().retries, row.retries) << row.name;
}

void PlayReceiver(const ReceiverSettings& settings, const Row& row) {
    Receiver receiver(settings);
    Bytes out;
    receiver.Start(0ms, out);
    Play(receiver, out, row);
    EXPECT_EQ(Bytes(receiver.File().begin(), receiver.File().end()), row.file) << row.name;
}

const Bytes kA = RandomBytes(128, 1);
const Bytes kB = RandomBytes(1024, 2);
const Bytes kTail = {1, 2, kPad, 3, kPad, kPad};
const Bytes kEnd = {kEot, kEot};
const Bytes kEndAnswer = {kNak, kAck};
const Bytes kCancel(kCancelCount, kCan);
const Bytes kA1 = Frame(1, kA);
const Bytes kA2 = Frame(2, kA);

// The row's steps followed by the one refused step, repeated until the machine gives up at block
// 2: each refusal answered with step.out, the last with the cancel.
Row Refused(Row row, const Step& step) {
    for (int i = 0; i <= kMaxRetries; ++i) {
        row.steps.push_back(step);
    }
    row.steps.back().out = kCancel;
    row.failedBlock = 2;
    row.retries = kMaxRetries + 1;
    return row;
}

TEST(Xmodem, ReceiverAgainstScriptedSenders) {
    Bytes padded = kTail;
    padded.resize(kShortBlock, kPad);
    Bytes polls = {'C', 'C', 'C'};
    polls.resize(kStartSilence / kPollInterval, kNak);  // every three seconds for a minute
    // clang-format off
    const Row rows[] = {
        {"blocks of 128 and 1K, the end confirmed", {{0ms, kA1, {'C', kAck}}, {1ms, Frame(2, kB), {kAck}}, {2ms, {kEot}, {kNak}}, {3ms, {kEot}, {kAck}}}, End::kDone, Concat(kA, kB)},
        {"C three times, then NAK: blocks with the checksum", {{9000ms, {}, {'C', 'C', 'C', kNak}}, {9001ms, Frame(1, kA, Check::kChecksum), {kAck}}, {9002ms, kEnd, kEndAnswer}}, End::kDone, kA},
        {"noise before and between blocks is skipped", {{0ms, Concat({'x', 0, 0xFF}, kA1), {'C', kAck}}, {1ms, {'A', kEot, kEot}, kEndAnswer}}, End::kDone, kA},
        {"padding kept as CP/M keeps it", {{0ms, Frame(1, kTail), {'C', kAck}}, {1ms, kEnd, kEndAnswer}}, End::kDone, padded},
        {"CAN CAN within a block is data", {{0ms, Frame(1, Bytes(128, kCan)), {'C', kAck}}, {1ms, kEnd, kEndAnswer}}, End::kDone, Bytes(128, kCan)},
        {"a block sent again after a lost ACK is taken once", {{0ms, kA1, {'C', kAck}}, {1ms, kA1, {kAck}}, {2ms, kEnd, kEndAnswer}}, End::kDone, kA, 0, 1},
        {"damaged, wrong number, bytes behind it: refused", {{0ms, Frame(1, kA, Check::kCrc16, true), {'C', kNak}}, {1ms, kA2, {kNak}}, {2ms, Concat(kA1, {0x55}), {kNak}}, {3ms, kA1, {kAck}}, {4ms, kEnd, kEndAnswer}}, End::kDone, kA, 0, 3},
        {"a block that stops midway is asked for after a second", {{0ms, Bytes(kA1.begin(), kA1.begin() + 50), {'C'}}, {999ms, {}, {}}, {1000ms, {}, {kNak}}, {1001ms, kA1, {kAck}}, {1002ms, kEnd, kEndAnswer}}, End::kDone, kA, 0, 1},
        {"an end right after a refused block is refused", {{0ms, kA1, {'C', kAck}}, {1ms, Frame(2, kA, Check::kCrc16, true), {kNak}}, {2ms, kEnd, {kNak, kNak}}, {3ms, kA2, {kAck}}, {4ms, kEnd, kEndAnswer}}, End::kDone, Concat(kA, kA), 0, 3},
        {"a lone EOT followed by a block was noise", {{0ms, {kEot}, {'C', kNak}}, {1ms, kA1, {kAck}}, {2ms, kEnd, kEndAnswer}}, End::kDone, kA},
        {"silence at the start: polls for a minute, then the end", {{kStartSilence, {}, Concat(polls, kCancel)}, {kStartSilence + 1ms, kA1, {}}}, End::kNoStart},
        {"silence within: asked again after 5 s, the end after 10", {{1ms, kA1, {'C', kAck}}, {1ms + kTransferSilence, {}, Concat({kNak}, kCancel)}}, End::kTimeout, kA, 0, 1},
        {"the answer to the repeated request goes on", {{0ms, kA1, {'C', kAck}}, {kNudgeAfter, {}, {kNak}}, {kNudgeAfter + 1ms, kA1, {kAck}}, {kNudgeAfter + 2ms, kEnd, kEndAnswer}}, End::kDone, kA, 0, 2},
        {"two CAN end the transfer, one is noise", {{0ms, Concat({kCan}, kA1), {'C', kAck}}, {1ms, {kCan, kCan}, {}}}, End::kCancelledByPeer, kA},
        Refused({"the eleventh refusal ends at that block", {{0ms, kA1, {'C', kAck}}}, End::kTooManyRetries, kA}, {1ms, Frame(2, kA, Check::kCrc16, true), {kNak}}),
    };
    // clang-format on
    for (const Row& row : rows) {
        PlayReceiver({}, row);
    }
}

TEST(Xmodem, ReceiverSettingsAndEnds) {
    // clang-format off
    const std::pair<ReceiverSettings, Row> rows[] = {
        {{.crcFirst = false}, {"the checksum asked for at once", {{3000ms, Frame(1, kA, Check::kChecksum), {kNak, kNak, kAck}}, {3001ms, kEnd, kEndAnswer}}, End::kDone, kA}},
        {{.trimPadding = true}, {"padding trimmed off the last block alone", {{0ms, Frame(1, Bytes(128, kPad)), {'C', kAck}}, {1ms, Frame(2, kTail), {kAck}}, {2ms, kEnd, kEndAnswer}}, End::kDone, Concat(Bytes(128, kPad), {1, 2, kPad, 3})}},
    };
    // clang-format on
    for (const auto& [settings, row] : rows) {
        PlayReceiver(settings, row);
    }
    // A lost line keeps what came as it came, and nothing goes out any more.
    Receiver lost({.trimPadding = true});
    Bytes out;
    lost.Start(0ms, out);
    lost.Receive(Frame(1, kTail), 1ms, out);
    lost.LineLost();
    out.clear();
    lost.Cancel(out);
    EXPECT_EQ(lost.Ending(), End::kLineLost);
    EXPECT_EQ(lost.File().size(), kShortBlock);
    EXPECT_TRUE(out.empty());
    Receiver cancelled({});
    cancelled.Start(0ms, out);
    out.clear();
    cancelled.Cancel(out);
    EXPECT_EQ(out, kCancel);
    EXPECT_EQ(cancelled.Ending(), End::kCancelledByUser);
}

TEST(Xmodem, SenderAgainstScriptedReceivers) {
    const Bytes file = Concat(kA, kTail);
    const Bytes t2 = Frame(2, kTail);
    const Bytes big = Concat(kB, kTail);
    // clang-format off
    const std::tuple<Bytes, SenderSettings, Row> rows[] = {
        {file, {}, {"waits for the request, block by block, then the end", {{1000ms, {'x', kAck}, {}}, {2000ms, {'C'}, kA1}, {2001ms, {kAck}, t2}, {2002ms, {kAck}, {kEot}}, {2003ms, {kAck}, {}}}, End::kDone}},
        {file, {}, {"a NAK at the start asks for the checksum", {{0ms, {kNak}, Frame(1, kA, Check::kChecksum)}, {1ms, {kAck}, Frame(2, kTail, Check::kChecksum)}}, End::kRunning}},
        {file, {}, {"a NAK sends again; a C before the first ACK means CRC-16", {{0ms, {kNak}, Frame(1, kA, Check::kChecksum)}, {1ms, {'C'}, kA1}, {2ms, {kNak}, kA1}, {3ms, {kAck}, t2}, {4ms, {'C'}, {}}, {5ms, {kAck}, {kEot}}, {6ms, {kNak}, {kEot}}, {7ms, {kAck}, {}}}, End::kDone, {}, 0, 3}},
        {file, {}, {"answers in one batch with the one they follow are stale", {{0ms, {'C', 'C', kNak}, kA1}, {1ms, {kAck, kAck}, t2}, {2ms, {kAck, kNak}, {kEot}}, {3ms, {kAck}, {}}}, End::kDone}},
        {file, {}, {"two CAN end the transfer, one is noise", {{0ms, {kCan, 'C'}, kA1}, {1ms, {kCan, kCan}, {}}}, End::kCancelledByPeer}},
        {file, {}, {"no request for a minute", {{kStartSilence - 1ms, {}, {}}, {kStartSilence, {}, kCancel}}, End::kNoStart}},
        {file, {}, {"no answer: once more after 5 s, the end after 10", {{0ms, {'C'}, kA1}, {kNudgeAfter, {}, kA1}, {kTransferSilence, {}, kCancel}}, End::kTimeout, {}, 0, 1}},
        {file, {}, Refused({"eleven NAKs end at that block", {{0ms, {'C'}, kA1}, {1ms, {kAck}, t2}}, End::kTooManyRetries}, {2ms, {kNak}, t2})},
        {big, {.longBlocks = true}, {"1K blocks with CRC-16, the rest in blocks of 128", {{0ms, {'C'}, Frame(1, kB)}, {1ms, {kAck}, t2}, {2ms, {kAck}, {kEot}}, {3ms, {kAck}, {}}}, End::kDone}},
        {big, {.longBlocks = true}, {"1K asked for, but the receiver knows only the checksum", {{0ms, {kNak}, Frame(1, Bytes(kB.begin(), kB.begin() + 128), Check::kChecksum)}}, End::kRunning}},
        {{}, {}, {"an empty file is only the end", {{0ms, {'C'}, {kEot}}, {1ms, {kAck}, {}}}, End::kDone}},
    };
    // clang-format on
    for (const auto& [sent, settings, row] : rows) {
        Sender sender(sent, settings);
        sender.Start(0ms);
        Play(sender, {}, row);
    }
}

TEST(Xmodem, SenderWaitsForTheBlockToLeave) {
    // At 1 ms a byte, the 133 bytes of a block take 133 ms: the silence counts after that, and
    // the repeat's 133 ms are not counted either.
    Sender sender(kA, {.byteTime = 1000us});
    sender.Start(0ms);
    Bytes out;
    sender.Receive(Bytes{'C'}, 0ms, out);
    EXPECT_EQ(sender.Deadline(), 133ms + kNudgeAfter);
    sender.Tick(sender.Deadline(), out);
    EXPECT_EQ(out.size(), 266u);
    EXPECT_EQ(sender.Deadline(), 266ms + kTransferSilence);
    sender.Receive(Bytes{kAck}, 1000ms, out);
    EXPECT_EQ(sender.Status().bytes, kA.size());
    EXPECT_EQ(sender.Deadline(), 1001ms + kNudgeAfter);
    sender.Cancel(out);
    EXPECT_EQ(sender.Ending(), End::kCancelledByUser);
    EXPECT_TRUE(std::equal(kCancel.begin(), kCancel.end(), out.end() - kCancel.size()));
}

// Both machines joined by a line that corrupts, drops and doubles bytes as a seeded generator
// says; time jumps to the next deadline whenever the line is idle. With the 8-bit checksum at most
// one byte of a frame is hit: a byte lost and another doubled in one block leave its sum as it
// was once in 256 times, which no check of that size can tell.
TEST(Xmodem, EveryTransferEndsExactOrFailsClearly) {
    int done = 0;
    for (unsigned seed = 1; seed <= 240; ++seed) {
        std::mt19937 random(seed);
        const Bytes file = RandomBytes(1000 + seed * 97, seed);
        Bytes padded = file;
        padded.resize((file.size() + kShortBlock - 1) / kShortBlock * kShortBlock, kPad);
        Sender sender(file, {.longBlocks = seed % 2 == 0});
        Receiver receiver({.crcFirst = seed % 3 != 0});
        Bytes toSender;
        Bytes toReceiver;
        Time now{};
        sender.Start(now);
        receiver.Start(now, toSender);
        while (sender.Running() || receiver.Running()) {
            if (!toSender.empty() || !toReceiver.empty()) {
                const bool once = receiver.Status().check == Check::kChecksum;
                sender.Receive(Faulted(std::exchange(toSender, {}), random, seed % 4, once), now,
                               toReceiver);
                receiver.Receive(Faulted(std::exchange(toReceiver, {}), random, seed % 4, once),
                                 now, toSender);
                now += 1ms;
                continue;
            }
            now = std::min(sender.Running() ? sender.Deadline() : Time::max(),
                           receiver.Running() ? receiver.Deadline() : Time::max());
            sender.Tick(now, toReceiver);
            receiver.Tick(now, toSender);
        }
        // Either side's success means the whole file; a failure is one of the ends it names.
        if (receiver.Ending() == End::kDone || sender.Ending() == End::kDone) {
            EXPECT_EQ(Bytes(receiver.File().begin(), receiver.File().end()), padded) << seed;
        }
        EXPECT_NE(sender.Ending(), End::kLineLost) << seed;
        EXPECT_NE(receiver.Ending(), End::kLineLost) << seed;
        done += receiver.Ending() == End::kDone ? 1 : 0;
    }
    // Most get through a line this bad; some must fail, or the line was not bad at all.
    EXPECT_GT(done, 180);
    EXPECT_LT(done, 240);
}

}  // namespace
}  // namespace velotrix::xmodem
