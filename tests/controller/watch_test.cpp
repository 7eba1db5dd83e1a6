// Sending the loaded file again when it is rewritten, on the fake line and the virtual clock: the
// engine as every face uses it, and the window's check box.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

const char* const kResent =
    "list=Datei ge\xE4ndert, wird erneut gesendet|Senden mit Header als 'z80'...|82 Bytes zu "
    "senden:|Senden l\xE4uft, bitte warten...|Bytes gesendet: 82|Datei fertig \xFC"
    "bertragen";

// clang-format off
const TableRow kEngineRows[] = {
    {"a rewrite waits for half a second of stillness", "open; watch; load A.bin 100; rewrite A.bin 50; advance 499", "written=0\nlog="},
    {"a rewrite is loaded again and sent once", "open; watch; load A.bin 100; rewrite A.bin 50; advance 500; idle", "written=82\nlog=reloaded 4000 4031 A|progress 82|hidden|ended open completed"},
    {"a burst of writes gives one send", "open; watch; load A.bin 100; rewrite A.bin 10; advance 400; rewrite A.bin 20; advance 400; rewrite A.bin 50; advance 500; idle; advance 2000", "written=82\nlog=reloaded 4000 4031 A|progress 82|hidden|ended open completed"},
    {"a rewrite while sending waits for the send's end", "open; watch; hold; load A.bin 100; send; rewrite A.bin 50; advance 500; release; idle; idle", "written=214\nlog=progress 132|hidden|ended open completed|reloaded 4000 4031 A|progress 82|hidden|ended open completed"},
    {"a vanished file fails and the watch goes on", "open; watch; load A.bin 100; vanish A.bin; advance 500; rewrite A.bin 50; advance 500; idle", "written=82\nlog=reload failed|reloaded 4000 4031 A|progress 82|hidden|ended open completed\nwatched=$DIR/A.bin"},
    {"a file too small fails and the watch goes on", "open; watch; load A.bin 100; rewrite A.bin 10; advance 500; rewrite A.bin 50; advance 500; idle", "written=82\nlog=reload failed|reloaded 4000 4031 A|progress 82|hidden|ended open completed"},
    {"a rewrite waiting for a send is forgotten when another file is loaded", "open; watch; hold; load A.bin 100; send; rewrite A.bin 50; advance 500; load B.bin 60; release; idle; idle; advance 1000", "written=132\nlog=progress 132|hidden|ended open completed\nwatched=$DIR/B.bin"},
    {"a continuous send takes the rewrite at its next pass", "open; continuous; watch; hold; load A.bin 100; send; rewrite A.bin 50; advance 500", "rewrites=reloaded 4000 4031 A by the pass\nresult=ok"},
    {"nothing is sent while the port is closed", "watch; load A.bin 100; rewrite A.bin 50; advance 500", "log=\nwatched=$DIR/A.bin"},
    {"a rewrite of another file is not sent", "open; watch; load A.bin 100; rewrite B.bin 50; advance 500", "written=0\nlog="},
    {"the file loaded next is followed", "watch; load A.bin 100; load B.bin 50", "watched=$DIR/B.bin"},
    {"without the watch no file is watched", "load A.bin 100", "watched="},
    {"a watch that cannot start says so", "open; watch; unwatchable; load A.bin 100", "log=watch failed\nwatched="},
};

const WindowRow kWindowRows[] = {
    {"the rewrite is sent with the header edits", {"ttyS0"}, "click COM; click resend; load HELLO_4000.bin 100; type txAadr 8000; type txName NEU; rewrite HELLO_4000.bin 50; advance 500; idle", "head=00 80 31 80 00 40 41 43 31 4B 5A 56 50 D3 D3 D3 4E 45 55 20 20 20 20 20 20 20 20 20 20 20 20 20\ntxAadr=8000\ntxEadr=8031\ntxBytes=0032\ntxName=NEU\nchecked:resend=1\nstate=[Zustand]|ERNEUT_SENDEN=1|*"},
    {"the rewrite is listed and sent once", {"ttyS0"}, "click COM; click resend; load A.bin 100; rewrite A.bin 50; advance 500; idle", kResent},
    {"a rewrite during a send waits for its end", {"ttyS0"}, "click COM; click resend; hold; load A.bin 100; click send; rewrite A.bin 50; advance 500; release; idle; idle", "written=214\non:send=1\non:load=1"},
    {"a vanished file is listed and the watch goes on", {"ttyS0"}, "click COM; click resend; load A.bin 100; vanish A.bin; advance 500", "list=$DIR/A.bin: Datei oder Ordner nicht gefunden\nboxes=0\npane1= \nwatched=$DIR/A.bin"},
    {"a file too big has its box", {"ttyS0"}, "click COM; click resend; load A.bin 100; rewrite A.bin 65505; advance 500", "box=Info - Datei zu gro\xDF (max. 64k)...\nwritten=0"},
    {"a watch that cannot start has its box", {"ttyS0"}, "click COM; click resend; unwatchable; load A.bin 100", "boxes=1\nwritten=0\nwatched="},
    {"off, a rewrite is not sent", {"ttyS0"}, "click COM; load A.bin 100; rewrite A.bin 50; advance 500", "written=0\nchecked:resend=0\nwatched="},
    {"the check box is remembered", {"ttyS0"}, "click resend; restart", "checked:resend=1"},
    {"and so is its clearing", {"ttyS0"}, "click resend; click resend; restart", "checked:resend=0\nstate=[Zustand]|ERNEUT_SENDEN=0|"},
};
// clang-format on

class WatchTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(WatchTable, SendsEachRewriteOnce) {
    Rig rig;
    rig.Do(GetParam().steps);
    rig.Expect(GetParam().shown);
}

class WatchWindow : public ::testing::TestWithParam<WindowRow> {};

TEST_P(WatchWindow, SendsEachRewriteOnce) {
    Rig rig(Rig::Face::kWindow, GetParam().ports);
    rig.Do(GetParam().steps);
    rig.Expect(GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Engine, WatchTable, ::testing::ValuesIn(kEngineRows), RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Window, WatchWindow, ::testing::ValuesIn(kWindowRows), RowName<WindowRow>);
[[maybe_unused]] const bool kWalked = AddWindowRows(kWindowRows);

}  // namespace
}  // namespace velotrix::test
