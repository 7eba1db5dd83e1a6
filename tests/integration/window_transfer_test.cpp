// Whole transfers through the window's commands: what goes on the line, what is saved.
#include <gtest/gtest.h>

#include "controller/controller_fixture.h"
#include "image/crc16.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;

class WindowTransferTest : public ControllerTest {
  protected:
    void SetUp() override {
        Start({"ttyUSB0"});
        OpenPort();
    }
    FakeSerialDevice& Line() { return *devices[0]; }
    bool Listed(std::string_view line) {
        for (const std::string& message : Messages()) {
            if (message == line) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(WindowTransferTest, AnEditedHeaderGoesOnTheLineAsShown) {
    const std::vector<std::uint8_t> data = CountingBytes(100);
    Load("hello.z80", Z80File(0x4000, 0x4063, 0x4000, 'P', "HELLO", data.size()));
    view.Type(ids::kTxAadr, "1000");
    view.Type(ids::kTxSadr, "1010");
    view.Type(ids::kTxName, "  NEU");
    view.UserSelect(ids::kTxType, 1);
    view.Click(ids::kSendFileButton);
    ASSERT_TRUE(PumpUntil([&] {
        return Listed(
            "Datei fertig \xFC"
            "bertragen");
    }));

    std::vector<std::uint8_t> expected = Z80File(0x1000, 0x1063, 0x1010, 'B', "NEU", 0);
    for (std::size_t i = 16 + 3; i < 32; ++i) {
        expected[i] = ' ';
    }
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(Line().Written(), expected);
    EXPECT_TRUE(PumpUntil([&] { return view.IsEnabled(ids::kLoadButton); }));
    EXPECT_FALSE(view.IsEnabled(ids::kPortCombo));
}

TEST_F(WindowTransferTest, SendingWithNothingLoadedIsRefused) {
    view.Click(ids::kSendFileButton);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].text, "Nix da zum Senden.");
    EXPECT_EQ(view.Messages()[0].caption, "Fehler!");
    EXPECT_TRUE(Line().Written().empty());
}

TEST_F(WindowTransferTest, AContinuousSendGoesOnAfterACancelledLoad) {
    Load("HELLO_4000.bin", CountingBytes(40));
    view.Click(ids::kContinuousCheck);
    view.Click(ids::kSendFileButton);
    ASSERT_TRUE(Line().WaitUntilWritten(72, 5s));
    view.QueueOpenFileAnswer(std::nullopt);
    view.Click(ids::kLoadButton);
    const std::size_t before = Line().Written().size();
    EXPECT_TRUE(Line().WaitUntilWritten(before + 3 * 72, 5s));
    EXPECT_TRUE(PumpUntil([&] { return !view.IsEnabled(ids::kContinuousCheck); }));
    view.Click(ids::kComButton);
    EXPECT_TRUE(PumpUntil([&] { return view.IsEnabled(ids::kContinuousCheck); }));
}

TEST_F(WindowTransferTest, AReceptionIsListedAndSavedByteForByte) {
    std::vector<std::uint8_t> sent = Z80File(0x4000, 0x43E7, 0x4000, 'P', "HELLO", 1000 - 32);
    Line().InjectInput(sent);
    ASSERT_TRUE(
        PumpUntil([&] { return view.PaneText(ids::kPaneReceived) == "Bytes empfangen: 1000"; }));
    loop.Advance(1000ms);
    EXPECT_TRUE(view.IsEnabled(ids::kSaveButton));
    EXPECT_EQ(view.Text(ids::kRxBytes), "03C8");
    EXPECT_EQ(view.Text(ids::kRxCrc), Hex4(Crc16(std::span<const std::uint8_t>(sent).subspan(32))));
    EXPECT_TRUE(Listed("Bytes empfangen gesamt: 1000"));

    const std::string path = dir.File("saved.z80");
    view.QueueSaveFileAnswer(path);
    view.Click(ids::kSaveButton);
    ASSERT_FALSE(view.FileDialogCalls().empty());
    EXPECT_EQ(view.FileDialogCalls().back().suggestedName, "HELLO.Z80");
    EXPECT_EQ(view.FileDialogCalls().back().title, "HELLO.Z80");
    EXPECT_EQ(view.Messages().back().caption, "Datei wurde erfolgreich geschrieben.");
    EXPECT_EQ(ReadFileBytes(path), std::string(sent.begin(), sent.end()));
}

TEST_F(WindowTransferTest, ANewReceptionNeverMixesIntoTheSavedOne) {
    const std::vector<std::uint8_t> first(40, 0x11);
    Line().InjectInput(first);
    ASSERT_TRUE(
        PumpUntil([&] { return view.PaneText(ids::kPaneReceived) == "Bytes empfangen: 40"; }));
    loop.Advance(1000ms);
    Line().InjectInput(std::vector<std::uint8_t>(10, 0x22));
    ASSERT_TRUE(
        PumpUntil([&] { return view.PaneText(ids::kPaneReceived) == "Bytes empfangen: 10"; }));

    const std::string path = dir.File("first.bin");
    view.QueueSaveFileAnswer(path);
    view.Click(ids::kSaveButton);
    EXPECT_EQ(view.FileDialogCalls().back().suggestedName, "default.bin");
    EXPECT_EQ(ReadFileBytes(path), std::string(first.begin(), first.end()));
}

}  // namespace
}  // namespace velotrix::test
