// The engine through its API against the fake device: receptions, sends, refusals, and what the
// line does to a reception (line errors, CTS); and the port's life in a table of its own.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

// clang-format off
const TableRow kRows[] = {
    // Receptions: the listing, the header decoded at the 33rd byte, the CRC over the data,
    // the silence that ends them, what they keep.
    {"a short reception, the bytes from before the open dropped", "stale 5; open; feed 16; quiet 1000; save rx.bin", "log=finished 3B37 16/16 dropped 0\ncount=3\nfirst=00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \ntail=00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F |47 dashes|Bytes empfangen gesamt: 16\nkept=all\nresult=ok $DIR/rx.bin"},
    {"two bursts less than a second apart", "open; feed 10; advance 999; feed 10; quiet 1000", "log=finished DF26 20/20 dropped 0\ncount=4\nfirst=00 01 02 03 04 05 06 07 08 09 00 01 02 03 04 05 \nkept=all"},
    {"BIN", "open; feed 40; quiet 1000", "log=header BIN|finished 0476 40/40 dropped 0\ncount=5\nkept=all"},
    {"z80", "open; feed z80; quiet 1000", "log=header B 1000 13C7 2000 HELLO|finished 653A 968/1000 dropped 0 z80\ncount=65\nfirst=00 10 C7 13 00 20 00 00 00 00 00 00 42 D3 D3 D3 \nkept=all"},
    // Silence is time without bytes on the line: a receiver that did not run (a stopped process)
    // takes what waits in the driver before its silence ends a reception.
    {"a stalled receiver keeps its reception whole", "open; feed 10; stalled 30; advance 1500; resume; quiet 1000", "log=header BIN|finished 9B10 40/40 dropped 0\nkept=all"},
    {"z80 with the longest pause after its header", "open; feed header; advance 2400; feed 968; quiet 1000", "log=header B 1000 13C7 2000 HELLO|finished 653A 968/1000 dropped 0 z80\nkept=all"},
    // A header alone has been read: a z80 reception without its data, which its CRC leaves out.
    {"a header alone", "open; feed header; quiet 2500", "log=header B 1000 13C7 2000 HELLO|finished FFFF 0/32 dropped 0 z80\ncount=5\nkept=all\ntail=47 dashes|Bytes empfangen gesamt: 32|Empfang unvollst\xE4ndig: 0 von 968 Bytes"},
    {"a wrapped header waits for its data, and too few are said", "open; feed wrapped; advance 2400; feed 968; quiet 1000", "log=header P 4000 0000 4000 BIG|finished 653A 968/1000 dropped 0 z80\ntail=47 dashes|Bytes empfangen gesamt: 1000|Empfang unvollst\xE4ndig: 968 von 49153 Bytes"},
    {"a header that promises no data", "open; feed short; quiet 1000", "log=finished 0D2E 32/32 dropped 0\nkept=all"},
    {"more than the storage holds", "open; feed 70000; quiet 1000", "log=header BIN|finished FFE7 65536/65536 dropped 4464\ncount=4099\ntail=47 dashes|Bytes empfangen gesamt: 65536|Empfangspuffer voll: 4464 Bytes verworfen\nkept=all"},
    {"a line error drops the disturbed bytes", "open; garbled 10; feed 16; quiet 1000", "log=finished 3B37 16/16 dropped 0\npaused=2000\nkept=all"},
    {"CTS", "open; cts; pump", "log=cts on"},
    {"DSR, DCD and RI at the open and as they change", "status DCD; open; status DSR RI; pump", "status=- DSR - RI\nlog="},

    // Sends: the steps listed, the bytes on the line, the pause as silence, and progress that
    // counts the bytes that have left, not those still queued.
    {"BIN ignores the pause", "slow 1000; open; bin; load A.bin 100 4; send; idle", "list=Senden ohne Header (BIN)...|100 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Bytes gesendet: 100|Datei fertig \xFC" "bertragen\nlog=progress 100|hidden|ended open completed\nsent=data\nresult=ok\nahead=0"},
    {"z80 in one block", "slow 1000; open; load A.bin 100 0; send; idle", "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Bytes gesendet: 132|Datei fertig \xFC" "bertragen\nlog=progress 132|hidden|ended open completed\nsent=image\nprogress shown=132\nahead=0"},
    {"z80 with a pause", "slow 1000; open; load A.bin 100 1; send; idle; gap 50", "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|Pause 50ms...|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC" "bertragen\nlog=progress 32|hidden|progress 100|hidden|ended open completed\nsent=image\nprogress shown=100\nahead=0"},
    {"z80 without a pause chosen", "slow 1000; open; load A.bin 100 -1; send; idle", "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC" "bertragen\nsent=image"},
    {"z80 with a pause, without progress", "slow 1000; open; noprogress; load A.bin 100 1; send; idle; gap 50", "log=ended open completed\nsent=image"},
    {"a text", "slow 1000; open; text AB; idle", "list=gesendet:  41 42 |Bytes gesendet: 2\nlog=ended completed\nsent=AB"},
    {"a file sent after a text is no text", "open; eol cr; linedelay 30; text AB; idle; load A.bin 100 0; send; idle", "log=ended completed|progress 132|hidden|ended open completed"},
    {"an empty text", "open; text; idle", "list=gesendet:  |Bytes gesendet: 0\nsent="},
    {"a text cut to 31 characters", "open; text 0123456789ABCDEFGHIJ0123456789ABCDEFGHIJ; idle", "list=gesendet:  30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 47 48 49 4A |30 31 32 33 34 35 36 37 38 39 41 |Bytes gesendet: 31\nsent=0123456789ABCDEFGHIJ0123456789A"},

    // Pauses for home computers without handshake, measured at the far end: after each byte, and
    // after each line end of a text; the line ends of a text and the bytes of a text file.
    {"a character delay after each byte of a file", "open; chardelay 5; bin; load A.bin 40; send; idle; gaps 5 0", "sent=data\nlog=progress 40|hidden|ended open completed"},
    {"a character delay without progress", "open; noprogress; chardelay 3; bin; load A.bin 40; send; idle; gaps 3 0", "sent=data\nlog=ended open completed"},
    {"both delays on a text with CR", "slow 100; open; chardelay 2; linedelay 30; eol cr; text AB; idle; gaps 2 30", "head=41 42 0D\nlist=gesendet:  41 42 0D |Bytes gesendet: 3"},
    {"a text with CR+LF", "open; eol crlf; text AB; idle", "head=41 42 0D 0A\nlog=ended completed"},
    {"a text with LF", "open; eol lf; text AB; idle", "head=41 42 0A"},
    {"a text cut to 31 characters keeps its line end", "open; eol cr; text 0123456789ABCDEFGHIJ0123456789ABCDEFGHIJ; idle", "head=30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 47 48 49 4A 30 31 32 33 34 35 36 37 38 39 41 0D"},
    {"a text file in code page 1252 with CR", "slow 100; open; eol cr; textfile A.bas 10 PRINT \"\xC3\x84\xE2\x82\xAC\"\n20 END\n; idle", "head=31 30 20 50 52 49 4E 54 20 22 C4 80 22 0D 32 30 20 45 4E 44 0D\nlist=Sende Textdatei (Zeilen: 2, Bytes: 21)...|Bytes gesendet: 21|Datei fertig \xFC" "bertragen\nlog=progress 21|hidden|ended open completed\nresult=ok"},
    {"a text file's CR+LF, LF and CR lines with CR+LF and a line delay", "open; eol crlf; linedelay 20; textfile A.txt \xEF\xBB\xBF" "A\r\nB\nC\rD; idle; gaps 0 20", "head=41 0D 0A 42 0D 0A 43 0D 0A 44 0D 0A"},
    {"a text file with a character code page 1252 lacks", "open; textfile A.txt A\n\xCE\xA9\n; idle", "result=file error Textdatei nicht gesendet: Zeile 2 enth\xE4lt ein Zeichen, das es in Codepage 1252 nicht gibt.\nsent="},
    {"a text file that is not UTF-8", "open; textfile A.txt A\n\nB\xE4\n; idle", "result=file error Textdatei nicht gesendet: Zeile 3 ist kein UTF-8 (die Datei als UTF-8 sichern).\nsent="},
    {"an empty text file", "open; textfile A.txt ; idle", "result=nothing to send Nix da zum Senden.\nsent="},
    // The lines of a file never arrive joined into one unless asked for.
    {"a text file of several lines without a line end", "open; eol none; textfile A.bas 10 A\n20 B\n; idle", "result=lines would join Die Textdatei hat 2 Zeilen; ohne Zeilenende kommen sie als eine einzige an.\nsent="},
    {"a text file of one line without a line end", "open; eol none; textfile A.bas 10 A\n; idle", "result=ok\nhead=31 30 20 41"},

    // Refusals change nothing.
    {"nothing loaded", "open; send", "result=nothing to send Nix da zum Senden.\nsent="},
    {"the port closed", "load A.bin 64; send", "result=not open\nsent="},
    {"a file while a send runs", "open; hold; load A.bin 64; send; send", "result=busy Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF" "en' abbrechen.\nsent="},
    {"a text while a send runs", "open; hold; load A.bin 64; send; text X", "result=busy Es l\xE4uft*\nsent="},
    {"a save without a reception", "save rx.bin", "result=nothing to save Nix da zum sichern."},
    {"a save on a full disk says why in German", "open; feed 16; quiet 1000; save /dev/full", "result=file error Schreibfehler\r/dev/full\rKein Platz mehr auf dem Datentr\xE4ger"},
    {"a save into a folder takes the reception's name, a free one beside a file of that name", "mkdir in; write in/HELLO.Z80 3; open; feed z80; quiet 1000; savein in; savein in", "in=HELLO-2.Z80 1000|HELLO-3.Z80 1000|HELLO.Z80 3\nresult=ok $DIR/in/HELLO-3.Z80"},
    {"a reception cut short is saved under a name that says so", "mkdir in; open; feed header; feed 100; quiet 1000; savein in", "in=HELLO-unvollstaendig.Z80 132"},
    {"a named file is kept, the reception beside it, or replaced", "mkdir in; write in/rx.bin 3; open; feed 16; quiet 1000; savenew in/rx.bin; save in/rx.bin", "in=rx-2.bin 16|rx.bin 16"},

    // Sequences: what one reception, send or loss leaves behind must not reach the next; and every
    // pause of the list, as silence between the header's last byte and the data.
    {"z80 then plain", "open; feed z80; quiet 1000; feed 20; quiet 1000", "log=header B 1000 13C7 2000 HELLO|finished 653A 968/1000 dropped 0 z80|finished 5A74 20/20 dropped 0\nkept=20"},
    {"plain then z80", "open; feed 20; quiet 1000; feed z80; quiet 1000", "log=finished 5A74 20/20 dropped 0|header B 1000 13C7 2000 HELLO|finished 653A 968/1000 dropped 0 z80\nkept=1000"},
    {"z80, plain, z80", "open; feed z80; quiet 1000; feed 16; quiet 1000; feed z80; quiet 1000", "log=header B 1000 13C7 2000 HELLO|finished 653A 968/1000 dropped 0 z80|finished 3B37 16/16 dropped 0|header B 1000 13C7 2000 HELLO|finished 653A 968/1000 dropped 0 z80\nkept=1000"},
    {"a full storage then a short one", "open; feed 70000; quiet 1000; feed 16; quiet 1000", "log=header BIN|finished FFE7 65536/65536 dropped 4464|finished 3B37 16/16 dropped 0\nkept=16"},
    {"a header alone then plain", "open; feed header; quiet 2500; feed 16; quiet 1000", "log=header B 1000 13C7 2000 HELLO|finished FFFF 0/32 dropped 0 z80|finished 3B37 16/16 dropped 0\nkept=16"},
    {"a send after a reception", "open; feed 16; quiet 1000; load A.bin 100 0; send; idle", "log=finished 3B37 16/16 dropped 0|progress 132|hidden|ended open completed\nsent=image"},
    {"a reception after a send", "open; load A.bin 100 0; send; idle; feed 16; quiet 1000", "log=progress 132|hidden|ended open completed|finished 3B37 16/16 dropped 0\nkept=all"},
    {"a reopen after a loss", "open; feed 16; failwait 5; pump; open; feed 20; quiet 1000", "log=finished 3B37 16/16 dropped 0|line lost 5|finished 5A74 20/20 dropped 0\nkept=20\nopen=11"},
    {"a pause of 100 ms", "slow 1000; open; load A.bin 100 2; send; idle; gap 100", "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|Pause 100ms...|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC" "bertragen"},
    {"a pause of 500 ms", "slow 1000; open; load A.bin 100 3; send; idle; gap 500", "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|Pause 500ms...|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC" "bertragen"},
    {"a pause of 1000 ms", "slow 1000; open; load A.bin 100 4; send; idle; gap 1000", "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|Pause 1000ms...|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC" "bertragen"},
};
// clang-format on

