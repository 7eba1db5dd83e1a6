// Loading a file and editing its header in the TX group, through the window's commands.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <ostream>

#include "controller_fixture.h"
#include "image/crc16.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

class HeaderEditorTest : public ControllerTest {
  protected:
    void SetUp() override {
        Start({"ttyUSB0"});
        OpenPort();
    }
    std::vector<std::string> TxFields() const {
        std::vector<std::string> fields;
        for (int id : {ids::kTxKind, ids::kTxAadr, ids::kTxEadr, ids::kTxSadr, ids::kTxCrc,
                       ids::kTxBytes, ids::kTxName}) {
            fields.push_back(view.Text(id));
        }
        return fields;
    }
};

TEST_F(HeaderEditorTest, LoadingABinFileShowsTheSynthesizedHeader) {
    const std::vector<std::uint8_t> data = CountingBytes(4096);
    const std::string path = Load("HELLO_4000_5FFF_4100.bin", data);
    const std::string crc = Hex4(Crc16(data));
    EXPECT_EQ(TxFields(), (std::vector<std::string>{"Geladen: BIN", "4000", "4FFF", "4100", crc,
                                                    "1000", "HELLO"}));
    EXPECT_EQ(view.ComboSelection(ids::kTxType), 0);
    EXPECT_EQ(view.FocusId(), ids::kTxType);
    EXPECT_EQ(view.PaneText(ids::kPanePath), path);
    EXPECT_TRUE(view.IsEnabled(ids::kSendFileButton));

    const auto& call = view.FileDialogCalls().back();
    EXPECT_EQ(call.title, "Datei ausw\xE4hlen:");
    ASSERT_EQ(call.filters.size(), 2u);
    EXPECT_EQ(call.filters[0].description, "unterst\xFCtzte Dateien (*.bin, *z80, *.COM)");
    EXPECT_EQ(call.filters[0].patterns, "*.bin;*z80;*.COM");
    EXPECT_EQ(call.filters[1].patterns, "*.*");
}

TEST_F(HeaderEditorTest, TheFilterUsedLastIsOfferedFirstNextTime) {
    const std::string path = dir.Write("a.bin", CountingBytes(64));
    view.QueueOpenFileAnswer(path, 1);
    view.Click(ids::kLoadButton);
    view.QueueOpenFileAnswer(path);
    view.Click(ids::kLoadButton);
    ASSERT_EQ(view.FileDialogCalls().size(), 2u);
    EXPECT_EQ(view.FileDialogCalls()[0].filterIndexIn, 0);
    EXPECT_EQ(view.FileDialogCalls()[1].filterIndexIn, 1);
}

struct AadrEdit {
    std::size_t dataBytes;
    std::string typed;
    std::string eadrShown;
};

class AadrEditTest : public HeaderEditorTest, public ::testing::WithParamInterface<AadrEdit> {};

TEST_P(AadrEditTest, EndAddressFollowsTheLoadAddress) {
    const AadrEdit& edit = GetParam();
    Load("prog.z80",
         Z80File(0x1000, 0x1000 + edit.dataBytes - 1, 0x1000, 'P', "PROG", edit.dataBytes));
    view.Type(ids::kTxAadr, edit.typed);
    EXPECT_EQ(view.Text(ids::kTxEadr), edit.eadrShown);
}

void PrintTo(const AadrEdit& edit, std::ostream* out) {
    *out << edit.dataBytes << " bytes, typed \"" << edit.typed << "\", EADR " << edit.eadrShown;
}

