// The window's XMODEM menu: offered while the port is open, a transfer holds the send controls
// until its end, each end is listed, a received file is saved with "Sichern", and the fill-byte
// switch is remembered.
#include <gtest/gtest.h>

#include "serial/xmodem.h"
#include "support/rig.h"

namespace velotrix::test {
namespace {

namespace xm = xmodem;

// clang-format off
const WindowRow kRows[] = {
    {"offered while the port is open", {"ttyS0"}, "", "menu:xmodem=0000"},
    {"and cancelled only while a transfer runs", {"ttyS0"}, "click COM", "menu:xmodem=1110"},
    {"a send holds the controls until the user cancels it", {"ttyS0"}, "click COM; load A.bin 100; command xmodemSend", "on:send=0\non:load=0\nmenu:xmodem=1111\nlist=XMODEM senden: 100 Bytes, warte auf die Anfrage des Empf\xE4ngers (C oder NAK)..."},
    {"a send in blocks of 1K holds them too", {"ttyS0"}, "click COM; load A.bin 2000; command xmodemSend1k", "on:send=0\nmenu:xmodem=1111\nlist=XMODEM senden: 2000 Bytes, warte auf die Anfrage des Empf\xE4ngers (C oder NAK)..."},
    {"the cancel sends CAN and ends it", {"ttyS0"}, "click COM; load A.bin 100; command xmodemSend; command xmodemCancel; idle", "on:send=1\nmenu:xmodem=1110\nwritten=8\ntail=XMODEM senden: 100 Bytes, warte auf die Anfrage des Empf\xE4ngers (C oder NAK)...|XMODEM: abgebrochen, CAN gesendet\nprogressText="},
    {"a receive that nobody answers ends after a minute", {"ttyS0"}, "click COM; command xmodemReceive; advance 60000; idle", "on:send=1\nmenu:xmodem=1110\ntail=XMODEM empfangen: warte auf den Sender...|XMODEM: 60 s keine Antwort der Gegenseite, abgebrochen (CAN gesendet)\non:save=0\nboxes=0"},
    {"nothing loaded: the send is refused", {"ttyS0"}, "click COM; command xmodemSend", "box=Fehler! - Nix da zum Senden.\non:send=1\nmenu:xmodem=1110"},
    {"the fill-byte switch is remembered", {"ttyS0"}, "command xmodemTrim; restart", "trim=1\nstate=[Zustand]|XMODEM_FUELLBYTES_ENTFERNEN=1|"},
    {"and so is its clearing", {"ttyS0"}, "command xmodemTrim; command xmodemTrim; restart", "trim=0"},
};
// clang-format on

class XmodemWindow : public ::testing::TestWithParam<WindowRow> {};

TEST_P(XmodemWindow, ShowsWhatTheTransferDoes) {
    Rig rig(Rig::Face::kWindow, GetParam().ports);
    rig.Do(GetParam().steps);
    rig.Expect(GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Window, XmodemWindow, ::testing::ValuesIn(kRows), RowName<WindowRow>);
[[maybe_unused]] const bool kWalked = AddWindowRows(kRows);

// A file received with the switch on: its progress in the status bar, its end listed, its fill
// bytes gone, and "Sichern" saves it, as the list says.
TEST(XmodemWindow, ReceivedFileIsSavedWithSichern) {
    Rig rig(Rig::Face::kWindow, {"ttyS0"});
    rig.Do("command xmodemTrim; click COM; command xmodemReceive");
    Bytes data = CountingBytes(100);
    Bytes frame;
    xm::AppendBlock(frame, 1, data, xm::kShortBlock, xm::Check::kCrc16);
    rig.Feed(frame);
    rig.Expect(
        "progressText=1 Bl\xF6"
        "cke \x96 128 Bytes \x96 0 Wiederholungen\npane3=Bytes empfangen: 128");
    rig.Feed({xm::kEot});
    rig.Feed({xm::kEot});
    rig.Do("idle");
    rig.Expect(
        "tail=XMODEM empfangen: warte auf den Sender...|XMODEM: Datei fertig empfangen (1 Bl\xF6"
        "cke \x96 128 Bytes \x96 0 Wiederholungen, CRC-16)|Sichern per "
        "Button\non:save=1\non:send=1\n"
        "rxBytes=0064\nprogressText=");
    rig.fed = data;
    rig.Do("save x.bin");
    rig.Expect("suggested=default.bin\nsaved=all");
}

}  // namespace
}  // namespace velotrix::test