// The port's life: opens it refuses, closing during every kind of send (nothing more leaves than
// the byte on the wire), and lost lines: the port closes once, whoever notices first, and only the
// device that was lost is opened again.
// clang-format off
const TableRow kPortLifeRows[] = {
    {"a port in use", "busyport; open", "result=os error 16\nopen=00"},
    {"settings the driver refuses", "open 9", "result=settings refused 22 9 Datenbits\nopen=00"},
    {"no port", "open nothing", "result=no port Kein Port gew\xE4hlt\nopen=00"},
    // A UART's divisor makes 8229 of a typed 8065, the standard rates exactly.
    {"a rate the UART cannot make is told", "uart; rate 8065", "log=baud 8229\nresult=ok"},
    {"a rate the UART makes exactly is not", "uart; rate 2400", "log=\nresult=ok"},

    // Closing stops every send at once, within one write.
    {"close during a byte-by-byte send", "slow 500; open; load A.bin 2000; send; until 150; close", "open=00"},
    {"close during a send at 115200 baud", "slow 87; open; load A.bin 9000; send; until 150; close", "open=00\nlist=Senden mit Header als 'z80'...|9032 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Senden abgebrochen nach *"},
    {"close during a send in one write", "slow 1000; open; noprogress; load A.bin 2000; send; until 150; close", "open=00"},
    {"close while flow control holds the line", "slow 500; hold; open; load A.bin 2000; send; pump; close; pump", "open=00\nsent=\ntail=2032 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Senden abgebrochen nach 0 von 2032 Bytes"},
    {"close while flow control holds a send in one write", "hold; open; noprogress; bin; load A.bin 100; send; pump; close; pump", "sent=\ntail=Senden l\xE4uft, bitte warten...|Bytes gesendet: 0|Senden abgebrochen nach 0 von 100 Bytes"},
    {"close while flow control holds a text", "hold; open; text ABC; pump; close; pump", "tail=gesendet:  41 42 43 |Bytes gesendet: 0|Senden abgebrochen nach 0 von 3 Bytes"},
    {"close in the pause", "slow 500; open; load A.bin 2000 4; send; until 9999; close", "open=00"},
    // A pause ends at once when the port closes; flow control still holds a paced send.
    {"close in a character delay", "open; chardelay 10000; bin; load A.bin 100; send; until 1; close", "open=00\nhead=00"},
    {"close in a line delay", "open; linedelay 10000; eol cr; textfile A.txt A\nB\n; until 2; close", "open=00\nhead=41 0D"},
    {"close while flow control holds a paced send", "slow 500; hold; open; chardelay 1; load A.bin 2000; send; pump; close", "open=00\nsent="},
    // Every pass of a continuous send sends and lists the same.
    {"close a continuous file send", "slow 500; open; continuous; load A.bin 40 1; send; until 150; close", "list=Sende Datei dauernd, Abbruch mit 'COM schlie\xDF" "en'.|Senden mit Header als 'z80'...|72 Bytes zu senden:|Sende Header...|Pause 50ms...|Sende Daten...|Senden mit Header als 'z80'...|72 Bytes zu senden:|Sende Header...|Pause 50ms...|Sende Daten...|*\nsent=image+\nopen=00"},
    {"close a continuous text send", "open; continuous; text XY; until 150; close; pump", "list=Sende Text dauernd, Abbruch mit 'COM schlie\xDF" "en'|Dauersenden abgebrochen im *\nsent=XY+\nopen=00"},
    {"a continuous BIN send", "slow 500; open; continuous; bin; load A.bin 40 1; send; until 150; close", "list=Sende Datei dauernd, Abbruch mit 'COM schlie\xDF" "en'.|Senden ohne Header (BIN)...|40 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Senden ohne Header (BIN)...|40 Bytes zu senden:|Senden l\xE4uft, bitte warten...|*\nsent=data+\nopen=00"},
    {"a continuous send of nothing", "open; continuous; text; pump; close", "sent=\nopen=00"},
    {"a continuous send held by flow control ends in its first pass", "hold; open; continuous; load A.bin 40; send; pump; close; pump", "tail=72 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Dauersenden abgebrochen im 1. Durchgang nach 0 von 72 Bytes"},

    // Failures of the line: a refused write is shown; an unplugged device closes the port
    // once, whoever notices it first, and what arrived can be saved.
    {"a refused write", "open; failwrite 1; load A.bin 100; send; pump", "log=progress 132|os error 1|hidden|ended open\nopen=11\ntail=132 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Senden abgebrochen nach 0 von 132 Bytes"},
    {"an unplug noticed by the wait", "open; feed 16; failwait 5; pump; save rx.bin", "log=finished 3B37 16/16 dropped 0|line lost 5\nopen=00\nkept=all\nresult=ok $DIR/rx.bin"},
    {"an unplugged port that comes back", "open; feed 16; failwait 5; pump; advance 500", "log=finished 3B37 16/16 dropped 0|line lost 5|reopened ttyS0\nopen=11"},
    {"a lost device name that may pass to another device is not opened again", "nolink; open; failwait 5; pump; advance 1500", "log=line lost 5\nopen=00"},
    {"an unplug noticed by a send", "open; feed 16; failwrite 5; load A.bin 100; send; pump; save rx.bin", "log=progress 132|finished 3B37 16/16 dropped 0|line lost 5|hidden\nopen=00\nkept=all\nresult=ok $DIR/rx.bin"},
};
// clang-format on

