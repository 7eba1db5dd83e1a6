// Sends on their sender thread against a pseudo-terminal line or a fake device: the bytes on the
// line, the listed steps, closing and quitting during a send, and refused second sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/fake_serial_device.h"
#include "support/line_recorder.h"
#include "support/pty_pair.h"
#include "support/send_rig.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

const std::string kWithHeader = "Senden mit Header als 'z80'...";
const std::string kRunning = "Senden l\xE4uft, bitte warten...";
const std::string kDone =
    "Datei fertig \xFC"
    "bertragen";
const std::string kAborted = "Dauersenden abgebrochen...";
const std::string kHeader = "Sende Header...";
const std::string kData = "Sende Daten...";

std::string Sent(std::size_t n) {
    return "Bytes gesendet: " + std::to_string(n);
}
std::string ToSend(std::size_t n) {
    return std::to_string(n) + " Bytes zu senden:";
}

Bytes AsBytes(std::span<const std::uint8_t> span) {
    return {span.begin(), span.end()};
}

// Lets a number of bytes through and then holds the line, as a far end that drops CTS does.
class HoldingFake : public FakeSerialDevice {
  public:
    explicit HoldingFake(std::size_t passing) : passing_(passing) {}
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        if (Written().size() + count > passing_) {
            HoldWrites(true);
        }
        return FakeSerialDevice::Write(bytes, count);
    }

  private:
    std::size_t passing_;
};

TEST(SingleFileSend, PutsExactlyItsBytesOnTheLineAndListsItsSteps) {
    const struct {
        bool binMode;
        int pause;
        std::uint32_t dataLength;
        Lines lines;
    } cases[] = {
        // Pause "keine": one block, a full image with real progress at a bounded rate.
        {false, 0, kMaxDataLength, {kWithHeader, ToSend(65536), kRunning, Sent(65536), kDone}},
        // No pause chosen: two blocks back to back.
        {false, -1, 100, {kWithHeader, ToSend(132), kHeader, Sent(32), kData, Sent(100), kDone}},
        {false,
         2,
         1000,
         {kWithHeader, ToSend(1032), kHeader, Sent(32), "Pause 100ms...", kData, Sent(1000),
          kDone}},
        // BIN ignores the pause, even for a bare header.
        {true, 4, 100, {"Senden ohne Header (BIN)...", ToSend(100), kRunning, Sent(100), kDone}},
        {true, 0, 0, {"Senden ohne Header (BIN)...", ToSend(0), kRunning, Sent(0), kDone}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines[1]);
        PtyPair pty;
        LineRecorder line(pty);
        SendRig rig(OpenPtyDevice(pty));
        rig.Load(c.dataLength);
        rig.options.binMode = c.binMode;
        rig.SelectPause(c.pause);
        const auto start = std::chrono::steady_clock::now();

        rig.sends->FileSendCommand();
        EXPECT_FALSE(rig.view.IsEnabled(ids::kSendFileButton));
        if (c.pause == 2) {
            // The check box is free during the pause.
            ASSERT_TRUE(rig.PumpUntil([&] { return rig.Listed("Pause 100ms..."); }));
            EXPECT_TRUE(rig.Listed(kData) || rig.view.IsEnabled(ids::kBinModeCheck));
        }
        ASSERT_TRUE(rig.PumpUntilIdle(60s));
        const auto elapsed = std::chrono::steady_clock::now() - start;

        EXPECT_EQ(rig.Messages(), c.lines);
        const Bytes expected = AsBytes(c.binMode ? rig.tx.Data() : rig.tx.HeaderAndData());
        EXPECT_EQ(line.BytesAfterQuiet(), expected);
        EXPECT_TRUE(rig.view.IsEnabled(ids::kSendFileButton));
        // One progress update per interval at most, plus the exact one at the end of each block.
        const bool oneBlock = c.binMode || c.pause == 0;
        const std::size_t last = oneBlock ? expected.size() : c.dataLength;
        EXPECT_EQ(rig.view.ProgressMaximum(), last);
        EXPECT_EQ(rig.view.progress.back(), last);
        EXPECT_LE(rig.view.progress.size(),
                  elapsed / std::chrono::milliseconds(kProgressIntervalMs) + (oneBlock ? 1 : 2));
        const Lines& pane = rig.view.sentPane;
        ASSERT_GE(pane.size(), 2u);
        EXPECT_EQ(Lines(std::prev(pane.end(), 2), pane.end()), (Lines{std::to_string(last), " "}));
        if (c.pause == 2) {
            EXPECT_GE(line.ArrivalOf(kHeaderSize) - line.ArrivalOf(kHeaderSize - 1), 90ms);
        }
    }
}

