// The window's XMODEM menu: offered while the port is open, a transfer holds the send controls
// until its end, each end is listed, a received file is saved with "Sichern", and the fill-byte
// switch is remembered.
#include <gtest/gtest.h>

#include "serial/xmodem.h"
#include "support/rig.h"

namespace velotrix::test {
namespace {

namespace xm = xmodem;

class XmodemWindow : public ::testing::TestWithParam<TableRow> {};

TEST_P(XmodemWindow, ShowsWhatTheTransferDoes) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, XmodemWindow, WindowRowsOf("controller/xmodem_window.rows"),
                         RowName<TableRow>);

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