// The line log: each byte with its time and direction, 16 a line, a new line when the direction
// changes or after 100 ms of silence; the port's events between them; appended, never replaced.
#define LOG_START                                                                      \
    "12:00:00.000 Datum 07.12.2026|12:00:00.000 Protokoll begonnen|12:00:00.000 Port " \
    "/dev/fake/ttyS0 "
#define LOG_SETTINGS                                                                           \
    "|12:00:00.000 Einstellungen: 9600 Baud, 8 Datenbits, Parit\xC3\xA4t keine, 1 Stoppbits, " \
    "Flusskontrolle keine|"
// clang-format off
const TableRow kLineLogRows[] = {
    {"a small transfer", "logon; open; text AB; idle; feed 20; advance 50; feed 4; advance 100; feed 2; text C; idle; close; logoff", "linelog=" LOG_START "ge\xC3\xB6" "ffnet" LOG_SETTINGS "12:00:00.000 TX 41 42|12:00:00.000 RX 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F|12:00:00.000 RX 10 11 12 13 00 01 02 03|12:00:00.150 RX 00 01|12:00:00.150 TX 43|12:00:00.150 Port geschlossen|12:00:00.150 Protokoll beendet|"},
    {"begun while the port is open, a line error", "open; logon; garbled 10; close; logoff", "linelog=" LOG_START "ist offen" LOG_SETTINGS "12:00:00.000 Leitungsfehler: Rahmenfehler|12:00:00.000 Port geschlossen|12:00:00.000 Protokoll beendet|"},
    {"a lost line", "logon; open; failwait 5; pump; logoff", "linelog=" LOG_START "ge\xC3\xB6" "ffnet" LOG_SETTINGS "12:00:00.000 Verbindung zum Port verloren: Ein-/Ausgabefehler am Ger\xC3\xA4t|12:00:00.000 Port geschlossen|12:00:00.000 Protokoll beendet|"},
    {"over midnight", "open; logon; advance 43199950; feed 1; advance 100; feed 1; logoff", "linelog=" LOG_START "ist offen" LOG_SETTINGS "23:59:59.950 RX 00|00:00:00.050 Datum 08.12.2026|00:00:00.050 RX 00|00:00:00.050 Protokoll beendet|"},
    {"RTS dropped", "logon; open; rts off; close; logoff", "linelog=" LOG_START "ge\xC3\xB6" "ffnet" LOG_SETTINGS "12:00:00.000 Einstellungen: RTS aus|12:00:00.000 Port geschlossen|12:00:00.000 Protokoll beendet|"},
    {"appended", "logon; logoff; logon; logoff", "linelog=12:00:00.000 Datum 07.12.2026|12:00:00.000 Protokoll begonnen|12:00:00.000 Protokoll beendet|12:00:00.000 Datum 07.12.2026|12:00:00.000 Protokoll begonnen|12:00:00.000 Protokoll beendet|"},
    {"a file that cannot be opened", "logon no/line.log", "result=file error Protokoll nicht zu \xF6" "ffnen: $DIR/no/line.log\rDatei oder Ordner nicht gefunden\nlogging=0"},
    {"a full disk stops the log and says why", "logon /dev/full; logoff", "logging=0 28\nlist=Protokoll abgebrochen: Kein Platz mehr auf dem Datentr\xE4ger"},
};
// clang-format on

