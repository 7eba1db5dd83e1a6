// The window "Terminal" on the headless view: what a person does at it, what it shows and what
// goes out on the line.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

// clang-format off
const WindowRow kRows[] = {
    {"the machine's text shows on the terminal, not as a reception", {"ttyS0"}, "click COM; command menuTerminal; say OK\r\n>; pump", "screen=OK|>\nlist=\ntopen=1\non:save=0"},
    {"keys go out as typed, Enter as the chosen line end", {"ttyS0"}, "click COM; command menuTerminal; command eolCrLf; ttype LOAD; tkey enter; tkey up; idle", "head=4C 4F 41 44 0D 0A 1B 5B 41\nlist="},
    {"Enter ends a line even when no line end is chosen", {"ttyS0"}, "click COM; command menuTerminal; command eolNone; tkey enter; tkey bs; tkey del; idle", "sent=\r\x08\x7F"},
    {"a character code page 1252 lacks is not sent, only refused", {"ttyS0"}, "click COM; command menuTerminal; ttype \xE2\x9C\x93; ttype \xC3\xA4; idle", "beeps=1\nsent=\xE4"},
    {"keys with the port closed only beep", {"ttyS0"}, "command menuTerminal; ttype A", "beeps=1\nboxes=0"},
    {"a paste goes out line by line with the line end and its pauses", {"ttyS0"}, "click COM; command menuTerminal; command eolCr; linedelay 20; tpaste 10 PRINT\n20 END\n; idle; gaps 0 20", "sent=10 PRINT\r20 END\r"},
    {"a paste with a character code page 1252 lacks is refused, naming the line", {"ttyS0"}, "click COM; command menuTerminal; tpaste A\n\xE2\x9C\x93; idle", "box=Fehler! - Eingef\xFCgter Text nicht gesendet: Zeile 2 enth\xE4lt ein Zeichen, das es in Codepage 1252 nicht gibt.\nsent="},
    {"typed hex bytes", {"ttyS0"}, "click COM; command menuTerminal; type tHex 1b 5B 41; click tHexSend; idle", "sent=\x1B[A"},
    {"hex that is not whole bytes is refused", {"ttyS0"}, "click COM; command menuTerminal; type tHex 1B 5; click tHexSend; idle", "box=Fehler! - Hex-Bytes eingeben, zwei Ziffern je Byte, z. B. 1B 5B 41\nsent="},
    {"BREAK", {"ttyS0"}, "click COM; command menuTerminal; ttype A; idle; click tBreak; idle", "breaks=1\nsent=A"},
    {"a bell beeps", {"ttyS0"}, "click COM; command menuTerminal; say A\aB; pump", "beeps=1\nscreen=AB"},
    {"Kopieren takes the selection", {"ttyS0"}, "click COM; command menuTerminal; say AB\r\nCD; tselect 0 1 1 1; click tCopy", "clipboard=B|C"},
    {"Kopieren takes everything when nothing is selected", {"ttyS0"}, "click COM; command menuTerminal; say AB\r\nC\x01; click tCopy", "clipboard=AB|C^A"},
    {"L\xF6schen empties the screen", {"ttyS0"}, "click COM; command menuTerminal; say AB; click tClear; say C", "screen=C"},
    {"Empfang starten: the next bytes are a reception, then the terminal's again", {"ttyS0"}, "click COM; command menuTerminal; say A; click tReceive; feed z80; advance 1000; say B", "screen=AB\nrxKind=Empfangen: z80\nrxName=HELLO\ntReceive=Empfang starten\non:save=1"},
    {"Empfang beenden while nothing came", {"ttyS0"}, "click COM; command menuTerminal; click tReceive; click tReceive; say A", "screen=A\ntReceive=Empfang starten\non:save=0"},
    {"closed, the terminal hands the line back to receptions", {"ttyS0"}, "click COM; command menuTerminal; tclose; feed 40; advance 1000", "topen=0\nrxKind=Empfangen: BIN\non:save=1"},
    {"Datei senden in the format chosen", {"ttyS0"}, "click COM; command menuTerminal; load A.bin 40; select tFormat BIN; click tSendFile; idle", "sent=data\nchecked:bin=1"},
    {"Datei senden as HEX 32: the main window's HEX box follows", {"ttyS0"}, "click COM; command menuTerminal; load A_c000.bin 40; select tFormat HEX 32; click tSendFile; idle", "written=119\nhexSend=HEX 32"},
    {"the format follows the HEX box when the terminal opens", {"ttyS0"}, "click COM; select hexSend HEX 16; command menuTerminal", "tFormat=HEX 16"},
    {"z80 from the terminal turns HEX off", {"ttyS0"}, "click COM; select hexSend HEX 16; command menuTerminal; load A.bin 40; select tFormat z80; click tSendFile; idle", "hexSend=kein HEX\nsent=image"},
    {"the format follows the BIN switch when the terminal opens", {"ttyS0"}, "click COM; click bin; command menuTerminal", "tFormat=BIN"},
    {"Datei senden with nothing loaded asks for the file", {"ttyS0"}, "click COM; command menuTerminal; write A.bin 40; answer A.bin; click tSendFile; idle", "sent=image\ntxKind=Geladen: BIN"},
    {"warten auf: the file goes once the prompt came", {"ttyS0"}, "click COM; command menuTerminal; load A.bin 40; select tFormat BIN; click tExpectCheck; type tExpect A>; click tSendFile; advance 5000; say xA>; idle", "written=40\nsent=data"},
    {"warten auf: nothing goes before the prompt", {"ttyS0"}, "click COM; command menuTerminal; load A.bin 40; click tExpectCheck; type tExpect A>; click tSendFile; advance 9999; say x", "written=0\nboxes=0"},
    {"warten auf: no prompt in time, and the window says so", {"ttyS0"}, "click COM; command menuTerminal; load A.bin 40; click tExpectCheck; type tExpect A>; type tTimeout 2; click tSendFile; advance 2000; say A>; idle", "written=0\nbox=Info - Keine Antwort: \"A>\" kam nicht innerhalb von 2 s, nichts gesendet\ntail=Keine Antwort: \"A>\" kam nicht innerhalb von 2 s, nichts gesendet"},
    {"Datei senden as XMODEM once the prompt came", {"ttyS0"}, "click COM; command menuTerminal; load A.bin 40; select tFormat XMODEM; click tExpectCheck; type tExpect >; click tSendFile; say >; say C; say \x06; say \x06; pump", "written=134\nscreen=>"},
    {"Empfang starten as XMODEM, and the terminal again after its end", {"ttyS0"}, "click COM; command menuTerminal; select tFormat XMODEM; click tReceive; xblock 1; eot; eot; say B", "screen=B\ntReceive=Empfang starten\non:save=1"},
    {"Empfang beenden cancels an XMODEM reception", {"ttyS0"}, "click COM; command menuTerminal; select tFormat XMODEM; click tReceive; click tReceive; pump", "tReceive=Empfang starten\nwritten=9"},
    {"the terminal comes back at its size and place", {"ttyS0"}, "command menuTerminal; tplace 100 80 700 500; tclose; restart; command menuTerminal", "tplace=100 80 700 500\ntopen=1"},
    {"its place is kept when the program ends with it open", {"ttyS0"}, "command menuTerminal; tplace 120 90 720 510; escape; restart; command menuTerminal", "tplace=120 90 720 510"},
};
// clang-format on

class TerminalWindow : public ::testing::TestWithParam<WindowRow> {};

TEST_P(TerminalWindow, ShowsAndSendsWhatThePersonDid) {
    Rig rig(Rig::Face::kWindow, GetParam().ports);
    rig.Do(GetParam().steps);
    rig.Expect(GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, TerminalWindow, ::testing::ValuesIn(kRows), RowName<WindowRow>);
[[maybe_unused]] const bool kWalked = AddWindowRows(kRows);

}  // namespace
}  // namespace velotrix::test