// Names from the values, e.g. "Typed4_Shows0103", so that test names stay the same between runs.
std::string AadrEditName(const ::testing::TestParamInfo<AadrEdit>& info) {
    std::string typed;
    for (char c : info.param.typed) {
        typed += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return "Typed" + (typed.empty() ? std::string("Nothing") : typed) + "_Shows" +
           info.param.eadrShown;
}

INSTANTIATE_TEST_SUITE_P(Edits, AadrEditTest,
                         ::testing::Values(AadrEdit{256, "", "00FF"}, AadrEdit{256, "4", "0103"},
                                           AadrEdit{256, "c000", "C0FF"},
                                           AadrEdit{2, "FFFF", "0000"},
                                           AadrEdit{256, " 12", "0111"}),
                         AadrEditName);

TEST_F(HeaderEditorTest, TypingWhileNothingIsLoadedChangesNothing) {
    view.Type(ids::kTxAadr, "1234");
    view.Type(ids::kTxName, "NAME");
    EXPECT_EQ(view.Text(ids::kTxEadr), " ");
}

TEST_F(HeaderEditorTest, AZ80NameEndsAtItsFirstZeroByte) {
    Load("hello.z80", Z80File(0x4000, 0x40FF, 0x4000, 'B', "HELLO", 256));
    EXPECT_EQ(view.Text(ids::kTxName), "HELLO");
    EXPECT_EQ(view.Text(ids::kTxKind), "Geladen: z80");
    EXPECT_EQ(view.ComboSelection(ids::kTxType), 1);
}

TEST_F(HeaderEditorTest, AnUnknownTypeLetterKeepsThePreviousSelection) {
    Load("a.z80", Z80File(0x4000, 0x40FF, 0x4000, 'T', "A", 256));
    ASSERT_EQ(view.ComboSelection(ids::kTxType), 4);
    Load("b.z80", Z80File(0x4000, 0x40FF, 0x4000, 'X', "B", 256));
    EXPECT_EQ(view.ComboSelection(ids::kTxType), 4);
    EXPECT_EQ(view.FocusId(), ids::kTxType);
}

TEST_F(HeaderEditorTest, AMismatchedEndAddressIsShownAsItWillBeSent) {
    Load("fill.z80", Z80File(0x2000, 0x2010, 0x2000, 'P', "FILL", 0x100));
    EXPECT_EQ(view.Text(ids::kTxEadr), "20FF");
}

TEST_F(HeaderEditorTest, RefreshWithNothingLoadedIsRefused) {
    view.Click(ids::kRefreshButton);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].text, "Nix geladen zum Aufrischen.");
    EXPECT_EQ(view.Messages()[0].caption, "Fehler!");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HeaderEditorTest, RefreshReadsTheFileAgainAndDropsTheEdits) {
    Load("HELLO_4000.bin", CountingBytes(256));
    view.Type(ids::kTxAadr, "8000");
    ASSERT_EQ(view.Text(ids::kTxEadr), "80FF");
    view.Click(ids::kRefreshButton);
    EXPECT_EQ(view.Text(ids::kTxAadr), "4000");
    EXPECT_EQ(view.Text(ids::kTxEadr), "40FF");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Datei-Puffer wurde aktualisiert..."});
    EXPECT_EQ(view.Selection(ids::kMessageList), 0);
}

TEST_F(HeaderEditorTest, RefreshAfterTheFileWasDeletedUnloadsButKeepsTheFields) {
    const std::string path = Load("HELLO_4000.bin", CountingBytes(256));
    const auto fields = TxFields();
    ASSERT_EQ(std::remove(path.c_str()), 0);
    view.Click(ids::kRefreshButton);
    EXPECT_EQ(TxFields(), fields);
    EXPECT_EQ(view.PaneText(ids::kPanePath), " ");
    EXPECT_TRUE(Messages().empty());
    view.Type(ids::kTxAadr, "8000");
    EXPECT_EQ(view.Text(ids::kTxEadr), "40FF");
    view.Click(ids::kRefreshButton);
    EXPECT_EQ(view.Messages().back().text, "Nix geladen zum Aufrischen.");
}

TEST_F(HeaderEditorTest, ACancelledDialogUnloadsButKeepsTheFields) {
    Load("HELLO_4000.bin", CountingBytes(256));
    const auto fields = TxFields();
    view.QueueOpenFileAnswer(std::nullopt);
    view.Click(ids::kLoadButton);
    EXPECT_EQ(TxFields(), fields);
    EXPECT_EQ(view.PaneText(ids::kPanePath), " ");
    view.Click(ids::kRefreshButton);
    EXPECT_EQ(view.Messages().back().text, "Nix geladen zum Aufrischen.");
}

TEST_F(HeaderEditorTest, ATooLargeFileIsRefusedWithItsBox) {
    Load("big.bin", CountingBytes(65537));
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].text, "Datei zu gro\xDF (max. 64k)...");
    EXPECT_EQ(view.Messages()[0].caption, "Info");
    EXPECT_EQ(view.PaneText(ids::kPanePath), " ");
}

TEST_F(HeaderEditorTest, ResetDisplayStateBlanksTheFieldsWithoutTouchingTheHeader) {
    Load("HELLO_4000.bin", CountingBytes(256));
    view.Click(ids::kComButton);
    OpenPort();
    // The blanked fields raised their reactions while nothing was loaded; a refresh finds nothing.
    view.Click(ids::kRefreshButton);
    EXPECT_EQ(view.Messages().back().text, "Nix geladen zum Aufrischen.");
    EXPECT_EQ(view.Text(ids::kTxAadr), " ");
}

}  // namespace
}  // namespace velotrix::test