// The terminal: which bytes are its own, what typing puts on the line, and a send that waits for
// the machine's prompt.
// clang-format off
const TableRow kTerminalRows[] = {
    {"bytes at each step of the hand-over land in exactly one place", "open; say A; terminal on; say B; quiet 1000; say C; askrx on; say D; quiet 1000; say E; inflight F; askrx on; pump; say G; quiet 1000; say H; inflight I; terminal off; pump; quiet 1000", "terminal=CEH\nreceptions=AB|D|FG|I"},
    {"the line log holds what the terminal took and what was typed", "logon; open; terminal on; say OK; advance 200; keys LOAD\r; idle; advance 200; askrx on; say Z; quiet 1000; close; logoff", "linelog=" LOG_START "ge\xC3\xB6" "ffnet" LOG_SETTINGS "12:00:00.000 RX 4F 4B|12:00:00.200 TX 4C 4F 41 44 0D|12:00:00.400 RX 5A|*"},
    {"a reception asked for and given up", "open; terminal on; askrx on; askrx off; say A", "terminal=A\nreceptions="},
    {"given up while it runs, it ends at once", "open; terminal on; askrx on; say AB; askrx off; say C", "receptions=AB\nterminal=C"},
    {"without the terminal no reception needs asking", "open; askrx on; say A; quiet 1000", "receptions=A\nterminal="},
    {"keys go out as typed, unlisted", "open; terminal on; keys A; keys B\r; idle; keys C; idle", "sent=AB\rC\nlist="},
    {"keys with the character delay", "open; terminal on; chardelay 5; keys ABC; idle; gaps 5 0", "sent=ABC"},
    {"pasted lines with the line delay", "open; terminal on; linedelay 20; keys A\rB\r; idle; gaps 0 20", "sent=A\rB\r"},
    {"keys wait for no file: they are refused while one goes out", "open; terminal on; hold; load A.bin 64; send; keys A", "result=busy*"},
    {"BREAK after what was typed", "open; terminal on; keys AB; idle; break; idle", "breaks=2\nsent=AB\nresult=ok"},
    {"BREAK is refused while a file goes out", "open; hold; load A.bin 64; send; break", "result=busy*\nbreaks="},
    {"a send waits for the prompt that answers what was typed", "open; terminal on; load A.bin 40; bin; keys LOAD\r; idle; prompt > 5000; advance 100; say LOAD\r\n>; idle", "log=ended completed|prompt > arrived, ok|progress 40|hidden|ended open completed\nwritten=45"},
    {"a prompt from before the last key typed does not count", "open; terminal on; load A.bin 40; bin; say >; keys X; idle; prompt > 5000; advance 4999", "log=ended completed\nwritten=1"},
    {"a prompt that came since the last key starts the send at once", "open; terminal on; load A.bin 40; bin; keys X; idle; say >; prompt > 5000; idle", "log=ended completed|prompt > arrived, ok|progress 40|hidden|ended open completed\nwritten=41"},
    {"a prompt split between two batches", "open; terminal on; load A.bin 40; bin; prompt A> 1000; say xA; say >; idle", "log=prompt A> arrived, ok|progress 40|hidden|ended open completed"},
    {"no prompt in time: nothing is sent", "open; terminal on; load A.bin 40; prompt > 3000; advance 2999; say x; advance 1", "log=prompt > timed out\nwritten=0"},
    {"a prompt whose send is refused says why", "open; terminal on; prompt > 3000; say >", "log=prompt > arrived, nothing to send\nwritten=0"},
    {"the prompt needs the terminal", "open; load A.bin 40; prompt > 1000", "result=not open"},
    {"an XMODEM reception takes the bytes while it runs, then the terminal again at once", "open; terminal on; say A; xmodemrx; xblock 1; eot; eot; say B", "terminal=AB\nkept=128\nlog=xmodem ended 1|*"},
    {"XMODEM waits while a reception is asked for", "open; terminal on; askrx on; xmodemrx", "result=busy*"},
    {"Empfang starten waits while XMODEM runs", "open; terminal on; xmodemrx; askrx on", "result=busy*"},
    {"a close gives the prompt up without a word", "open; terminal on; load A.bin 40; prompt > 1000; close; advance 2000", "log=\nwritten=0"},
};
// clang-format on

