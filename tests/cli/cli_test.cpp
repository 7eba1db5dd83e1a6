// velotrix-cli run as its users run it, on pseudo-terminals: what it prints, what it puts on the
// line, what it saves and how it exits.
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "cli/cli_child.h"
#include "frontends/cli/cli_option_table.h"
#include "serial/xmodem.h"
#include "support/pty_pair.h"
#include "support/rig.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix::test {
namespace {

// Environment variables set while it lives, and then as they were.
class ScopedEnvironment {
  public:
    explicit ScopedEnvironment(const std::vector<std::pair<std::string, std::string>>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_.emplace_back(name,
                                old != nullptr ? std::optional<std::string>(old) : std::nullopt);
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, old] : saved_) {
            old ? setenv(name.c_str(), old->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Bytes as the table writes them: the leading ones in hex, then "+N" for N counting bytes that
// end them.
std::string Hex(const Bytes& bytes) {
    std::size_t start = 0;
    while (start < bytes.size() &&
           !std::equal(bytes.begin() + static_cast<long>(start), bytes.end(),
                       CountingBytes(bytes.size() - start).begin())) {
        ++start;
    }
    std::string hex;
    for (std::size_t i = 0; i < start; ++i) {
        hex.append(i == 0 ? "" : " ").append(Hex2(bytes[i]));
    }
    return hex + (start < bytes.size()
                      ? (start == 0 ? "+" : " +") + std::to_string(bytes.size() - start)
                      : "");
}

// What the far end does, word by word: N (counting bytes), hello or away (those files), head N
// (a z80 header that promises N bytes), wrap (one whose end address wraps: 49,153 bytes at
// 4000h), poll and ack (an XMODEM receiver's C and ACK), xblock and eot (an XMODEM sender's
// block of 100 counting bytes with CRC-16, which counts as the 128 bytes the file gets, and its
// end) and pause MS send; ready waits until an XMODEM send has opened the line and waits for the
// receiver; echo sends back what comes until the program ends; read N waits for N
// bytes from the program; hangup, int and term (after the program had time to read what came) hang
// up the line or send SIGINT or SIGTERM; rewrite renames a new w_4000.bin of 50 bytes over it;
// say TEXT sends the text, hear TEXT waits for exactly the text from the program, and silent MS
// expects nothing from it for MS (\r and \n in TEXT stand for CR and LF).
Bytes PlayFarEnd(const std::string& script, PtyPair& line, Cli& cli, const TempDir& work) {
    const std::map<std::string, Bytes> files = {
        {"hello", Z80File(0x1000, 0x10FF, 0x1003, 'B', "HELLO", 256)},
        {"away", Z80File(0x2000, 0x200F, 0x2000, 'B', "../../x", 16)},
        {"wrap", Z80File(0x4000, 0x0000, 0x4000, 'P', "BIG", 0)}};
    Bytes sent;
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        std::string value;
        if (word == "head" || word == "pause" || word == "read" || word == "say" ||
            word == "hear" || word == "silent") {
            words >> value;
        }
        for (const auto& [escape, byte] : {std::pair("\\r", '\r'), std::pair("\\n", '\n')}) {
            for (std::size_t at; (at = value.find(escape)) != std::string::npos;) {
                value.replace(at, 2, 1, byte);
            }
        }
        const auto n = static_cast<std::uint16_t>(DecimalToInt(value));
        const Bytes bytes = files.contains(word) ? files.at(word)
                            : word == "say"      ? Bytes(value.begin(), value.end())
                            : word == "head" ? Z80File(0x1000, 0x1000 + n - 1, 0, 'B', "HELLO", 0)
                            : word == "poll" ? Bytes{'C'}
                            : word == "ack"  ? Bytes{0x06}
                            : std::isdigit(word[0]) ? CountingBytes(DecimalToInt(word))
                                                    : Bytes();
        Bytes block;
        if (word == "xblock") {
            xmodem::AppendBlock(block, 1, CountingBytes(100), xmodem::kShortBlock,
                                xmodem::Check::kCrc16);
        }
        EXPECT_TRUE(line.Write(word == "eot" ? Bytes{xmodem::kEot} : Concat(bytes, block), 10s));
        sent = Concat(sent,
                      block.empty() ? bytes : Concat(CountingBytes(100), Bytes(28, xmodem::kPad)));
        if (word == "pause") {
            std::this_thread::sleep_for(std::chrono::milliseconds(n));
        } else if (word == "read") {
            // Nothing comes before the program has opened its end of the line.
            std::size_t got = 0;
            for (int i = 0; i < 1000 && got < n; ++i, std::this_thread::sleep_for(5ms)) {
                got += line.Read(10ms, n - got).size();
            }
            EXPECT_EQ(got, n);
        } else if (word == "hear") {
            // Nothing comes before the program has opened its end of the line.
            Bytes got;
            for (int i = 0; i < 1000 && got.size() < value.size();
                 ++i, std::this_thread::sleep_for(5ms)) {
                got = Concat(got, line.Read(10ms, value.size() - got.size()));
            }
            EXPECT_EQ(std::string(got.begin(), got.end()), value);
        } else if (word == "silent") {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(n);
            while (std::chrono::steady_clock::now() < end) {
                EXPECT_EQ(Hex(line.Read(10ms)), "");
            }
        } else if (word == "echo") {
            // A plug with TX and RX bridged: everything comes back, until the program ends.
            while (!cli.Ended()) {
                const Bytes got = line.Read(20ms);
                EXPECT_TRUE(got.empty() || line.Write(got, 10s));
            }
        } else if (word == "ready") {
            for (int i = 0;
                 i < 2000 && cli.Out().find("warte auf die Anfrage") == std::string::npos; ++i) {
                std::this_thread::sleep_for(5ms);
            }
        } else if (word == "rewrite") {
            std::rename(work.Write("w.tmp", CountingBytes(50)).c_str(),
                        work.File("w_4000.bin").c_str());
        } else if (word == "hangup" || word == "int" || word == "term") {
            std::this_thread::sleep_for(300ms);
            word == "hangup" ? line.CloseMaster()
                             : void(kill(cli.Pid(), word == "int" ? SIGINT : SIGTERM));
        }
    }
    return sent;
}

struct CliRow {
    const char* name;
    const char* args;    // "$PORT": the program's end of the line; " ; " between runs; leading
                         // NAME=VALUE words: the last run's environment
    const char* farEnd;  // see PlayFarEnd, once a receiving program waits
    const char* expect;  // exit, out and err (parts of them), once (a part of err, exactly once),
                         // mode (NAME OCTAL: a file's permissions), rescued (the file the
                         // program named as rescued has this name, holds what the far end sent
                         // and is the user's alone, in a folder of the user's own),
                         // noerr, noout (not in err, out), line (the bytes the far end got; #N:
                         // their number), saved (a file holds what the far end sent: all, the first
                         // N bytes, none, or part of them as the program said), logged (a part of
                         // the line log line.log), drawn and nodrawn (a part of what the program
                         // drew on err, a terminal then, or not)
};

// clang-format off
const CliRow kCliRows[] = {
    {"a usage error", "send a.bin", "", "exit=2\nerr=--port fehlt|Aufruf:"},
    {"help", "--help", "", "exit=0\nout=Exit-Status"},
    {"version", "--version", "", "exit=0\nout=velotrix-cli 0."},
    {"short options and English words, quiet", "send hi_c000.bin -p $PORT -b 9600 --parity even --flow none --pause none -q", "", "exit=0\nout=\nline=00 C0 27 C0 00 C0 41 43 31 4B 5A 56 50 D3 D3 D3 68 69 20 20 20 20 20 20 20 20 20 20 20 20 20 20 +40"},
    {"receive does not replace a file", "receive -p $PORT -o prog.z80", "", "exit=1\nerr=prog.z80 gibt es schon (--force ersetzt sie)"},
    {"info", "info hi_c000.bin prog.z80", "", "exit=0\nout=hi_c000.bin:|Art: BIN|AADR: C000|EADR: C027|SADR: C000|CRC: 0476|Bytes: 0028|Name: hi|Typ: P = Maschinenprogramm||prog.z80:|Art: z80|AADR: 1000|EADR: 1027|SADR: 1003|CRC: 0476|Bytes: 0028|Name: HELLO|Typ: B = Basic-Programm|"},
    {"info of data that run past FFFFh", "info top_ff00.bin", "", "exit=0\nout=EADR: 00FF|\nerr=Achtung: Die Daten reichen \u00FCber FFFFh hinaus"},
    {"info of data that fit", "info hi_c000.bin", "", "exit=0\nnoerr=Achtung"},
    {"send of data an edit makes run past FFFFh", "send hi_c000.bin --aadr fff0 --port $PORT", "", "exit=0\nonce=Achtung: Die Daten reichen \u00FCber FFFFh hinaus"},
    {"ports names a listed path cleaned, on one line", "VELOTRIX_PORTS=/x/\x1b[2J\x07\xc2\x9b" "31m ports", "", "exit=0\nout=/x/.[2J..31m|\nnoout=\x1b"},
    {"a line the device cannot set stops the command, said once in German", "text AB --port $PORT --dtr off", "", "exit=1\nonce=DTR l\u00E4sst sich an diesem Ger\u00E4t nicht setzen\nnoerr=ioctl\nline="},
    {"info on files it cannot take", "info missing.bin tiny.bin", "", "exit=1\nerr=missing.bin: \nerr=|tiny.bin: Datei zu klein (min. 32 Bytes)..."},
    {"info on a pipe", "info fifo", "", "exit=1\nerr=fifo: ist keine gew\u00F6hnliche Datei"},
    {"send a pipe", "send fifo --port $PORT", "", "exit=1\nerr=fifo: ist keine gew\u00F6hnliche Datei\nline="},
    {"send with edits and a pause", "send hi_c000.bin --port $PORT --aadr 8000 --sadr 80a3 --name NEU --type b --pause 50", "", "exit=0\nout=Senden mit Header als 'z80'...|72 Bytes zu senden:|Sende Header...|Bytes gesendet: 32|Pause 50ms...|Sende Daten...|Bytes gesendet: 40|Datei fertig \u00FCbertragen|\nline=00 80 27 80 A3 80 41 43 31 4B 5A 56 42 D3 D3 D3 4E 45 55 20 20 20 20 20 20 20 20 20 20 20 20 20 +40"},
    {"send a z80 file without progress", "send prog.z80 --port $PORT --no-progress", "", "exit=0\nout=Senden l\u00E4uft, bitte warten...|Bytes gesendet: 72|\nline=00 10 27 10 03 10 00 00 00 00 00 00 42 D3 D3 D3 48 45 4C 4C 4F 20 20 20 20 20 20 20 20 20 20 20 +40"},
    {"send BIN with other line settings", "send hi_c000.bin --port $PORT --bin --baud 8065 --parity gerade --data 7 --stop 2", "", "exit=0\nout=Senden ohne Header (BIN)...|40 Bytes zu senden:|\nline=+40"},
    {"send to a port that is not there", "send hi_c000.bin --port /nonexistent/tty -b 8065", "", "exit=1\nerr=/nonexistent/tty: Datei oder Ordner nicht gefunden\nnoerr=Baudrate"},
    {"send checks the file before the port", "send missing.bin --port /nonexistent/tty", "", "exit=1\nerr=missing.bin: \nnoerr=/nonexistent"},
    {"send with CTS flow control warns first", "send hi_c000.bin --port $PORT --flow CTS", "", "exit=0\nerr=Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\u00FCtzt!|Ansonsten nicht Senden!|Dauersenden vermeiden!|"},
    {"sends back to back all arrive, also what waits in the line", "send 5k.bin --bin --no-progress --port $PORT ; text CD --port $PORT", "", "exit=0\nline=#5002"},
    {"text", "text --port $PORT -- -\u00FC", "", "exit=0\nout=gesendet:  2D FC |Bytes gesendet: 2|\nline=2D FC"},
    {"a text file with CR and pauses", "text --file prog.bas --eol cr --char-delay 1 --line-delay 20 --port $PORT", "", "exit=0\nout=Sende Textdatei (Zeilen: 2, Bytes: 20)...|Bytes gesendet: 20|Datei fertig \u00FCbertragen|\nline=31 30 20 50 52 49 4E 54 20 22 C4 22 0D 32 30 20 45 4E 44 0D"},
    {"a text file's lines end with CR when no line end is given", "text --file prog.bas --port $PORT", "", "exit=0\nline=31 30 20 50 52 49 4E 54 20 22 C4 22 0D 32 30 20 45 4E 44 0D"},
    {"a text file of several lines without a line end is refused", "text --file prog.bas --eol none --port $PORT", "", "exit=1\nerr=Die Textdatei hat 2 Zeilen; ohne Zeilenende kommen sie als eine einzige an. --eol cr, crlf oder lf w\u00E4hlen.\nline="},
    {"a text file with a character code page 1252 lacks", "text --file omega.txt --port $PORT", "", "exit=1\nerr=Textdatei nicht gesendet: Zeile 2 enth\u00E4lt ein Zeichen, das es in Codepage 1252 nicht gibt.\nline="},
    {"a text with CR+LF", "text AB --eol crlf --port $PORT", "", "exit=0\nline=41 42 0D 0A"},
    {"send as HEX text with CR", "send hi_c000.bin --as hex --eol cr --line-delay 5 --port $PORT", "", "exit=0\nout=Senden als Intel HEX (Zeilen: 4, Bytes: 128)...|\nout=Bytes gesendet: 128|Datei fertig \u00FCbertragen|\nline=#128"},
    {"send as HEX text of 32 bytes a line, CR+LF", "send hi_c000.bin --as hex32 --port $PORT", "", "exit=0\nout=Senden als Intel HEX (Zeilen: 3, Bytes: 119)...|\nline=#119"},
    {"send as HEX text with a header pause", "send hi_c000.bin --as hex --pause 50 --port $PORT", "", "exit=2\nerr=--pause und --as hex schlie\u00DFen sich aus\nline="},
    {"send with a line delay but not as HEX", "send hi_c000.bin --line-delay 5 --port $PORT", "", "exit=2\nerr=--line-delay gilt nur mit --as hex\nline="},
    {"receive a z80 file", "receive --port $PORT", "hello", "exit=0\nnoout=Sichern per Button\nout=Bytes empfangen gesamt: 288|Art: z80|AADR: 1000|EADR: 10FF|SADR: 1003|CRC: 3FBD|Bytes: 0100|Name: HELLO|Typ: B = Basic-Programm|Datei wurde erfolgreich geschrieben. HELLO.Z80|\nsaved=HELLO.Z80"},
    {"receive a name that leads elsewhere, beside a file of that name", "receive --port $PORT", "away", "exit=0\nout=Name: ../../x|\nout=_._.._x.Z80 gibt es schon, gesichert wird als _._.._x-2.Z80|\nsaved=_._.._x-2.Z80"},
    {"receive into a missing folder", "receive --port $PORT -o no/rx.bin", "40", "exit=1\nerr=Datei ist nicht zu erzeugen\nerr=Empfangene Daten gerettet in \nrescued=velotrix-gerettet-rx.bin"},
    {"a line log over two runs", "text AB --port $PORT --log line.log ; receive --port $PORT --log line.log -o rx.bin", "40", "exit=0\nlogged= TX 41 42|\nlogged= RX 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F|\nlogged= Protokoll beendet|\nmode=line.log 600"},
    {"a line log that cannot be opened", "text AB --port $PORT --log no/line.log", "", "exit=1\nerr=Protokoll nicht zu \u00F6ffnen: no/line.log|\nline="},
    {"receive BIN", "receive --port $PORT", "40", "exit=0\nout=Art: BIN|CRC: 0476|Bytes: 0028|Datei wurde erfolgreich geschrieben. default.bin|\nsaved=default.bin"},
    {"receive until the line fails", "receive --port $PORT -o part.bin", "30000 hangup", "exit=1\nerr=Verbindung zum Port verloren: \nsaved=part.bin part"},
    {"receive until the line fails, unnamed", "receive --port $PORT", "20000 hangup", "exit=1\nsaved=default-unvollstaendig.bin part"},
    {"receive more than the storage holds", "receive --port $PORT", "70000", "exit=1\nerr=Empfangspuffer voll: 4464 Bytes verworfen\nsaved=default-unvollstaendig.bin 65536"},
    {"receive HEX text, saved as its data", "receive --port $PORT --as hex", "say \\r\\n:0400100001020304E2\\r\\n:00000001FF\\r\\n", "exit=0\nout=Bytes empfangen gesamt: 36|Intel-HEX-Text: 3 Zeilen, 4 Bytes von 0010h bis 0013h|Art: HEX|AADR: 0010|EADR: 0013|SADR: 0010|CRC: 89C3|Bytes: 0004|Datei wurde erfolgreich geschrieben. default_0010.bin"},
    {"receive HEX text, saved as it came", "receive --port $PORT", "say :0400100001020304E2\\n:00000001FF\\n", "exit=0\nout=Art: HEX|AADR: 0010|\nsaved=default.hex"},
    {"receive HEX text with a wrong checksum as its data", "receive --port $PORT --as hex -o x.bin", "say :0400100001020304E3\\r\\n:00000001FF\\r\\n", "exit=1\nout=Intel-HEX-Text: 2 Zeilen, 0 Bytes von 0000h bis 0000h|Zeile 1: Pr\u00FCfsumme falsch|\nerr=Die Daten des HEX-Textes sind nicht zu sichern: Zeile 1: Pr\u00FCfsumme falsch\nrescued=velotrix-gerettet-x.bin"},
    {"receive as HEX what is none", "receive --port $PORT --as hex", "40", "exit=1\nerr=Der Empfang ist kein Intel-HEX-Text.\nrescued=velotrix-gerettet-default.bin"},
    {"receive nothing", "receive --port $PORT --timeout 1", "", "exit=1\nerr=Nichts empfangen in 1 s."},
    {"receive interrupted", "receive --port $PORT", "int", "exit=130\nerr=Abgebrochen.\nsaved=default.bin none\nsaved=default-unvollstaendig.bin none"},
    {"receive: the line lost while waiting", "receive --port $PORT", "hangup", "exit=1\nonce=Verbindung zum Port verloren: \nsaved=default.bin none"},
    {"receive: the line lost after the header", "receive --port $PORT", "head 256 hangup", "exit=1\nonce=Verbindung zum Port verloren: \nerr=Empfang unvollst\u00E4ndig: 0 von 256 Bytes\nout=Art: z80|\nout=Name: HELLO|\nsaved=HELLO-unvollstaendig.Z80 part"},
    {"receive: a header followed by fewer bytes than promised", "receive --port $PORT", "head 256 100", "exit=1\nerr=Empfang unvollst\u00E4ndig: 100 von 256 Bytes\nsaved=HELLO-unvollstaendig.Z80 part"},
    {"receive: a wrapped header, no pause", "receive --port $PORT", "wrap 49153", "exit=0\nsaved=BIG.Z80"},
    {"receive: a wrapped header, pause 50", "receive --port $PORT", "wrap pause 50 49153", "exit=0\nsaved=BIG.Z80"},
    {"receive: a wrapped header, pause 100", "receive --port $PORT", "wrap pause 100 49153", "exit=0\nsaved=BIG.Z80"},
    {"receive: a wrapped header, pause 500", "receive --port $PORT", "wrap pause 500 49153", "exit=0\nsaved=BIG.Z80"},
    {"receive: a wrapped header, pause 1000", "receive --port $PORT", "wrap pause 1000 49153", "exit=0\nsaved=BIG.Z80"},
    {"receive all into a folder", "receive --port $PORT --all -d out --timeout 2", "hello pause 1500 hello", "exit=0\nout=Gesichert als out/HELLO.Z80|\nout=Gesichert als out/HELLO-2.Z80|Empf\u00E4nge gesichert: 2 von 2\nsaved=out/HELLO-2.Z80 288"},
    {"receive all, quietly", "receive --port $PORT --all -d out --timeout 2 -q", "hello", "exit=0\nout=Gesichert als out/HELLO.Z80|Empf\u00E4nge gesichert: 1 von 1\nnoout=Bytes empfangen\nsaved=out/HELLO.Z80"},
    {"receive all: the line lost after a reception", "receive --port $PORT --all -d out --timeout 5", "hello pause 1500 hangup", "exit=1\nonce=Verbindung zum Port verloren: \nout=Empf\u00E4nge gesichert: 1 von 1\nsaved=out/HELLO.Z80 288"},
    {"receive: SIGINT keeps what came", "receive --port $PORT", "20000 int", "exit=130\nerr=Abgebrochen.\nsaved=default-unvollstaendig.bin part"},
    {"receive: SIGTERM keeps what came", "receive --port $PORT", "20000 term", "exit=143\nsaved=default-unvollstaendig.bin part"},
    {"send: the line lost in the pause", "send big.bin --port $PORT --pause 1000", "read 32 hangup", "exit=1\nonce=Verbindung zum Port verloren: \nnoerr=Dauersenden"},
    {"send: the line lost in the data", "send big.bin --port $PORT", "read 100 hangup", "exit=1\nonce=Verbindung zum Port verloren: \nnoerr=Dauersenden\nonce=Senden abgebrochen nach \nerr= von 60032 Bytes"},
    {"send: the line lost in one write", "send big.bin --port $PORT --no-progress", "read 100 hangup", "exit=1\nonce=Verbindung zum Port verloren: "},
    {"send: the line lost in a continuous send", "send hi_c000.bin --port $PORT --endlos", "read 1000 hangup", "exit=1\nonce=Verbindung zum Port verloren: \nonce=Dauersenden abgebrochen im \nerr=. Durchgang nach "},
    {"text: the line lost in a continuous send", "text AB --port $PORT --endlos", "read 1000 hangup", "exit=1\nonce=Verbindung zum Port verloren: "},
    {"send once the machine's prompt answered the command typed", "send hi_c000.bin --bin --port $PORT --command LOAD --expect A> --eol crlf", "hear LOAD\\r\\n silent 300 say LOAD\\r\\nA>", "exit=0\nout=A>\nout=Bytes gesendet: 40|\nline=+40"},
    {"a HEX file sent once the machine's prompt answered", "send hi_c000.bin --as hex --port $PORT --command LOAD --expect A> --eol crlf", "hear LOAD\\r\\n say A>", "exit=0\nout=A>\nout=Senden als Intel HEX (Zeilen: 4, Bytes: 132)...|\nline=#132"},
    {"send after a prompt that came in pieces", "send hi_c000.bin --bin --port $PORT --command L --expect OK>", "hear L\\r say O pause 50 say K>", "exit=0\nline=+40"},
    {"no prompt in time: nothing is sent", "send hi_c000.bin --port $PORT --command LOAD --expect A> --timeout 1", "hear LOAD\\r say A", "exit=1\nerr=Keine Antwort: \"A>\" kam nicht innerhalb von 1 s, nichts gesendet\nline="},
    {"text after a BREAK", "text AB --break --port $PORT", "", "exit=0\nline=41 42"},
    {"a BREAK alone", "text --break --port $PORT", "", "exit=0\nline="},
    {"selftest on a bridged plug", "selftest --port $PORT --dtr on --rts=an", "echo", "exit=0\nout=Bytes gesendet: 256|Bytes verloren: 0|Bytes ver\u00E4ndert: 0|Parit\u00E4tsfehler: 0|Rahmenfehler: 0|Rate: \nout=Baud erwartet|Schleifentest bestanden|"},
    {"selftest with nothing bridged", "selftest --port $PORT", "", "exit=1\nout=Keine R\u00FCckmeldung: TX und RX an der Steckerseite verbinden|"},
    {"selftest with a word for DTR", "selftest --port $PORT --dtr vielleicht", "", "exit=2\nerr=--dtr erwartet on|off, nicht \"vielleicht\""},
    {"send: SIGINT", "send big.bin --port $PORT", "read 100 int", "exit=130\nonce=Abgebrochen.\nonce=Senden abgebrochen nach "},
    {"send -q: SIGINT still says how far it got", "send big.bin --port $PORT -q", "read 100 int", "exit=130\nonce=Senden abgebrochen nach "},
    {"send: SIGTERM", "send big.bin --port $PORT", "read 100 term", "exit=143\nonce=Abgebrochen."},

    // Every command refuses a wrong command line with exit status 2 and the usage.
    {"no command", "", "", "exit=2\nerr=kein Befehl angegeben|Aufruf:"},
    {"an unknown command", "sende hi_c000.bin", "", "exit=2\nerr=unbekannter Befehl"},
    {"ports with a foreign option", "ports --pause 50", "", "exit=2\nerr=Option --pause gibt es f\u00FCr diesen Befehl nicht"},
    {"info without a file", "info", "", "exit=2\nerr=Aufruf:"},
    {"info with a foreign option", "info hi_c000.bin --flow cts", "", "exit=2\nerr=Option --flow gibt es"},
    {"send without a file", "send --port $PORT", "", "exit=2\nerr=Aufruf:\nline="},
    {"send with a word for a rate", "send hi_c000.bin --port $PORT --baud schnell", "", "exit=2\nerr=Aufruf:\nline="},
    {"send with a pause not in the list", "send hi_c000.bin --port $PORT --pause 7", "", "exit=2\nerr=--pause erwartet keine|50|100|500|1000, nicht \"7\"|Aufruf:\nline="},
    {"send with a switch given a value", "send hi_c000.bin --port $PORT --bin=1", "", "exit=2\nerr=nimmt keinen Wert\nline="},
    {"send with a value missing", "send hi_c000.bin --port", "", "exit=2\nerr=erwartet einen Wert"},
    {"text without a port", "text hallo", "", "exit=2\nerr=--port fehlt"},
    {"text with an unknown parity", "text hallo --port $PORT --parity vielleicht", "", "exit=2\nerr=Aufruf:\nline="},
    {"text with a file and a text", "text AB --file prog.bas --port $PORT", "", "exit=2\nerr=unerwartetes Argument"},
    {"text with a pause beyond 10 s", "text AB --char-delay 10001 --port $PORT", "", "exit=2\nerr=--char-delay erwartet Millisekunden (0 bis 10000)"},
    {"receive without a port", "receive", "", "exit=2\nerr=--port fehlt"},
    {"receive all with a file of its own", "receive --port $PORT --all -o x", "", "exit=2\nerr=-o und --all schlie\u00DFen sich aus"},
    {"receive with a foreign option", "receive --port $PORT --bin", "", "exit=2\nerr=Option --bin gibt es"},
    {"a prompt longer than a prompt", "send hi_c000.bin --port $PORT --expect 0123456789012345678901234567890123456789X", "", "exit=2\nerr=leer oder zu lang"},
    {"a command with a character code page 1252 lacks", "send hi_c000.bin --port $PORT --command \u03A9", "", "exit=2\nerr=--command erwartet einen Text in Codepage 1252, nicht"},
    {"text without a text but with a BREAK for another command", "send hi_c000.bin --port $PORT --break", "", "exit=2\nerr=Option --break gibt es"},
    {"send by XMODEM", "send hi_c000.bin --port $PORT --as xmodem", "ready poll read 133 ack read 1 ack", "exit=0\nout=XMODEM senden: 40 Bytes, warte auf die Anfrage des Empf\u00E4ngers (C oder NAK)...|XMODEM: Datei fertig \u00FCbertragen (1 Bl\u00F6cke \u2013 40 Bytes \u2013 0 Wiederholungen, CRC-16)|\nline="},
    {"receive by XMODEM", "receive --port $PORT --xmodem -o x.bin", "xblock read 2 eot read 1 eot", "exit=0\nout=XMODEM: Datei fertig empfangen (1 Bl\u00F6cke \u2013 128 Bytes \u2013 0 Wiederholungen, CRC-16)|Datei wurde erfolgreich geschrieben. x.bin|\nsaved=x.bin\nline=06"},
    {"receive by XMODEM, the padding trimmed", "receive --port $PORT --xmodem --trim -o x.bin", "xblock read 2 eot read 1 eot", "exit=0\nsaved=x.bin 100"},
    {"XMODEM cannot repeat", "send hi_c000.bin --port $PORT --as xmodem --endlos", "", "exit=2\nerr=--endlos und --as xmodem schlie\u00DFen sich aus"},
    {"XMODEM has no pause after a header", "send hi_c000.bin --port $PORT --as xmodem1k --pause 50", "", "exit=2\nerr=--pause und --as xmodem1k schlie\u00DFen sich aus"},
    {"receive by XMODEM, interrupted", "receive --port $PORT --xmodem", "int", "exit=130\nerr=XMODEM: abgebrochen, CAN gesendet|Abgebrochen.\nline=43 18 18 18 18 18 18 18 18\nsaved=default.bin none"},
    {"HEX text of 32 bytes is a send's form", "receive --port $PORT --as hex32", "", "exit=2\nerr=--as erwartet hex"},
    {"HEX text is no XMODEM", "receive --port $PORT --as hex --xmodem", "", "exit=2\nerr=--xmodem und --as hex schlie\u00DFen sich aus"},
    {"no trim without XMODEM", "receive --port $PORT --trim", "", "exit=2\nerr=--trim gilt nur mit --xmodem"},
    {"XMODEM receives one file", "receive --port $PORT --xmodem --all", "", "exit=2\nerr=--all und --xmodem schlie\u00DFen sich aus"},
    {"XMODEM has waits of its own", "receive --port $PORT --xmodem --timeout 5", "", "exit=2\nerr=--timeout und --xmodem schlie\u00DFen sich aus"},
    // Options that other rows pass without seeing what they do.
    {"receive replaces a file when forced", "receive -p $PORT -o prog.z80 --force", "40", "exit=0\nsaved=prog.z80"},
    {"a rate outside the list", "text AB --port $PORT -b 8065 --log line.log", "", "exit=0\nlogged=Einstellungen: 8065 Baud,"},
    {"send --watch sends the rewritten file again", "send w_4000.bin --port $PORT --watch", "read 72 rewrite read 82 int", "exit=130\nout=Datei ge\u00E4ndert, wird erneut gesendet"},
    {"no progress drawn where a person watches", "send hi_c000.bin --bin --no-progress --char-delay 10 --port $PORT", "", "exit=0\nnodrawn=Bytes"},

    // Each limit at its boundary, on both sides.
    {"addresses at FFFFh", "send hi_c000.bin --port $PORT --aadr FFD8 --sadr ffff -q", "", "exit=0\nnoerr=FFFFh\nline=D8 FF FF FF FF FF*"},
    {"data one byte past FFFFh wrap, with a warning", "send hi_c000.bin --port $PORT --aadr FFD9 -q", "", "exit=0\nerr=Achtung: Die Daten reichen \u00FCber FFFFh hinaus\nline=D9 FF 00 00 00 C0*"},
    {"a load address past FFFFh", "send hi_c000.bin --port $PORT --aadr 10000", "", "exit=2\nerr=--aadr erwartet 1 bis 4 Hex-Ziffern, nicht \"10000\"\nline="},
    {"a start address past FFFFh", "send hi_c000.bin --port $PORT --sadr 10000", "", "exit=2\nerr=--sadr erwartet 1 bis 4 Hex-Ziffern\nline="},
    {"a name of 16 characters", "send hi_c000.bin --port $PORT -q --name \u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4", "", "exit=0\nline=00 C0 27 C0 00 C0 41 43 31 4B 5A 56 50 D3 D3 D3 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 C4 +40"},
    {"a name of 17 characters", "send hi_c000.bin --port $PORT --name \u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4x", "", "exit=2\nerr=--name erlaubt h\u00F6chstens 16 Zeichen\nline="},
    {"files of 32 and 65,504 bytes", "info b32.bin b65504.bin", "", "exit=0\nout=b32.bin:|Art: BIN|\nout=|Bytes: 0020|\nout=|Bytes: FFE0|"},
    {"a file of 65,505 bytes", "info b65505.bin", "", "exit=1\nerr=b65505.bin: Datei zu gro\u00DF (max. 64k)..."},
    {"a text of 31 characters", "text ABCDEFGHIJKLMNOPQRSTUVWXYZ01234 --port $PORT -q", "", "exit=0\nline=#31"},
    {"a text of 32 characters", "text ABCDEFGHIJKLMNOPQRSTUVWXYZ012345 --port $PORT", "", "exit=2\nerr=text erlaubt h\u00F6chstens 31 Zeichen\nline="},
    {"character delays of 0 and 10000 ms", "text AB --char-delay 0 --port $PORT -q ; text A --char-delay 10000 --port $PORT", "read 3 int", "exit=130\nline="},
    {"a line delay of 10000 ms", "text --file prog.bas --eol cr --line-delay 10000 --port $PORT", "read 13 int", "exit=130\nline="},
    {"a line delay of 10001 ms", "text AB --line-delay 10001 --port $PORT", "", "exit=2\nerr=--line-delay erwartet Millisekunden (0 bis 10000), nicht \"10001\""},
    {"a timeout of a day", "receive --port $PORT --timeout 86400 -o day.bin", "40", "exit=0\nsaved=day.bin"},
    {"a timeout of a day and a second", "receive --port $PORT --timeout 86401", "", "exit=2\nerr=--timeout erwartet Sekunden (1 bis 86400), nicht \"86401\""},
    {"a timeout of 0 s", "receive --port $PORT --timeout 0", "", "exit=2\nerr=--timeout erwartet Sekunden (1 bis 86400), nicht \"0\""},
};
// clang-format on

// Whether an argument is the option (its long or short name, alone or with "=VALUE").
bool IsOption(const std::string& argument, const cli::OptionRule& rule) {
    const auto named = [&argument](std::string_view name) {
        return !name.empty() && (argument == name || argument.starts_with(std::string(name) + "="));
    };
    return named(rule.name) || named(rule.shortName);
}

// Runs a row as written, or without the option and its value (without: nullptr for none); a run
// without it may fail sooner.
void PlayRow(const CliRow& c, const cli::OptionRule* without = nullptr) {
    const TempDir work;
    work.Write("hi_c000.bin", CountingBytes(40));
    work.Write("w_4000.bin", CountingBytes(40));
    work.Write("big.bin", CountingBytes(60000));
    work.Write("5k.bin", CountingBytes(5000));  // more than the far end's buffer holds
    work.Write("prog.z80", Z80File(0x1000, 0x1027, 0x1003, 'B', "HELLO", 40));
    work.Write("tiny.bin", CountingBytes(31));
    for (const std::size_t size : {32, 65504, 65505}) {
        work.Write("b" + std::to_string(size) + ".bin", CountingBytes(size));
    }
    work.Write("prog.bas", "10 PRINT \"\u00C4\"\r\n20 END\n");
    work.Write("top_ff00.bin", CountingBytes(512));
    work.Write("omega.txt", "A\n\u03A9\n");
    work.Write("_._.._x.Z80", "");
    ASSERT_EQ(mkfifo(work.File("fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(work.File("out").c_str(), 0700), 0);
    PtyPair line;
    std::vector<Args> runs(1);
    std::istringstream words(c.args);
    for (std::string word; words >> word;) {
        if (without != nullptr && IsOption(word, *without)) {
            if (without->takesValue && word.find('=') == std::string::npos) {
                words >> word;
            }
            continue;
        }
        word == ";" ? void(runs.emplace_back())
                    : runs.back().push_back(word == "$PORT" ? line.SlavePath() : word);
    }
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        EXPECT_EQ(Cli(runs[i], work.path()).Wait(30s), 0);
    }
    // The temp folder, where a file that cannot be saved is rescued, is the row's own; leading
    // NAME=VALUE words set the environment of the last run.
    std::vector<std::pair<std::string, std::string>> environment = {{"TMPDIR", work.path()}};
    Args& last = runs.back();
    while (!last.empty() && last.front().find('=') != std::string::npos) {
        const std::size_t equals = last.front().find('=');
        environment.emplace_back(last.front().substr(0, equals), last.front().substr(equals + 1));
        last.erase(last.begin());
    }
    PtyPair terminal;
    const bool watched = std::string_view(c.expect).find("drawn=") != std::string_view::npos;
    std::optional<Cli> started;
    {
        const ScopedEnvironment scoped(environment);
        started.emplace(last, work.path(), watched ? terminal.SlavePath() : "");
    }
    Cli& cli = *started;
    const std::string farEnd = c.farEnd;
    if (!farEnd.empty() && runs.back().front() == "receive") {
        ASSERT_TRUE(cli.WaitForError(kWaiting)) << cli.Err();
    }
    const Bytes sent = PlayFarEnd(farEnd, line, cli, work);
    // Every row ends within this time, or the program is killed and the row fails.
    const std::optional<int> exit = cli.Wait(without != nullptr ? 10s : 30s);
    const Bytes drawn = watched ? terminal.ReadUntilQuiet(500ms) : Bytes();
    std::istringstream expected(c.expect);
    for (std::string entry; std::getline(expected, entry);) {
        const std::string key = entry.substr(0, entry.find('='));
        const std::string value = entry.substr(key.size() + 1);
        std::string out = key == "out" || key == "noout" ? cli.Out()
                          : key.ends_with("drawn")       ? std::string(drawn.begin(), drawn.end())
                                                         : cli.Err();
        std::replace(out.begin(), out.end(), '\n', '|');
        if (key == "exit") {
            EXPECT_EQ(exit, DecimalToInt(value)) << cli.Err();
        } else if (key == "out" || key == "err" || key == "noerr" || key == "noout" ||
                   key == "once" || key.ends_with("drawn")) {
            const std::size_t at = out.find(value);
            EXPECT_EQ(at == std::string::npos, key.starts_with("no")) << key << ": " << out;
            EXPECT_TRUE(key != "once" || out.find(value, at + 1) == std::string::npos) << out;
        } else if (key == "mode") {
            // "NAME 600": the file's permissions, in octal.
            struct stat info {};
            const std::string name = value.substr(0, value.find(' '));
            ASSERT_EQ(stat(work.File(name).c_str(), &info), 0) << name;
            char octal[8];
            std::snprintf(octal, sizeof octal, "%o", info.st_mode & 0777);
            EXPECT_EQ(name + " " + octal, value);
        } else if (key == "rescued") {
            const std::string err = cli.Err();
            const std::string prefix = "Empfangene Daten gerettet in ";
            const std::size_t at = err.find(prefix);
            ASSERT_NE(at, std::string::npos) << err;
            const std::string path =
                err.substr(at + prefix.size(), err.find('\n', at) - at - prefix.size());
            EXPECT_TRUE(path.starts_with(work.path() + "/") && path.ends_with("/" + value)) << path;
            EXPECT_EQ(ReadFileBytes(path), std::string(sent.begin(), sent.end()));
            struct stat file {};
            struct stat folder {};
            ASSERT_EQ(
                stat(path.c_str(), &file) | stat(path.substr(0, path.rfind('/')).c_str(), &folder),
                0);
            EXPECT_EQ(std::tuple(file.st_mode & 0777, folder.st_mode & 0777, folder.st_uid),
                      std::tuple(0600u, 0700u, geteuid()));
        } else if (key == "logged") {
            std::string log = ReadFileBytes(work.File("line.log")).value_or("");
            std::replace(log.begin(), log.end(), '\n', '|');
            EXPECT_NE(log.find(value), std::string::npos) << log;
        } else if (key == "line") {
            const Bytes got = line.ReadUntilQuiet(200ms);
            const std::string hex = value[0] == '#' ? "#" + std::to_string(got.size()) : Hex(got);
            const bool prefix = value.ends_with('*');
            EXPECT_EQ(prefix ? hex.substr(0, value.size() - 1) : hex,
                      prefix ? value.substr(0, value.size() - 1) : value);
        } else {
            const std::string name = value.substr(0, value.find(' '));
            const std::optional<std::string> file = ReadFileBytes(work.File(name));
            const std::string part = value.substr(name.size());
            EXPECT_EQ(file.has_value(), part != " none") << name;
            const std::size_t size = part.empty() ? sent.size()
                                     : part == " part"
                                         ? std::min(file.value_or("").size(), sent.size())
                                     : part == " none" ? 0
                                                       : DecimalToInt(part.substr(1));
            EXPECT_EQ(file.value_or(""),
                      std::string(sent.begin(), sent.begin() + static_cast<long>(size)));
            EXPECT_TRUE(
                part != " part" ||
                (size > 0 && cli.Err().find("Empfang unvollst\u00E4ndig, " + std::to_string(size) +
                                            " Bytes gesichert") != std::string::npos));
        }
    }
}

class CliTable : public ::testing::TestWithParam<CliRow> {};

TEST_P(CliTable, DoesWhatTheWindowDoes) {
    PlayRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, CliTable, ::testing::ValuesIn(kCliRows), RowName<CliRow>);

// The values of an option that offers a list, and what a run with each shows ("@" in the
// arguments: the value; the expectations as in kCliRows).
struct ValueRow {
    const char* option;
    const char* args;
    std::vector<std::pair<std::string, std::string>> values;
    // What the far end does for a value (see PlayFarEnd); nothing for the others.
    std::vector<std::pair<std::string, std::string>> farEnds = {};
};

const char* const kTypeHead = "line=00 C0 27 C0 00 C0 41 43 31 4B 5A 56 ";

// clang-format off
const ValueRow kValueRows[] = {
    // A pseudo-terminal keeps no parity and eight data bits: it takes the rest, and says so.
    {"--parity", "text AB --port $PORT --parity @",
     {{"gerade", "exit=0\nerr=Der Treiber hat nicht \u00FCbernommen: Parit\u00E4t gerade\nline=41 42"},
      {"ungerade", "exit=0\nerr=Der Treiber hat nicht \u00FCbernommen: Parit\u00E4t ungerade\nline=41 42"},
      {"keine", "exit=0\nnoerr=\u00FCbernommen\nline=41 42"}}},
    {"--data", "text AB --port $PORT --data @",
     {{"7", "exit=0\nerr=Der Treiber hat nicht \u00FCbernommen: 7 Datenbits\nline=41 42"},
      {"8", "exit=0\nnoerr=\u00FCbernommen\nline=41 42"}}},
    {"--stop", "text AB --port $PORT --log line.log --stop @",
     {{"1", "exit=0\nlogged=, 1 Stoppbits,"}, {"2", "exit=0\nlogged=, 2 Stoppbits,"}}},
    {"--flow", "text AB --port $PORT --log line.log --flow @",
     {{"keine", "exit=0\nlogged=Flusskontrolle keine|"},
      {"CTS", "exit=0\nlogged=Flusskontrolle CTS|"}}},
    {"--pause", "send hi_c000.bin --port $PORT --pause @",
     {{"keine", "exit=0\nnoout=Pause"},
      {"50", "exit=0\nout=|Pause 50ms...|Sende Daten"},
      {"100", "exit=0\nout=|Pause 100ms...|Sende Daten"},
      {"500", "exit=0\nout=|Pause 500ms...|Sende Daten"},
      {"1000", "exit=0\nout=|Pause 1000ms...|Sende Daten"}}},
    {"--eol", "text AB --port $PORT --eol @",
     {{"none", "exit=0\nline=41 42"},
      {"cr", "exit=0\nline=41 42 0D"},
      {"crlf", "exit=0\nline=41 42 0D 0A"},
      {"lf", "exit=0\nline=41 42 0A"}}},
    // A pseudo-terminal has no modem lines: dropping one fails there, raising it is left as it is.
    {"--dtr", "text AB --port $PORT --dtr @",
     {{"on", "exit=0\nnoerr=DTR"},
      {"off", "exit=1\nerr=DTR l\u00E4sst sich an diesem Ger\u00E4t nicht setzen"}}},
    {"--rts", "text AB --port $PORT --rts @",
     {{"on", "exit=0\nnoerr=RTS"},
      {"off", "exit=1\nerr=RTS l\u00E4sst sich an diesem Ger\u00E4t nicht setzen"}}},
    // XMODEM's first block, of 128 or 1024 bytes (of which the far end reads 133), and then
    // Ctrl+C: CAN follows it.
    {"--as", "send 5k.bin --port $PORT --as @",
     {{"z80", "exit=0\nline=#5032"},
      {"bin", "exit=0\nline=+5000"},
      {"hex", "exit=0\nout=Senden als Intel HEX (Zeilen: 314, Bytes: "},
      {"hex32", "exit=0\nout=Senden als Intel HEX (Zeilen: 158, Bytes: "},
      {"xmodem", "exit=130\nline=#8\nerr=XMODEM: abgebrochen, CAN gesendet"},
      {"xmodem1k", "exit=130\nline=#904\nerr=XMODEM: abgebrochen, CAN gesendet"}},
     {{"xmodem", "ready poll read 133 int"}, {"xmodem1k", "ready poll read 133 int"}}},
    {"--type", "send hi_c000.bin --port $PORT --type @",
     {{"P", std::string(kTypeHead) + "50 D3*"},
      {"B", std::string(kTypeHead) + "42 D3*"},
      {"F", std::string(kTypeHead) + "46 D3*"},
      {"Q", std::string(kTypeHead) + "51 D3*"},
      {"T", std::string(kTypeHead) + "54 D3*"},
      {"D", std::string(kTypeHead) + "44 D3*"},
      {"A", std::string(kTypeHead) + "41 D3*"},
      {"C", std::string(kTypeHead) + "43 D3*"},
      {"U", std::string(kTypeHead) + "55 D3*"}}},
};
// clang-format on

std::string Replaced(std::string text, std::string_view what, const std::string& by) {
    for (std::size_t at; (at = text.find(what)) != std::string::npos;) {
        text.replace(at, what.size(), by);
    }
    return text;
}

// The values an option offers, as the program lists them when it refuses one; none for an option
// whose refusal names no list.
std::vector<std::string> OfferedValues(const cli::OptionRule& rule) {
    std::vector<std::string> args = (rule.commands & cli::kForSend) != 0      ? Args{"send", "x"}
                                    : (rule.commands & cli::kForText) != 0    ? Args{"text", "x"}
                                    : (rule.commands & cli::kForReceive) != 0 ? Args{"receive"}
                                                                              : Args{"selftest"};
    args.insert(args.end(), {"--port", "p", std::string(rule.name), "\x01"});
    const std::string refused = rule.takesValue ? cli::ParseArguments(args).error : "";
    const std::size_t from = refused.find(msg::kCliExpects);
    const std::size_t to = refused.find(msg::kCliNot);
    std::string list =
        from < to && to != std::string::npos
            ? refused.substr(from + msg::kCliExpects.size(), to - from - msg::kCliExpects.size())
            : "";
    std::vector<std::string> values;
    if (list.starts_with(msg::kCliOneLetterOf)) {
        for (char letter : list.substr(msg::kCliOneLetterOf.size())) {
            values.emplace_back(1, letter);
        }
    } else if (list.find('|') != std::string::npos) {
        std::istringstream words(Replaced(list, "|", " "));
        values.assign(std::istream_iterator<std::string>(words), {});
    }
    return values;
}

// Every option that offers a list has a row of values, and every value it offers has a run
// that sees what choosing it does.
TEST(CliValueWalk, EveryValueOfEveryListHasARowThatSeesWhatItDoes) {
    for (const cli::OptionRule& rule : cli::OptionTable()) {
        const std::vector<std::string> offered = OfferedValues(rule);
        const ValueRow* row = nullptr;
        for (const ValueRow& candidate : kValueRows) {
            row = candidate.option == rule.name ? &candidate : row;
        }
        if (row == nullptr) {
            EXPECT_TRUE(offered.empty()) << rule.name << " offers values, and no row chooses them";
            continue;
        }
        for (const std::string& value : offered) {
            const auto found = std::find_if(row->values.begin(), row->values.end(),
                                            [&value](const auto& v) { return v.first == value; });
            if (found == row->values.end()) {
                ADD_FAILURE() << rule.name << " offers \"" << value << "\", and no row chooses it";
                continue;
            }
            SCOPED_TRACE(std::string(rule.name) + " " + value);
            const std::string args = Replaced(row->args, "@", value);
            const auto farEnd = std::find_if(row->farEnds.begin(), row->farEnds.end(),
                                             [&value](const auto& v) { return v.first == value; });
            PlayRow({"", args.c_str(), farEnd == row->farEnds.end() ? "" : farEnd->second.c_str(),
                     found->second.c_str()});
        }
        for (const auto& [value, _] : row->values) {
            EXPECT_NE(std::find(offered.begin(), offered.end(), value), offered.end())
                << rule.name << " does not offer " << value;
        }
    }
}

// A row of either table, the value rows with each value in place.
struct OwnedRow {
    std::string name, args, farEnd, expect;
    CliRow Row() const { return {name.c_str(), args.c_str(), farEnd.c_str(), expect.c_str()}; }
};

std::vector<OwnedRow> WalkedRows() {
    std::vector<OwnedRow> rows;
    for (const CliRow& row : kCliRows) {
        rows.push_back({row.name, row.args, row.farEnd, row.expect});
    }
    for (const ValueRow& row : kValueRows) {
        for (const auto& [value, expect] : row.values) {
            rows.push_back({std::string(row.option) + " " + value, Replaced(row.args, "@", value),
                            "", expect});
        }
    }
    return rows;
}

// Every option of the program's table has a row that uses it and fails without it: a row sees
// what the option does, not only that it parses (a row of a usage error counts for nothing).
class CliOptionWalk : public ::testing::TestWithParam<cli::OptionRule> {};

TEST_P(CliOptionWalk, HasARowThatSeesWhatItDoes) {
    const cli::OptionRule& rule = GetParam();
    std::string passing;
    for (const OwnedRow& owned : WalkedRows()) {
        const CliRow row = owned.Row();
        std::istringstream words(row.args);
        const bool uses = std::any_of(std::istream_iterator<std::string>(words), {},
                                      [&rule](const std::string& w) { return IsOption(w, rule); });
        if (!uses || std::string_view(row.expect).starts_with("exit=2")) {
            continue;
        }
        ::testing::TestPartResultArray failures;
        {
            const ::testing::ScopedFakeTestPartResultReporter quiet(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
            PlayRow(row, &rule);
        }
        if (failures.size() > 0) {
            return;
        }
        passing += std::string(passing.empty() ? "" : ", ") + "\"" + row.name + "\"";
    }
    ADD_FAILURE() << rule.name << ": no row of the CLI table sees what it does"
                  << (passing.empty() ? " (no row uses it)"
                                      : "; these pass without it: " + passing);
}

std::string OptionName(const ::testing::TestParamInfo<cli::OptionRule>& option) {
    return TestNameOf(option.param.name);
}

INSTANTIATE_TEST_SUITE_P(Options, CliOptionWalk, ::testing::ValuesIn(cli::OptionTable()),
                         OptionName);

// Where a person watches (stderr a terminal), a send draws its progress line while it runs (a
// character delay makes it last) and clears it at the end.
TEST(Cli, DrawsItsProgressWhereAPersonWatches) {
    const TempDir work;
    work.Write("hi.bin", CountingBytes(40));
    PtyPair line;
    PtyPair terminal;
    Cli cli({"send", "hi.bin", "--bin", "--char-delay", "10", "--port", line.SlavePath()},
            work.path(), terminal.SlavePath());
    EXPECT_EQ(cli.Wait(30s), 0);
    const Bytes drawn = terminal.ReadUntilQuiet(500ms);
    const std::string text(drawn.begin(), drawn.end());
    // The bytes, then the meter the window shows too: "12 / 40 Bytes  30%".
    EXPECT_TRUE(std::regex_search(text, std::regex(" / 40 Bytes  [0-9]+%"))) << Hex(drawn);
    EXPECT_TRUE(text.ends_with("\r\x1b[K")) << Hex(drawn);
}

// A receiver that is stopped for longer than the silence that ends a reception (SIGSTOP, a
// machine that swaps) while the line goes on keeps the transfer whole: silence is time without
// bytes on the line, not time the program did not run.
TEST(Cli, AStoppedReceiverKeepsTheTransferWhole) {
    const TempDir work;
    PtyPair line;
    Cli cli({"receive", "--port", line.SlavePath(), "-o", "rx.bin"}, work.path());
    ASSERT_TRUE(cli.WaitForError(kWaiting)) << cli.Err();
    std::string sent;
    const auto send = [&](std::size_t count, int times) {
        for (int i = 0; i < times; ++i) {
            const Bytes more = CountingBytes(count);
            ASSERT_TRUE(line.Write(more, 10s));
            sent.append(more.begin(), more.end());
            std::this_thread::sleep_for(100ms);
        }
    };
    send(100, 3);
    ASSERT_EQ(kill(cli.Pid(), SIGSTOP), 0);
    send(20, 15);
    ASSERT_EQ(kill(cli.Pid(), SIGCONT), 0);
    send(20, 5);
    EXPECT_EQ(cli.Wait(30s), 0) << cli.Err();
    EXPECT_EQ(ReadFileBytes(work.File("rx.bin")), sent);
}

// A save the disk cannot take (a limit on the size of files stands in for a full disk) says why in
// German and leaves no file cut short: none where there was none, so that the next receive into
// that name needs no --force, and the old one as it was where there was one.
TEST(Cli, AFailedSaveSaysWhyAndLeavesNoFileCutShort) {
    const struct {
        const char* before;  // the file's contents before, or none
        const char* option;  // --force where a file is there already
    } rows[] = {{nullptr, "-q"}, {"alt", "--force"}};
    for (const auto& row : rows) {
        const TempDir work;
        if (row.before != nullptr) {
            work.Write("rx.bin", row.before);
        }
        PtyPair line;
        const Args receive = {"receive", "--port", line.SlavePath(), "-o", "rx.bin", row.option};
        std::optional<Cli> limited;
        {
            // The child inherits the limit and the ignored signal, so that a write past the limit
            // fails with EFBIG instead of killing it.
            const ScopedEnvironment temp({{"TMPDIR", work.path()}});
            rlimit old{};
            ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
            rlimit small = old;
            small.rlim_cur = 1000;
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
            limited.emplace(receive, work.path());
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        }
        ASSERT_TRUE(limited->WaitForError(kWaiting)) << limited->Err();
        ASSERT_TRUE(line.Write(CountingBytes(3000), 10s));
        EXPECT_EQ(limited->Wait(30s), 1);
        EXPECT_NE(limited->Err().find("Schreibfehler"), std::string::npos) << limited->Err();
        EXPECT_NE(limited->Err().find("Die Datei w\u00E4re zu gro\u00DF"), std::string::npos)
            << limited->Err();
        EXPECT_EQ(ReadFileBytes(work.File("rx.bin")),
                  row.before != nullptr ? std::optional<std::string>(row.before) : std::nullopt);
        // Nothing else is left, neither beside the file nor in the folder for rescued bytes.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(work.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "rx.bin" || name.starts_with(".cli") || entry.is_directory())
                << name;
        }
        Cli again(receive, work.path());
        ASSERT_TRUE(again.WaitForError(kWaiting)) << again.Err();
        ASSERT_TRUE(line.Write(CountingBytes(3000), 10s));
        EXPECT_EQ(again.Wait(30s), 0) << again.Err();
        EXPECT_EQ(ReadFileBytes(work.File("rx.bin")),
                  std::string(reinterpret_cast<const char*>(CountingBytes(3000).data()), 3000));
    }
}

}  // namespace
}  // namespace velotrix::test