TEST(SingleTextSend, ListsAndSendsAtMostThirtyOneCharacters) {
    const std::string forty = "0123456789ABCDEFGHIJ0123456789ABCDEFGHIJ";
    const struct {
        std::string field;
        Lines lines;
        std::string onLine;
    } cases[] = {
        {"AB", {"gesendet:  41 42 ", Sent(2)}, "AB"},
        {"", {"gesendet:  ", Sent(0)}, ""},
        {forty,
         {"gesendet:  30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 47 48 49 4A ",
          "30 31 32 33 34 35 36 37 38 39 41 ", Sent(31)},
         forty.substr(0, 31)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        PtyPair pty;
        LineRecorder line(pty);
        SendRig rig(OpenPtyDevice(pty));
        rig.view.SetText(ids::kTextEdit, c.field);
        rig.sends->TextSendCommand();
        ASSERT_TRUE(rig.PumpUntilIdle());

        EXPECT_EQ(rig.Messages(), c.lines);
        EXPECT_EQ(line.BytesAfterQuiet(), Bytes(c.onLine.begin(), c.onLine.end()));
        EXPECT_TRUE(rig.options.textMode);
    }
}

TEST(ContinuousFileSend, RepeatsWholePassesUntilThePortCloses) {
    PtyPair pty;
    LineRecorder line(pty);
    SendRig rig(OpenPtyDevice(pty));
    rig.Load(64);
    rig.SelectPause(1);
    rig.options.continuousSend = true;

    rig.sends->FileSendCommand();
    EXPECT_TRUE(rig.view.IsEnabled(ids::kSendFileButton));
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Messages().size() >= 1 + 5 * 3; }));
    EXPECT_FALSE(rig.view.IsEnabled(ids::kContinuousCheck));
    rig.ClosePort();
    rig.loop.RunPending();
    EXPECT_TRUE(rig.view.IsEnabled(ids::kContinuousCheck));

    const Lines pass = {kWithHeader, ToSend(96), kHeader, "Pause 50ms...", kData};
    const Lines lines = rig.Messages();
    EXPECT_EQ(lines.front(),
              "Sende Datei dauernd, Abbruch mit 'COM schlie\xDF"
              "en'.");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (i + 1 < lines.size() || lines[i] != kAborted) {
            EXPECT_EQ(lines[i], pass[(i - 1) % pass.size()]) << "line " << i;
        }
    }
    const Bytes onePass = AsBytes(rig.tx.HeaderAndData());
    const Bytes got = line.BytesAfterQuiet();
    EXPECT_GE(got.size(), 2 * onePass.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], onePass[i % onePass.size()]) << "byte " << i;
    }
}

TEST(ContinuousFileSend, TakesALoadMadeDuringTheSendAtTheNextPass) {
    PtyPair pty;
    LineRecorder line(pty);
    SendRig rig(OpenPtyDevice(pty));
    rig.options.binMode = true;
    rig.options.continuousSend = true;
    rig.Load(40);
    rig.sends->FileSendCommand();
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Listed(ToSend(40)); }));
    rig.Load(20);
    EXPECT_TRUE(rig.PumpUntil([&] { return rig.Listed(ToSend(20)); }));
    rig.ClosePort();
}

TEST(ContinuousTextSend, SendsTheTextTakenAtThePressUntilThePortCloses) {
    for (const std::string text : {"", "XY"}) {
        SCOPED_TRACE(text);
        PtyPair pty;
        LineRecorder line(pty);
        SendRig rig(OpenPtyDevice(pty));
        rig.options.continuousSend = true;
        rig.view.SetText(ids::kTextEdit, text);

        rig.sends->TextSendCommand();
        rig.view.SetText(ids::kTextEdit, "QQ");
        if (!text.empty()) {
            ASSERT_TRUE(line.WaitForCount(200, 10s));
        }
        rig.PumpUntil([] { return false; }, 50ms);
        EXPECT_FALSE(rig.view.IsEnabled(ids::kSendFileButton));
        EXPECT_FALSE(rig.view.IsEnabled(ids::kContinuousCheck));
        rig.ClosePort();
        rig.loop.RunPending();

        EXPECT_EQ(rig.Messages(), Lines{"Sende Text dauernd, Abbruch mit 'COM schlie\xDF"
                                        "en'"});
        EXPECT_TRUE(rig.view.IsEnabled(ids::kContinuousCheck));
        const Bytes got = line.BytesAfterQuiet();
        for (std::size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i], text[i % 2]) << "byte " << i;
        }
    }
}

TEST(ClosingThePort, StopsAByteByByteBlockAfterTheByteInProgress) {
    constexpr std::size_t k = 10;
    auto fake = std::make_shared<HoldingFake>(k);
    SendRig rig(FakeSerialDevice::Share(fake));
    rig.Load(100);
    rig.sends->FileSendCommand();
    ASSERT_TRUE(fake->WaitUntilWritten(k, 5s));
    rig.ClosePort();
    rig.loop.RunPending();

    const Bytes image = AsBytes(rig.tx.HeaderAndData());
    EXPECT_EQ(fake->Written(), Bytes(image.begin(), image.begin() + k));
    EXPECT_EQ(rig.Messages().back(), kAborted);
    EXPECT_FALSE(rig.Listed(kDone));
    ASSERT_GE(rig.view.sentPane.size(), 2u);
    EXPECT_EQ(*std::prev(rig.view.sentPane.end(), 2), std::to_string(k));
    EXPECT_EQ(rig.view.sentPane.back(), " ");
    EXPECT_FALSE(rig.view.ProgressVisible());
    EXPECT_TRUE(rig.view.IsEnabled(ids::kBinModeCheck));
}