#undef LOG_START
#undef LOG_SETTINGS
// DTR and RTS as the engine leaves them on the line, and the adapter self-test against a bridged
// plug (9600 8N1: 768 bytes), one that changes or drops a byte, and a silent one.
#define SELFTEST_REPORT(LOST, CHANGED, VERDICT)                                      \
    "list=Bytes gesendet: 768|Bytes verloren: " LOST "|Bytes ver\xE4ndert: " CHANGED \
    "|Parit\xE4tsfehler: 0|Rahmenfehler: 0|Rate: nicht messbar, 9600 Baud "          \
    "erwartet|Schleifentest " VERDICT
// clang-format off
const TableRow kLineRows[] = {
    {"the open raises DTR and RTS", "open", "modem=DTR RTS / open DTR RTS"},
    {"DTR chosen low before the open is dropped after it", "dtr off; open", "modem=- RTS / open - RTS"},
    {"RTS dropped on the open port and the close shown", "open; rts off; close", "modem=DTR - / closed DTR -\nresult=ok"},
    {"both dropped, then DTR raised again", "open; rts off; dtr off; dtr on", "modem=DTR - / open DTR -"},
    {"a bridged plug brings every byte back, and nothing becomes a reception", "loop; open; selftest; back; advance 3000", SELFTEST_REPORT("0", "0", "bestanden") "\nlog=ended completed\nkept=all\nresult=ok"},
    {"a changed byte that the pattern holds one byte on", "loop change 300; open; selftest; back", SELFTEST_REPORT("0", "1", "fehlgeschlagen")},
    {"a lost byte", "loop drop 500; open; selftest; back", SELFTEST_REPORT("1", "0", "fehlgeschlagen")},
    {"the last byte changed", "loop change 767; open; selftest; back", SELFTEST_REPORT("0", "1", "fehlgeschlagen")},
    {"bytes lost at the end are found by the silence", "loop drop 767; open; selftest; pump; silent 2500", SELFTEST_REPORT("1", "0", "fehlgeschlagen")},
    {"a line error is counted, the bytes it disturbed are lost", "open; selftest; garbled 10; silent 2500", "list=Bytes gesendet: 768|Bytes verloren: 768|Bytes ver\xE4ndert: 0|Parit\xE4tsfehler: 0|Rahmenfehler: 1|Rate: nicht messbar, 9600 Baud erwartet|Schleifentest fehlgeschlagen"},
    {"nothing comes back within two seconds", "open; selftest; silent 2000", "list=Keine R\xFC" "ckmeldung: TX und RX an der Steckerseite verbinden"},
    // The pattern that comes back after the test gave up is the test's: dropped, and said so; what
    // follows it is a reception.
    {"an echo after the test gave up is dropped and said", "open; selftest; silent 2000; feed 768; advance 3000", "list=Keine R\xFC" "ckmeldung: TX und RX an der Steckerseite verbinden|Schleifentest: 768 Bytes kamen zu sp\xE4t zur\xFC" "ck und wurden verworfen\nlog=ended completed\nkept=0"},
    {"what follows a late echo is received", "open; selftest; silent 2000; feed 768; feed 20; quiet 1000", "log=ended completed|finished 5A74 20/20 dropped 0\nkept=20"},
    {"a send is refused while the test waits", "open; selftest; load A.bin 64; send", "result=busy Es l\xE4uft*"},
    {"a text file too, once the pattern has gone", "open; selftest; idle; textfile A.txt AB; idle", "result=busy Es l\xE4uft*\nwritten=768"},
    {"the test needs an open port", "selftest", "result=not open"},
    {"a close ends the test without a report", "open; selftest; close; advance 3000", "list=\nopen=00"},
};
// clang-format on

