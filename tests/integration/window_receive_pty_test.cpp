// Receptions through a real pseudo-terminal into the window: listing, fields, totals, saved file.
#include <gtest/gtest.h>

#include "app/controller.h"
#include "controller/controller_fixture.h"
#include "image/crc16.h"
#include "support/pty_pair.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;

class WindowReceivePtyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        const PortInfo port{"pty", pty.SlavePath()};
        ControllerEnvironment environment;
        environment.settingsPath = dir.File("Velotrix.ini");
        environment.listPorts = [port] { return std::vector<PortInfo>{port}; };
        controller = std::make_unique<MainController>(view, loop, environment);
        controller->Start();
        view.Click(ids::kComButton);
        ASSERT_EQ(view.Text(ids::kComButton),
                  "COM schlie\xDF"
                  "en");
    }

    // Sends the bytes from the far end and pumps until the window counted all of them.
    void Receive(const std::vector<std::uint8_t>& bytes, std::uint32_t total) {
        ASSERT_TRUE(pty.Write(bytes));
        const std::string pane = "Bytes empfangen: " + std::to_string(total);
        ASSERT_TRUE(loop.RunUntil([&] { return view.PaneText(ids::kPaneReceived) == pane; }, 5s));
    }

    std::string SaveAs(std::string_view name) {
        const std::string path = dir.File(name);
        view.QueueSaveFileAnswer(path);
        view.Click(ids::kSaveButton);
        return ReadFileBytes(path).value_or("");
    }

    TempDir dir;
    PtyPair pty;
    HeadlessView view;
    ManualLoop loop;
    std::unique_ptr<MainController> controller;
};

struct ReceptionCase {
    std::vector<std::uint8_t> bytes;
    std::size_t listingLines;  // hex lines before the hyphen line
    std::string kind;          // field 1052
    std::size_t dataOffset;    // where the checksummed data part begins
};

TEST_F(WindowReceivePtyTest, ReceptionsAreListedTotalledAndSavedExactly) {
    const std::vector<ReceptionCase> cases = {
        {CountingBytes(16), 1, " ", 0},  // too short for the header test: the field stays
        {CountingBytes(40), 3, "Empfangen: BIN", 0},
        {Z80File(0x4000, 0x43C7, 0x4000, 'P', "HELLO", 968), 63, "Empfangen: z80", 32},
    };
    for (const ReceptionCase& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        Receive(c.bytes, static_cast<std::uint32_t>(c.bytes.size()));
        loop.Advance(1000ms);
        const std::vector<std::string> lines = view.Lines(ids::kMessageList);
        ASSERT_GE(lines.size(), c.listingLines + 3);
        const std::size_t tail = lines.size() - 3;
        EXPECT_EQ(lines[tail], std::string(47, '-'));
        EXPECT_EQ(lines[tail + 1], "Bytes empfangen gesamt: " + std::to_string(c.bytes.size()));
        EXPECT_EQ(lines[tail + 2], "Sichern per Button");
        std::string firstLine;
        for (std::size_t i = 0; i < 16; ++i) {
            firstLine += Hex2(c.bytes[i]) + " ";
        }
        EXPECT_EQ(lines[tail - c.listingLines], firstLine);
        EXPECT_EQ(view.Text(ids::kRxKind), c.kind);
        const auto data = std::span<const std::uint8_t>(c.bytes).subspan(c.dataOffset);
        EXPECT_EQ(view.Text(ids::kRxBytes), Hex4(static_cast<std::uint32_t>(data.size())));
        EXPECT_EQ(view.Text(ids::kRxCrc), Hex4(Crc16(data)));
        EXPECT_EQ(view.PaneText(ids::kPaneReceived), "");
        EXPECT_EQ(SaveAs("saved.bin"), std::string(c.bytes.begin(), c.bytes.end()));
    }
    EXPECT_EQ(view.Text(ids::kRxName), "HELLO");
    EXPECT_EQ(view.FileDialogCalls().back().suggestedName, "HELLO.Z80");
}

TEST_F(WindowReceivePtyTest, ASecondOfSilenceSeparatesTwoReceptions) {
    Receive(std::vector<std::uint8_t>(20, 0xAA), 20);
    loop.Advance(999ms);
    Receive(std::vector<std::uint8_t>(5, 0xBB), 25);
    loop.Advance(1000ms);
    Receive(std::vector<std::uint8_t>(7, 0xCC), 7);
    loop.Advance(1000ms);
    EXPECT_EQ(SaveAs("second.bin"), std::string(7, '\xCC'));
    EXPECT_EQ(view.Text(ids::kRxBytes), "0007");
}

TEST_F(WindowReceivePtyTest, TheComButtonDuringAReceptionStillFinishesItASecondLater) {
    Receive(CountingBytes(50), 50);
    view.Click(ids::kComButton);
    EXPECT_TRUE(view.Lines(ids::kMessageList).empty());
    EXPECT_FALSE(view.IsEnabled(ids::kSaveButton));
    loop.Advance(1000ms);
    EXPECT_EQ(view.Lines(ids::kMessageList).at(1), "Bytes empfangen gesamt: 50");
    EXPECT_TRUE(view.IsEnabled(ids::kSaveButton));
    const std::vector<std::uint8_t> expected = CountingBytes(50);
    EXPECT_EQ(SaveAs("cut.bin"), std::string(expected.begin(), expected.end()));
}

}  // namespace
}  // namespace velotrix::test