enum class Start { kFile, kText, kContinuousFile, kContinuousText };

void StartSend(SendRig& rig, Start how) {
    rig.options.continuousSend = how == Start::kContinuousFile || how == Start::kContinuousText;
    if (how == Start::kFile || how == Start::kContinuousFile) {
        rig.Load(48);
        rig.sends->FileSendCommand();
    } else {
        rig.view.SetText(ids::kTextEdit, "PING");
        rig.sends->TextSendCommand();
    }
}

TEST(ClosingThePort, EndsASendAtOnceWhateverItWaitsFor) {
    const struct {
        Start how;
        bool held;  // by flow control, else in the pause after the header
    } cases[] = {{Start::kFile, true},
                 {Start::kText, true},
                 {Start::kContinuousFile, true},
                 {Start::kContinuousText, true},
                 {Start::kContinuousFile, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.how));
        auto fake = std::make_shared<FakeSerialDevice>();
        fake->HoldWrites(c.held);
        SendRig rig(FakeSerialDevice::Share(fake));
        rig.SelectPause(c.held ? 0 : 4);
        StartSend(rig, c.how);
        rig.PumpUntil([&] { return rig.Listed("Pause 1000ms..."); }, 20ms);
        ASSERT_TRUE(rig.sends->Busy());

        const auto start = std::chrono::steady_clock::now();
        rig.ClosePort();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
        EXPECT_FALSE(rig.sends->Busy());
        EXPECT_EQ(fake->Written().size(), c.held ? 0u : kHeaderSize);
    }
}

TEST(FailingLine, ShowsOneErrorAndEndsEvenAContinuousSend) {
    for (Start how : {Start::kFile, Start::kText, Start::kContinuousFile, Start::kContinuousText}) {
        SCOPED_TRACE(static_cast<int>(how));
        auto fake = std::make_shared<FakeSerialDevice>();
        fake->FailWrites(EIO);
        SendRig rig(FakeSerialDevice::Share(fake));
        StartSend(rig, how);
        ASSERT_TRUE(rig.PumpUntilIdle());

        EXPECT_EQ(rig.view.Messages().size(), 1u);
        EXPECT_FALSE(rig.Listed(kDone));
        EXPECT_TRUE(rig.view.IsEnabled(ids::kContinuousCheck));
    }
}

TEST(SecondSend, IsRefusedAndChangesNothing) {
    PtyPair pty;
    SendRig rig(OpenPtyDevice(pty));
    rig.Load(64);
    rig.SelectPause(3);
    rig.sends->FileSendCommand();
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Listed("Pause 500ms..."); }));
    const Lines before = rig.Messages();

    rig.sends->FileSendCommand();
    rig.view.SetText(ids::kTextEdit, "ZZ");
    rig.sends->TextSendCommand();
    EXPECT_TRUE(rig.sends->RefuseWhileBusy());
    ASSERT_EQ(rig.view.Messages().size(), 3u);
    for (const auto& box : rig.view.Messages()) {
        EXPECT_EQ(box.caption, "Info");
        EXPECT_EQ(box.text,
                  "Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF"
                  "en' abbrechen.");
    }
    EXPECT_EQ(rig.Messages(), before);
    EXPECT_FALSE(rig.options.textMode);
    EXPECT_FALSE(rig.view.IsEnabled(ids::kSendFileButton));

    ASSERT_TRUE(rig.PumpUntilIdle());
    EXPECT_EQ(pty.ReadExactly(96), AsBytes(rig.tx.HeaderAndData()));
    EXPECT_TRUE(pty.ReadSome(50ms).empty());
    EXPECT_FALSE(rig.sends->RefuseWhileBusy());
    EXPECT_EQ(rig.view.Messages().size(), 3u);
}

TEST(Quitting, DuringAContinuousSendLeavesNoThreadAndNoLateWrite) {
    for (int i = 0; i < 200; ++i) {
        auto fake = std::make_shared<FakeSerialDevice>();
        SendRig rig(FakeSerialDevice::Share(fake));
        rig.options.showProgress = i % 3 != 0;
        rig.SelectPause(i % 4 == 0 ? 1 : 0);
        StartSend(rig, i % 2 ? Start::kContinuousText : Start::kContinuousFile);
        rig.loop.RunPending();
        std::this_thread::sleep_for(std::chrono::microseconds(100 * (i % 7)));
        rig.loop.RunPending();
        // Quitting closes the port first; the owner going away must stop a send by itself too.
        if (i % 4 < 2) {
            rig.ClosePort();
        }
        rig.sends.reset();
        const std::size_t written = fake->Written().size();
        rig.loop.RunPending();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        ASSERT_EQ(fake->Written().size(), written) << "iteration " << i;
    }
}

}  // namespace
}  // namespace velotrix::test