// Who takes the received bytes: a taker installed in the reception's stead gets every batch, the
// line's errors, the silence it waits for and the port's end, until it is removed.
// clang-format off
const TableRow kTakerRows[] = {
    {"a taker gets the bytes instead of the reception until it is removed", "open; take; feed 10; feed 6; advance 3000; untake; feed 16; quiet 1000", "taken=installed|bytes 16\nlog=finished 3B37 16/16 dropped 0"},
    {"its silence comes when asked, afresh after each ask", "open; take; hush 500; advance 400; hush 500; feed 3; advance 499; pump", "taken=installed|bytes 3"},
    {"its silence, after the time asked", "open; take; hush 500; advance 400; hush 500; advance 500", "taken=installed|silence"},
    {"no silence after its removal, and the reception's own silence is intact", "open; take; hush 500; untake; advance 1000; feed 16; quiet 1000", "taken=installed\nlog=finished 3B37 16/16 dropped 0"},
    {"line errors and the close", "open; take; garbled 4; close", "taken=installed|framing|closed\nlog="},
    {"a lost line", "open; take; failwait 5; pump", "taken=installed|lost\nlog=line lost 5"},
    {"refused while a reception runs, and while another holds the slot", "open; feed 10; take; quiet 1000; take; take", "taken=refused|installed|refused"},
    {"the self-test is refused while a taker holds the slot", "open; take; selftest", "result=busy Es l\xE4uft*\nwritten=0"},
    {"one that keeps the line refuses the faces' sends", "open; take keeps; load A.bin 64; send; text AB; textfile A.txt AB; idle", "result=busy Es l\xE4uft*\nsent="},
    {"one that leaves the line to the faces lets them send", "open; take; text AB; idle", "sent=AB\nresult=ok"},
};
// clang-format on

class EngineTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(EngineTable, DoesWhatItsCallsAndTheLineAskFor) {
    Rig rig;
    rig.Do(GetParam().steps);
    rig.Expect(GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, EngineTable, ::testing::ValuesIn(kRows), RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Lines, EngineTable, ::testing::ValuesIn(kLineRows), RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(PortLife, EngineTable, ::testing::ValuesIn(kPortLifeRows),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(LineLog, EngineTable, ::testing::ValuesIn(kLineLogRows),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Terminal, EngineTable, ::testing::ValuesIn(kTerminalRows),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Takers, EngineTable, ::testing::ValuesIn(kTakerRows), RowName<TableRow>);

}  // namespace
}  // namespace velotrix::test
