// XMODEM's sender and receiver as machines: the frame against an independent reference, each of
// them against scripted peers on a virtual clock, both against each other through a line that
// corrupts, drops and doubles bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "serial/xmodem_receiver.h"
#include "serial/xmodem_sender.h"

namespace velotrix::xmodem {
namespace {

using namespace std::chrono_literals;

Bytes Pattern(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

// CRC-16/XMODEM bit by bit, as the catalogue of CRCs defines it.
std::uint16_t ReferenceCrc(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0;
    for (const std::uint8_t byte : bytes) {
        crc ^= static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

Bytes Frame(std::uint32_t number, const Bytes& data, std::size_t size, Check check) {
    Bytes frame;
    AppendBlock(frame, number, data, size, check);
    return frame;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

const Bytes kCancel(kCancelCount, kCan);

TEST(Xmodem, FrameMatchesTheReference) {
    const std::string check = "123456789";
    EXPECT_EQ(ReferenceCrc({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}),
              0x31C3);
    const struct {
        std::uint32_t number;
        std::size_t length, size;
        Check check;
    } rows[] = {
        {1, 128, kShortBlock, Check::kCrc16},    {2, 5, kShortBlock, Check::kChecksum},
        {256, 0, kShortBlock, Check::kCrc16},    {300, 1024, kLongBlock, Check::kCrc16},
        {7, 1000, kLongBlock, Check::kChecksum},
    };
    for (const auto& row : rows) {
        const Bytes data = Pattern(row.length, row.number);
        const Bytes frame = Frame(row.number, data, row.size, row.check);
        Bytes padded = data;
        padded.resize(row.size, kPad);
        Bytes expected = {row.size == kLongBlock ? kStx : kSoh,
                          static_cast<std::uint8_t>(row.number % 256),
                          static_cast<std::uint8_t>(255 - row.number % 256)};
        expected.insert(expected.end(), padded.begin(), padded.end());
        if (row.check == Check::kCrc16) {
            const std::uint16_t crc = ReferenceCrc(padded);
            expected.push_back(static_cast<std::uint8_t>(crc / 256));
            expected.push_back(static_cast<std::uint8_t>(crc % 256));
        } else {
            unsigned sum = 0;
            for (const std::uint8_t byte : padded) {
                sum += byte;
            }
            expected.push_back(static_cast<std::uint8_t>(sum % 256));
        }
        EXPECT_EQ(frame, expected) << row.number;
        const std::span<const std::uint8_t> body(frame.data() + 1, frame.size() - 1);
        EXPECT_TRUE(BlockIntact(body, row.size, row.check));
        // Any one byte changed is caught, whichever check.
        for (std::size_t i = 0; i < body.size(); i += 7) {
            Bytes changed(body.begin(), body.end());
            changed[i] ^= static_cast<std::uint8_t>(1u << (i % 8));
            EXPECT_FALSE(BlockIntact(changed, row.size, row.check)) << row.number << " " << i;
        }
        EXPECT_FALSE(BlockIntact(body.first(body.size() - 1), row.size, row.check));
    }
}

// A peer scripted against the machine: at each step the clock moves to `at` (the machine's own
// deadlines firing on the way), the bytes go in, and everything the machine sent since the step
// before (the first step: since its start) must be `out`.
struct Step {
    Time at;
    Bytes in;
    Bytes out;
};

template <typename Machine>
void Play(Machine& machine, const std::vector<Step>& steps, Bytes& out, const std::string& name) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        while (machine.Running() && machine.Deadline() <= step.at) {
            machine.Tick(machine.Deadline(), out);
        }
        machine.Receive(step.in, step.at, out);
        EXPECT_EQ(out, step.out) << name << ", step " << i;
        out.clear();
    }
}

Bytes Head(const Bytes& bytes, std::size_t count) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)};
}

Bytes Corrupted(Bytes frame) {
    frame[40] ^= 0x10;
    return frame;
}

struct Row {
    const char* name;
    std::vector<Step> steps;
    End end;
    Bytes file = {};  // the receiver's
    std::uint32_t failedBlock = 0;
    std::uint32_t retries = 0;
};

const Bytes kA = Pattern(128, 1);
const Bytes kB = Pattern(1024, 2);
const Bytes kTail = {1, 2, kPad, 3, kPad, kPad};
const Bytes kEnd = {kEot, kEot};
const Bytes kEndAnswer = {kNak, kAck};
constexpr Check kCrc = Check::kCrc16;
constexpr Check kSum = Check::kChecksum;

void CheckReceiver(const ReceiverSettings& settings, const Row& row) {
    Receiver receiver(settings);
    Bytes out;
    receiver.Start(0ms, out);
    Play(receiver, row.steps, out, row.name);
    EXPECT_EQ(receiver.Ending(), row.end) << row.name;
    EXPECT_EQ(Bytes(receiver.File().begin(), receiver.File().end()), row.file) << row.name;
    EXPECT_EQ(receiver.Status().failedBlock, row.failedBlock) << row.name;
    EXPECT_EQ(receiver.Status().retries, row.retries) << row.name;
}

TEST(Xmodem, ReceiverAgainstScriptedSenders) {
    const Bytes a1 = Frame(1, kA, 128, kCrc);
    const Bytes polls = {'C', 'C', 'C'};
    Bytes startPolls = polls;  // a poll every three seconds for a minute, then the end
    startPolls.resize(kStartSilence / kPollInterval, kNak);
    Bytes tailPadded = kTail;
    tailPadded.resize(kShortBlock, kPad);
    const Row rows[] = {
        {"blocks of 128 and 1K, the end confirmed",
         {{0ms, a1, {'C', kAck}},
          {10ms, Frame(2, kB, 1024, kCrc), {kAck}},
          {20ms, {kEot}, {kNak}},
          {30ms, {kEot}, {kAck}}},
         End::kDone,
         Join({kA, kB})},
        {"C three times, then NAK: the blocks carry the checksum",
         {{9000ms, {}, Join({polls, {kNak}})},
          {9500ms, Frame(1, kA, 128, kSum), {kAck}},
          {9600ms, kEnd, kEndAnswer}},
         End::kDone,
         kA},
        {"noise before the first block and between blocks is skipped",
         {{0ms, Join({{'x', 0x00, 0xFF}, a1}), {'C', kAck}}, {5ms, {'A', kEot, kEot}, kEndAnswer}},
         End::kDone,
         kA},
        {"padding kept as CP/M keeps it",
         {{0ms, Frame(1, kTail, 128, kCrc), {'C', kAck}}, {1ms, kEnd, kEndAnswer}},
         End::kDone,
         tailPadded},
        {"CAN CAN within a block's data is data",
         {{0ms, Frame(1, Bytes(128, kCan), 128, kCrc), {'C', kAck}}, {1ms, kEnd, kEndAnswer}},
         End::kDone,
         Bytes(128, kCan)},
        {"a block sent again after a lost ACK is acknowledged and dropped",
         {{0ms, a1, {'C', kAck}}, {10ms, a1, {kAck}}, {20ms, kEnd, kEndAnswer}},
         End::kDone,
         kA,
         0,
         1},
        {"a damaged block, a wrong number and a block with bytes behind it are refused",
         {{0ms, Corrupted(a1), {'C', kNak}},
          {10ms, Frame(2, kA, 128, kCrc), {kNak}},
          {20ms, Join({a1, {0x55}}), {kNak}},
          {30ms, a1, {kAck}},
          {40ms, kEnd, kEndAnswer}},
         End::kDone,
         kA,
         0,
         3},
        {"a block that stops midway is asked for again after a second",
         {{0ms, Head(a1, 50), {'C'}},
          {999ms, {}, {}},
          {1999ms, {}, {kNak}},
          {2000ms, a1, {kAck}},
          {2001ms, kEnd, kEndAnswer}},
         End::kDone,
         kA,
         0,
         1},
        {"an end right after a refused block is refused: that block is missing",
         {{0ms, a1, {'C', kAck}},
          {1ms, Corrupted(Frame(2, kA, 128, kCrc)), {kNak}},
          {2ms, kEnd, {kNak, kNak}},
          {3ms, Frame(2, kA, 128, kCrc), {kAck}},
          {4ms, kEnd, kEndAnswer}},
         End::kDone,
         Join({kA, kA}),
         0,
         3},
        {"a lone EOT followed by a block was noise",
         {{0ms, {kEot}, {'C', kNak}}, {1ms, a1, {kAck}}, {2ms, kEnd, kEndAnswer}},
         End::kDone,
         kA},
        {"silence at the start: polls for a minute, then the end",
         {{kStartSilence, {}, Join({startPolls, kCancel})}, {kStartSilence + 1ms, a1, {}}},
         End::kNoStart},
        {"silence within the transfer: asked once more after 5 s, the end after 10 s",
         {{100ms, a1, {'C', kAck}}, {100ms + kTransferSilence, {}, Join({{kNak}, kCancel})}},
         End::kTimeout,
         kA,
         0,
         1},
        {"the answer to a repeated request completes the transfer",
         {{0ms, a1, {'C', kAck}},
          {kNudgeAfter, {}, {kNak}},
          {kNudgeAfter + 1ms, a1, {kAck}},
          {kNudgeAfter + 2ms, kEnd, kEndAnswer}},
         End::kDone,
         kA,
         0,
         2},
        {"two CAN end the transfer, one is noise",
         {{0ms, Join({{kCan}, a1}), {'C', kAck}}, {1ms, {kCan, kCan}, {}}},
         End::kCancelledByPeer,
         kA},
    };
    for (const Row& row : rows) {
        CheckReceiver({}, row);
    }
    // The eleventh refusal of one block ends the transfer there, with CAN.
    Row many = {"eleven refusals", {{0ms, a1, {'C', kAck}}}, End::kTooManyRetries, kA, 2,
                kMaxRetries + 1};
    for (int i = 0; i < kMaxRetries; ++i) {
        many.steps.push_back({1ms, Corrupted(Frame(2, kA, 128, kCrc)), {kNak}});
    }
    many.steps.push_back({2ms, Corrupted(Frame(2, kA, 128, kCrc)), kCancel});
    CheckReceiver({}, many);
}

TEST(Xmodem, ReceiverSettings) {
    CheckReceiver({.crcFirst = false}, {"the checksum asked for at once",
                                        {{3000ms, Frame(1, kA, 128, kSum), {kNak, kNak, kAck}},
                                         {3001ms, kEnd, kEndAnswer}},
                                        End::kDone,
                                        kA});
    CheckReceiver({.trimPadding = true},
                  {"padding trimmed off the last block alone",
                   {{0ms, Frame(1, Bytes(128, kPad), 128, kCrc), {'C', kAck}},
                    {1ms, Frame(2, kTail, 128, kCrc), {kAck}},
                    {2ms, kEnd, kEndAnswer}},
                   End::kDone,
                   Join({Bytes(128, kPad), {1, 2, kPad, 3}})});
    // Not trimmed when the transfer failed: what came is kept as it came.
    Receiver failed({.trimPadding = true});
    Bytes out;
    failed.Start(0ms, out);
    failed.Receive(Frame(1, kTail, 128, kCrc), 1ms, out);
    failed.LineLost();
    EXPECT_EQ(failed.Ending(), End::kLineLost);
    EXPECT_EQ(failed.File().size(), kShortBlock);
    out.clear();
    failed.Cancel(out);
    EXPECT_TRUE(out.empty()) << "nothing goes out on a lost line";
    Receiver cancelled({});
    cancelled.Start(0ms, out);
    out.clear();
    cancelled.Cancel(out);
    EXPECT_EQ(out, kCancel);
    EXPECT_EQ(cancelled.Ending(), End::kCancelledByUser);
}

struct SenderRow {
    const char* name;
    Bytes file;
    SenderSettings settings;
    std::vector<Step> steps;
    End end;
    std::uint32_t failedBlock = 0;
    std::uint32_t retries = 0;
};

TEST(Xmodem, SenderAgainstScriptedReceivers) {
    const Bytes file = Join({kA, kTail});  // two blocks of 128
    const Bytes a1 = Frame(1, kA, 128, kCrc);
    const Bytes t2 = Frame(2, kTail, 128, kCrc);
    const Bytes long1 = Frame(1, Head(kB, 1024), 1024, kCrc);
    const Bytes big = Join({kB, kTail});
    const Bytes eleven(kMaxRetries + 1, kNak);
    const SenderRow rows[] = {
        {"waits for the request, then block by block, then the end",
         file,
         {},
         {{1000ms, {'x', kAck}, {}},
          {2000ms, {'C'}, a1},
          {2001ms, {kAck}, t2},
          {2002ms, {kAck}, {kEot}},
          {2003ms, {kAck}, {}}},
         End::kDone},
        {"a NAK at the start asks for the checksum",
         file,
         {},
         {{0ms, {kNak}, Frame(1, kA, 128, kSum)}, {1ms, {kAck}, Frame(2, kTail, 128, kSum)}},
         End::kRunning},
        {"1K blocks with CRC-16, the rest in blocks of 128",
         big,
         {.longBlocks = true},
         {{0ms, {'C'}, long1},
          {1ms, {kAck}, Frame(2, kTail, 128, kCrc)},
          {2ms, {kAck}, {kEot}},
          {3ms, {kAck}, {}}},
         End::kDone},
        {"1K blocks asked for, but the receiver knows only the checksum",
         big,
         {.longBlocks = true},
         {{0ms, {kNak}, Frame(1, Head(kB, 128), 128, kSum)}},
         End::kRunning},
        {"a NAK sends the block again; a C before the first ACK switches to CRC-16",
         file,
         {},
         {{0ms, {kNak}, Frame(1, kA, 128, kSum)},
          {1ms, {'C'}, a1},
          {2ms, {kNak}, a1},
          {3ms, {kAck}, t2},
          {4ms, {'C'}, {}},
          {5ms, {kAck}, {kEot}},
          {6ms, {kNak}, {kEot}},
          {7ms, {kAck}, {}}},
         End::kDone,
         0,
         3},
        {"answers in one batch with the one they follow were stale",
         file,
         {},
         {{0ms, {'C', 'C', kNak}, a1},
          {1ms, {kAck, kAck}, t2},
          {2ms, {kAck, kNak}, {kEot}},
          {3ms, {kAck}, {}}},
         End::kDone},
        {"an empty file is only the end",
         {},
         {},
         {{0ms, {'C'}, {kEot}}, {1ms, {kAck}, {}}},
         End::kDone},
        {"eleven NAKs for one block end the transfer at that block",
         file,
         {},
         {{0ms, {'C'}, a1},
          {1ms, {kAck}, t2},
          {2ms, Head(eleven, 1), t2},
          {3ms, Head(eleven, 1), t2},
          {4ms, Head(eleven, 1), t2},
          {5ms, Head(eleven, 1), t2},
          {6ms, Head(eleven, 1), t2},
          {7ms, Head(eleven, 1), t2},
          {8ms, Head(eleven, 1), t2},
          {9ms, Head(eleven, 1), t2},
          {10ms, Head(eleven, 1), t2},
          {11ms, Head(eleven, 1), t2},
          {12ms, {kNak}, kCancel}},
         End::kTooManyRetries,
         2,
         kMaxRetries + 1},
        {"two CAN end the transfer, one is noise",
         file,
         {},
         {{0ms, {kCan, 'C'}, a1}, {1ms, {kCan, kCan}, {}}},
         End::kCancelledByPeer},
        {"no request for a minute",
         file,
         {},
         {{kStartSilence - 1ms, {}, {}}, {kStartSilence, {}, kCancel}},
         End::kNoStart},
        {"no answer: the block once more after 5 s, the end after 10 s",
         file,
         {},
         {{0ms, {'C'}, a1}, {kNudgeAfter, {}, a1}, {kTransferSilence, {}, kCancel}},
         End::kTimeout,
         0,
         1},
    };
    for (const SenderRow& row : rows) {
        Sender sender(row.file, row.settings);
        sender.Start(0ms);
        Bytes out;
        Play(sender, row.steps, out, row.name);
        EXPECT_EQ(sender.Ending(), row.end) << row.name;
        EXPECT_EQ(sender.Status().failedBlock, row.failedBlock) << row.name;
        EXPECT_EQ(sender.Status().retries, row.retries) << row.name;
    }
}

TEST(Xmodem, SenderWaitsForTheBlockToLeave) {
    // At 1 ms a byte, the 133 bytes of a block take 133 ms: the silence counts after that, and
    // the repeat's 133 ms are not counted either.
    Sender sender(kA, {.byteTime = 1000us});
    sender.Start(0ms);
    Bytes out;
    sender.Receive(Bytes{'C'}, 0ms, out);
    EXPECT_EQ(out.size(), 133u);
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
// says; time jumps to the next deadline whenever the line is idle.
struct Line {
    std::mt19937 random;
    int perMille;  // the chance of a fault for each byte

    Bytes Carry(const Bytes& bytes) {
        Bytes carried;
        for (const std::uint8_t byte : bytes) {
            switch (random() % 1000 < static_cast<unsigned>(perMille) ? random() % 3 : 3) {
                case 0:
                    carried.push_back(static_cast<std::uint8_t>(byte ^ (1 + random() % 255)));
                    break;
                case 1:
                    break;
                case 2:
                    carried.push_back(byte);
                    carried.push_back(byte);
                    break;
                default:
                    carried.push_back(byte);
            }
        }
        return carried;
    }
};

struct Outcome {
    End sent;
    End received;
    Bytes file;
};

Outcome Transfer(const Bytes& file, bool longBlocks, bool crc, unsigned seed, int perMille) {
    Line line{std::mt19937(seed), perMille};
    Sender sender(file, {.longBlocks = longBlocks});
    Receiver receiver({.crcFirst = crc});
    Bytes toSender;
    Bytes toReceiver;
    Time now{};
    sender.Start(now);
    receiver.Start(now, toSender);
    while (sender.Running() || receiver.Running()) {
        if (!toSender.empty() || !toReceiver.empty()) {
            const Bytes forSender = line.Carry(std::exchange(toSender, {}));
            const Bytes forReceiver = line.Carry(std::exchange(toReceiver, {}));
            sender.Receive(forSender, now, toReceiver);
            receiver.Receive(forReceiver, now, toSender);
            now += 1ms;
            continue;
        }
        now = std::min(sender.Running() ? sender.Deadline() : Time::max(),
                       receiver.Running() ? receiver.Deadline() : Time::max());
        sender.Tick(now, toReceiver);
        receiver.Tick(now, toSender);
    }
    return {sender.Ending(), receiver.Ending(), {receiver.File().begin(), receiver.File().end()}};
}

TEST(Xmodem, EveryTransferEndsExactOrFailsClearly) {
    int done = 0;
    int failed = 0;
    for (unsigned seed = 1; seed <= 240; ++seed) {
        const bool longBlocks = seed % 2 == 0;
        const bool crc = seed % 3 != 0;
        const Bytes file = Pattern(1000 + seed * 97, seed);
        Bytes padded = file;
        padded.resize((file.size() + kShortBlock - 1) / kShortBlock * kShortBlock, kPad);
        const Outcome outcome = Transfer(file, longBlocks, crc, seed, static_cast<int>(seed % 4));
        const std::string label = "seed " + std::to_string(seed);
        if (outcome.received == End::kDone || outcome.sent == End::kDone) {
            EXPECT_EQ(outcome.file, padded) << label;
        }
        for (const End end : {outcome.sent, outcome.received}) {
            EXPECT_NE(end, End::kRunning) << label;
            EXPECT_NE(end, End::kLineLost) << label;
        }
        (outcome.received == End::kDone ? done : failed) += 1;
    }
    // Most get through a line this bad; the rest must have failed loudly above.
    EXPECT_GT(done, 180);
    EXPECT_GT(failed, 0) << "the line should have been bad enough to break some";
}

}  // namespace
}  // namespace velotrix::xmodem
