// The controller on the headless view: start-up, dispatch, display reset, preferences, quitting.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/screen.h"
#include "controller_fixture.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace velotrix::test {
namespace {

constexpr int kPortSettings[] = {ids::kPortCombo,     ids::kBaudCombo,     ids::kParityCombo,
                                 ids::kDataBitsCombo, ids::kStopBitsCombo, ids::kFlowCombo};
constexpr int kTransmitButtons[] = {ids::kLoadButton, ids::kSendFileButton, ids::kRefreshButton};

TEST_F(ControllerTest, StartsWithDefaultsWhenThereIsNoSettingsFile) {
    Start();
    EXPECT_EQ(view.Title(), "V.24 Velotrix V. 0.8");
    EXPECT_EQ(view.PaneText(ids::kPaneLabel), "Puffer:");
    for (int pane : {ids::kPanePath, ids::kPaneSent, ids::kPaneReceived}) {
        EXPECT_EQ(view.PaneText(pane), " ");
    }
    EXPECT_EQ(view.ComboItem(ids::kBaudCombo, view.ComboSelection(ids::kBaudCombo)), "4800");
    EXPECT_EQ(view.ComboItem(ids::kParityCombo, view.ComboSelection(ids::kParityCombo)), "keine");
    EXPECT_EQ(view.ComboItem(ids::kDataBitsCombo, view.ComboSelection(ids::kDataBitsCombo)), "8");
    EXPECT_EQ(view.ComboItem(ids::kStopBitsCombo, view.ComboSelection(ids::kStopBitsCombo)), "1");
    EXPECT_EQ(view.ComboItem(ids::kFlowCombo, view.ComboSelection(ids::kFlowCombo)), "keine");
    EXPECT_EQ(view.ComboItem(ids::kPauseCombo, view.ComboSelection(ids::kPauseCombo)), "keine");
    EXPECT_EQ(view.ComboCount(ids::kPortCombo), 0);
    EXPECT_EQ(view.ComboSelection(ids::kPortCombo), -1);
    EXPECT_EQ(view.Lines(ids::kDataBitsCombo), (std::vector<std::string>{"7", "8"}));
    EXPECT_EQ(view.ComboCount(ids::kRxType), 9);
    EXPECT_EQ(view.ComboCount(ids::kTxType), 9);
    EXPECT_EQ(view.ComboSelection(ids::kTxType), -1);

    EXPECT_TRUE(view.IsChecked(ids::kProgressCheck));
    EXPECT_FALSE(view.IsChecked(ids::kContinuousCheck));
    EXPECT_FALSE(view.IsChecked(ids::kBinModeCheck));
    EXPECT_FALSE(view.MenuEnabled(ids::kMenuSendText));
    EXPECT_FALSE(view.IsEnabled(ids::kSaveButton));
    EXPECT_FALSE(view.IsEnabled(ids::kRxType));
    EXPECT_FALSE(view.IsVisible(ids::kCtsIndicator));
    for (int id : kPortSettings) {
        EXPECT_TRUE(view.IsEnabled(id)) << id;
    }
    for (int id : kTransmitButtons) {
        EXPECT_FALSE(view.IsEnabled(id)) << id;
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(FileExists(SettingsPath()));
}

TEST_F(ControllerTest, DefaultPortIsCom4WhenFoundElseTheFirst) {
    Start({"COM1", "COM4", "COM7"});
    EXPECT_EQ(view.Lines(ids::kPortCombo), (std::vector<std::string>{"COM1", "COM4", "COM7"}));
    EXPECT_EQ(view.ComboSelection(ids::kPortCombo), 1);
}

TEST_F(ControllerTest, WithoutCom4TheFirstPortStaysSelected) {
    Start({"ttyUSB0", "ttyUSB1"});
    EXPECT_EQ(view.ComboSelection(ids::kPortCombo), 0);
}

TEST_F(ControllerTest, ControlModesEnableTheirControlsAndIgnoreOtherValues) {
    Start();
    Screen screen(view);
    screen.SetControlMode(ModeOpen);
    for (int id : kPortSettings) {
        EXPECT_FALSE(view.IsEnabled(id)) << id;
    }
    for (int id : kTransmitButtons) {
        EXPECT_TRUE(view.IsEnabled(id)) << id;
    }
    screen.SetControlMode(3);
    screen.SetControlMode(-1);
    for (int id : kTransmitButtons) {
        EXPECT_TRUE(view.IsEnabled(id)) << id;
    }
    screen.SetControlMode(ModeBusy);
    for (int id : kPortSettings) {
        EXPECT_FALSE(view.IsEnabled(id)) << id;
    }
    for (int id : kTransmitButtons) {
        EXPECT_FALSE(view.IsEnabled(id)) << id;
    }
    EXPECT_TRUE(view.IsEnabled(ids::kComButton));
}

TEST_F(ControllerTest, InfoBoxHoldsElevenLinesJoinedByCarriageReturns) {
    Start();
    view.Click(ids::kMenuInfo);
    ASSERT_EQ(view.Messages().size(), 1u);
    const std::string expected =
        "Datenaustausch mit anderem Rechner per V.24\rAC1, LLC2, ...\r\rKurzanleitung:\r"
        "1. Protokoll-Einstellungen w\xE4hlen, <COM \xF6"
        "ffnen>\r"
        "2. Velotrix ist nun empfangsbereit.\r"
        "3. Wenn >1 Sek. Stille nach letztem empfangenen Byte wird der Empfangspuffer\r"
        "    geschlossen und kann als Datei mit <SICHERN> abgelegt werden.\r"
        "4. Zum Senden <BIN/z80 laden> und <Dateisenden> :-)\r"
        "5. Wurde BIN geladen, wird z80-Header automatisch erzeugt.\r"
        "    Die Kopfdaten sind ggf. anzupassen (Adressen, Name, Typ).";
    EXPECT_EQ(view.Messages()[0].text, expected);
    EXPECT_EQ(view.Messages()[0].caption, "V.24 Velotrix V. 0.8");
}

TEST_F(ControllerTest, SelectingCtsListsWarningsAndOtherFlowClearsTheList) {
    Start();
    view.UserSelect(ids::kFlowCombo, 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\xFCtzt!",
                              "Ansonsten nicht Senden!", "Dauersenden vermeiden!"}));
    EXPECT_EQ(view.Selection(ids::kMessageList), 0);
    view.UserSelect(ids::kFlowCombo, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ControllerTest, StoredCtsIsSelectedWithoutWarnings) {
    ASSERT_TRUE(IniWriteString(SettingsPath(), "Prefs", "FLOW", "1"));
    Start();
    EXPECT_EQ(view.ComboSelection(ids::kFlowCombo), 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ControllerTest, PreferencesRoundTripThroughTheMenu) {
    Start({"ttyS0", "ttyUSB0"});
    const std::vector<std::pair<int, int>> chosen = {
        {ids::kPortCombo, 1},     {ids::kBaudCombo, 13},    {ids::kParityCombo, 0},
        {ids::kDataBitsCombo, 0}, {ids::kStopBitsCombo, 1}, {ids::kFlowCombo, 1},
        {ids::kPauseCombo, 4}};
    for (const auto& [id, index] : chosen) {
        view.UserSelect(id, index);
    }
    view.Click(ids::kMenuSavePrefs);
    EXPECT_EQ(IniReadInt(SettingsPath(), "Prefs", "BAUD", -9), 13);
    EXPECT_EQ(IniReadInt(SettingsPath(), "Prefs", "PAUSE", -9), 4);

    for (const auto& [id, index] : chosen) {
        view.UserSelect(id, 0);
    }
    view.Click(ids::kMenuLoadPrefs);
    for (const auto& [id, index] : chosen) {
        EXPECT_EQ(view.ComboSelection(id), index) << id;
    }
}

TEST_F(ControllerTest, AnEmptyPortListIsStoredAsMinusOneAndLoadsAsNoSelection) {
    Start();
    view.Click(ids::kMenuSavePrefs);
    EXPECT_EQ(IniReadInt(SettingsPath(), "Prefs", "COM", 0), -1);
    view.Click(ids::kMenuLoadPrefs);
    EXPECT_EQ(view.ComboSelection(ids::kPortCombo), -1);
    EXPECT_EQ(view.ComboSelection(ids::kBaudCombo), 6);
}

TEST_F(ControllerTest, LoadingPreferencesAfterTheFileIsGoneAppliesDefaultsAndKeepsThePause) {
    Start();
    view.UserSelect(ids::kBaudCombo, 0);
    view.UserSelect(ids::kPauseCombo, 3);
    view.Click(ids::kMenuSavePrefs);
    ASSERT_EQ(std::remove(SettingsPath().c_str()), 0);
    view.Click(ids::kMenuLoadPrefs);
    EXPECT_EQ(view.ComboSelection(ids::kBaudCombo), 6);
    EXPECT_EQ(view.ComboSelection(ids::kPauseCombo), 3);
}

class QuitTest : public ControllerTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuitTest, ClosesThePortBeforeTheDialogEnds) {
    Start({"ttyUSB0"});
    OpenPort();
    ASSERT_TRUE(devices[0]->IsOpen());
    if (GetParam() == ids::kCancel) {
        view.PressEscape();
    } else {
        view.Click(GetParam());
    }
    EXPECT_TRUE(view.MainWindowClosed());
    EXPECT_TRUE(controller->Finished());
    EXPECT_FALSE(devices[0]->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(EscapeAndBeenden, QuitTest,
                         ::testing::Values(ids::kCancel, ids::kMenuQuit),
                         [](const ::testing::TestParamInfo<int>& value) -> std::string {
                             return value.param == ids::kCancel ? "Escape" : "Beenden";
                         });

TEST_F(ControllerTest, TheCloseBoxEndsTheDialogWithoutClosingThePort) {
    Start({"ttyUSB0"});
    OpenPort();
    view.PressCloseBox();
    EXPECT_TRUE(view.MainWindowClosed());
    EXPECT_TRUE(controller->Finished());
    EXPECT_TRUE(devices[0]->IsOpen());
    controller.reset();  // the process exit releases the port
    EXPECT_FALSE(devices[0]->IsOpen());
}

TEST_F(ControllerTest, EachUseOfTheComButtonResetsTheDisplay) {
    Start({"ttyUSB0"});
    view.UserSelect(ids::kFlowCombo, 1);
    ASSERT_FALSE(Messages().empty());
    OpenPort();
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(view.MenuEnabled(ids::kMenuSendText));
    for (int id : kTransmitButtons) {
        EXPECT_TRUE(view.IsEnabled(id)) << id;
    }
    Load("HELLO_4000.bin", CountingBytes(256));
    ASSERT_EQ(view.Text(ids::kTxEadr), "40FF");
    view.Click(ids::kComButton);
    EXPECT_EQ(view.Text(ids::kComButton),
              "COM \xF6"
              "ffnen");
    for (int id : {ids::kTxKind, ids::kTxAadr, ids::kTxEadr, ids::kTxSadr, ids::kTxName,
                   ids::kTxCrc, ids::kTxBytes}) {
        EXPECT_EQ(view.Text(id), " ") << id;
    }
    EXPECT_EQ(view.PaneText(ids::kPanePath), " ");
    EXPECT_FALSE(view.IsEnabled(ids::kSaveButton));
    EXPECT_FALSE(view.MenuEnabled(ids::kMenuSendText));
    EXPECT_FALSE(devices[0]->IsOpen());
}

TEST_F(ControllerTest, OpeningWithoutAnyPortShowsTheOsErrorAndStaysClosed) {
    Start();
    view.Click(ids::kComButton);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].caption, "Meldung:");
    EXPECT_EQ(view.Messages()[0].icon, MessageIcon::kError);
    EXPECT_FALSE(view.Messages()[0].text.empty());
    EXPECT_EQ(view.Text(ids::kComButton),
              "COM \xF6"
              "ffnen");
    EXPECT_TRUE(view.IsEnabled(ids::kPortCombo));
}

TEST_F(ControllerTest, SavingWithNothingReceivedIsRefused) {
    Start();
    controller->OnCommand(ids::kSaveButton, ids::kNotifyClicked);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].text, "Nix da zum sichern.");
    EXPECT_EQ(view.Messages()[0].caption, "Fehler!");
    EXPECT_TRUE(view.FileDialogCalls().empty());
}

TEST_F(ControllerTest, CommandsAfterTheDialogEndedAreIgnored) {
    Start();
    view.PressEscape();
    controller->OnCommand(ids::kMenuInfo, ids::kNotifyClicked);
    EXPECT_TRUE(view.Messages().empty());
}

}  // namespace
}  // namespace velotrix::test
