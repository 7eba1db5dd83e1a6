// The whole window on the headless view: what a person does, and what the window shows for it.
#include <gtest/gtest.h>

#include "app/event_presenter.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "support/rig.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using Row = WindowRow;

class Window : public ::testing::TestWithParam<Row> {};

TEST_P(Window, ShowsWhatThePersonDidExactly) {
    Rig rig(Rig::Face::kWindow, GetParam().ports);
    rig.Do(GetParam().steps);
    rig.Expect(GetParam().shown);
}

const char* const kSentWithPause =
    "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: "
    "32|Pause 50ms...|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC"
    "bertragen";

// clang-format off
const Row kRows[] = {
    {"DTR and RTS shown beside CTS while the port is open", {"ttyS0"}, "click COM", "shown:dtr=1\nchecked:dtr=1\nshown:rts=1\nchecked:rts=1\nmenu:lines=111\nmodem=DTR RTS*"},
    {"RTS dropped from the menu, remembered for the next open", {"ttyS0"}, "click COM; command menuRts; click COM; restart; click COM", "modem=DTR -*\nchecked:rts=0\nchecked:dtr=1\nmenu:lines=101"},
    {"the line indicators and the self-test go with the port", {"ttyS0"}, "click COM; click COM", "shown:dtr=0\nshown:rts=0\nshown:dsr=0\nshown:ri=0\nmenu:lines=110"},
    {"DSR, DCD and RI as the far end drives them", {"ttyS0"}, "status DCD; click COM", "shown:dsr=1\nshown:dcd=1\nshown:ri=1\nchecked:dsr=0\nchecked:dcd=1\nchecked:ri=0"},
    {"Schleifentest on a bridged plug", {"ttyS0"}, "loop; click COM; command selftest; back", "box=Schleifentest - Bytes gesendet: 256|Bytes verloren: 0|Bytes ver\xE4ndert: 0|Parit\xE4tsfehler: 0|Rahmenfehler: 0|Rate: nicht messbar, 4800 Baud erwartet|Schleifentest bestanden\nlist=Schleifentest l\xE4uft*\non:save=0"},
    {"Schleifentest's late echo is no reception", {"ttyS0"}, "click COM; command selftest; silent 2000; feed 256; advance 3000", "tail=Schleifentest l\xE4uft: jeder Bytewert geht hinaus und muss zur\xFC" "ckkommen...|Keine R\xFC" "ckmeldung: TX und RX an der Steckerseite verbinden|Schleifentest: 256 Bytes kamen zu sp\xE4t zur\xFC" "ck und wurden verworfen\nrxKind= \non:save=0"},
    {"Schleifentest with nothing bridged", {"ttyS0"}, "click COM; command selftest; silent 2000", "box=Schleifentest - Keine R\xFC" "ckmeldung: TX und RX an der Steckerseite verbinden"},
    {"start", {"COM1", "COM4", "COM7"}, "", "port=COM4\nbaud=4800\nparity=keine\ndata=8\nstop=1\nflow=keine\npause=keine\nCOM=COM \xF6" "ffnen\non:load=0\non:send=0\non:refresh=0\non:save=0\non:port=1\nchecked:progress=1\nshown:cts=0\nmenu=0\npane0=Puffer:\npane1= \npane3= \nlist=\nini=-\nstate=-"},
    {"open with the chosen settings", {"ttyS0"}, "cts; select baud 2400; select parity gerade; select data 7; select stop 2; select flow CTS; click COM", "COM=COM schlie\xDF" "en\nline=2400 E 7 2 cts open\non:port=0\non:flow=0\non:load=1\non:send=1\nshown:cts=1\nchecked:cts=1\nmenu=1\nlist=\nboxes=0"},
    {"close and reset the display", {"ttyS0"}, "click COM; load HELLO_4000.bin 256; feed 20; advance 1000; save rx.bin; click COM", "COM=COM \xF6" "ffnen\nline=4800 N 8 1 - closed\ntxKind= \ntxAadr= \ntxEadr= \ntxName= \npane1= \non:save=0\non:port=1\non:load=0\nmenu=0\nlist="},
    {"close during a reception", {"ttyS0"}, "click COM; feed 50; click COM; advance 1000", "on:save=1\ntail=47 dashes|Bytes empfangen gesamt: 50|Sichern per Button"},
    {"load", {"ttyS0"}, "click COM; load HELLO_4000_5FFF_4100.bin 4096", "txKind=Geladen: BIN\ntxAadr=4000\ntxEadr=4FFF\ntxSadr=4100\ntxName=HELLO\ntxCrc=0F69\ntxBytes=1000\ntxType=P = Maschinenprogramm\npane1=$DIR/HELLO_4000_5FFF_4100.bin\non:send=1\nboxes=0"},
    {"load a file too large", {"ttyS0"}, "click COM; load big.bin 65505", "box=Info - Datei zu gro\xDF (max. 64k)...\npane1= \ntxKind= "},
    {"refresh drops the edits", {"ttyS0"}, "click COM; load HELLO_4000.bin 256; type txAadr 8000; click refresh", "txAadr=4000\ntxEadr=40FF\nlist=Datei-Puffer wurde aktualisiert..."},
    {"send an edited header", {"ttyS0"}, "click COM; load hello.z80 100; type txAadr 1000; type txSadr 1010; type txName   NEU; select txType B; click send; idle", "head=00 10 63 10 10 10 00 00 00 00 00 00 42 D3 D3 D3 4E 45 55 20 20 20 20 20 20 20 20 20 20 20 20 20\nsent=image\nlist=Senden mit Header als 'z80'...|132 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Bytes gesendet: 132|Datei fertig \xFC" "bertragen\ntxEadr=1063\npane2= \non:send=1\non:bin=1\non:port=0"},
    {"send from the text dialog", {"ttyS0"}, "click COM; click sendText; type text AB; click textSend; idle", "list=gesendet:  41 42 |Bytes gesendet: 2\nsent=AB"},
    {"receiving", {"ttyS0"}, "click COM; feed z80", "pane3=Bytes empfangen: 1000\non:save=0\nrxKind=Empfangen: z80"},
    {"receive and save", {"ttyS0"}, "click COM; feed z80; advance 1000; save saved.z80", "rxKind=Empfangen: z80\nrxAadr=1000\nrxEadr=13C7\nrxSadr=2000\nrxName=HELLO\nrxCrc=653A\nrxBytes=03C8\nrxType=B = Basic-Programm   \npane3=\non:save=1\nsuggested=HELLO.Z80\nsaved=all\nbox=Datei wurde erfolgreich geschrieben. - $DIR/saved.z80\ntail=47 dashes|Bytes empfangen gesamt: 1000|Sichern per Button"},
    // A reception that ends right after its header has read it: z80, with its name.
    {"a header cut short", {"ttyS0"}, "click COM; feed header; advance 2500", "tail=Bytes empfangen gesamt: 32|Empfang unvollst\xE4ndig: 0 von 968 Bytes|Sichern per Button\nrxKind=Empfangen: z80\nrxName=HELLO\nrxBytes=0000\nrxCrc=FFFF"},
    {"a header cut short and saved at once", {"ttyS0"}, "mkdir in; every in; click COM; feed header; failwait 5; pump", "in=HELLO-unvollstaendig.Z80 32\ntail=Bytes empfangen gesamt: 32|Empfang unvollst\xE4ndig: 0 von 968 Bytes|Gesichert als $DIR/in/HELLO-unvollstaendig.Z80"},
    {"unplug", {"ttyS0"}, "click COM; feed 20; failwait 5; pump", "boxes=1\nbox=Meldung: - Verbindung zum Port verloren: *\nCOM=COM \xF6" "ffnen\non:save=1\non:port=1\nmenu=0\nline=4800 N 8 1 - closed"},
    {"quit over an unsaved reception, Nein", {"ttyS0"}, "click COM; feed 20; advance 1000; no; escape; no; closebox; no; click quit; save rx.bin; escape", "closed=1\nboxes=4\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin\nline=4800 N 8 1 - closed"},
    {"quit over an unsaved reception, Ja", {"ttyS0"}, "click COM; feed 20; advance 1000; escape", "closed=1\nboxes=1\nbox=V.24 Velotrix V. 0.8 - Empfangene Daten wurden nicht gesichert. Trotzdem beenden?\nline=4800 N 8 1 - closed"},
    // Closing and opening the port never throws away a reception that was not saved: it stays
    // listed, shown and savable, also one the close cut off or a lost line ended.
    {"closing keeps an unsaved reception", {"ttyS0"}, "click COM; feed 20; advance 1000; click COM", "COM=COM \xF6" "ffnen\non:save=1\nmenu:view=1\nrxBytes=0014\ntail=47 dashes|Bytes empfangen gesamt: 20|Sichern per Button"},
    {"a reception kept by the close is saved after it", {"ttyS0"}, "click COM; feed 20; advance 1000; click COM; save rx.bin", "saved=all\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin"},
    {"a reception the close cuts off is kept and survives the next open", {"ttyS0"}, "click COM; feed 50; click COM; click COM; save rx.bin", "COM=COM schlie\xDF" "en\nsaved=all\nfirst=00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "},
    {"a reception a lost line ended survives the next open", {"ttyS0"}, "click COM; feed 20; failwait 5; pump; click COM; no; escape", "closed=0\nboxes=2\nbox=V.24 Velotrix V. 0.8 - Empfangene Daten wurden nicht gesichert. Trotzdem beenden?\non:save=1"},
    {"a saved reception goes with the close", {"ttyS0"}, "click COM; feed 20; advance 1000; save rx.bin; click COM", "on:save=0\nlist=\nmenu:view=0\nrxBytes= "},
    {"quit after closing over an unsaved reception asks", {"ttyS0"}, "click COM; feed 20; advance 1000; click COM; no; escape", "closed=0\nboxes=1"},
    {"send with the pause chosen", {"ttyS0"}, "click COM; select pause 50 ms; load A.bin 100; click send; idle", kSentWithPause},
    {"send with the pause of the loaded preferences", {"ttyS0"}, "click COM; select pause 50 ms; click savePrefs; select pause keine; load A.bin 100; click loadPrefs; click send; idle", kSentWithPause},
    {"send with nothing loaded", {"ttyS0"}, "click COM; click send", "box=Fehler! - Nix da zum Senden."},
    {"save with nothing received", {"ttyS0"}, "command save", "box=Fehler! - Nix da zum sichern."},
    {"refresh with nothing loaded", {"ttyS0"}, "click COM; click refresh", "box=Fehler! - Nix geladen zum Aufrischen."},
    // A send that ends early says how far it got.
    {"a send the close cut short", {"ttyS0"}, "hold; click COM; load A.bin 64; click send; pump; click COM; pump", "list=Senden abgebrochen nach 0 von 96 Bytes"},
    {"a send a lost line cut short", {"ttyS0"}, "click COM; failwrite 5; load A.bin 64; click send; pump", "tail=96 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Senden abgebrochen nach 0 von 96 Bytes"},
    {"a second send", {"ttyS0"}, "click COM; hold; load A.bin 64; click send; command sendText", "box=Info - Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF" "en' abbrechen.\non:send=0"},
    {"probe the ports", {"ttyS0", "ttyS1"}, "click COM; click probe", "box=Verf\xFCgbar - ttyS0: hier ge\xF6" "ffnet|ttyS1\nport=ttyS0: hier ge\xF6" "ffnet"},
    {"probe keeps the open port", {"ttyS0", "ttyS1"}, "select port ttyS1; click COM; click probe", "port=ttyS1: hier ge\xF6" "ffnet"},
    // The port chosen at first is one that can be opened, never the kernel's console.
    {"only the console listed: no port chosen", {"ttyS0 console"}, "click COM", "port=\nbox=Meldung: - Kein Port gew\xE4hlt"},
    {"the first port that can be opened is chosen", {"ttyS0 console", "ttyS1"}, "", "port=ttyS1"},
    {"probe without ports", {}, "click probe", "box=Verf\xFCgbar - Keine (freien) COM-Ports"},
    {"open without ports", {}, "click COM", "box=Meldung: - Kein Port gew\xE4hlt\nCOM=COM \xF6" "ffnen\non:port=1"},
    {"choose CTS", {"ttyS0"}, "select flow CTS", "list=Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\xFCtzt!|Ansonsten nicht Senden!|Dauersenden vermeiden!"},
    {"a typed baud rate", {"ttyS0"}, "type baud 8065; click COM", "line=8065 N 8 1 - open\nbaud=8065"},
    {"the port by name and a typed rate are remembered", {"ttyS0", "ttyS1"}, "select port ttyS1; type baud 8065; click savePrefs; select port ttyS0; type baud 300; click loadPrefs", "port=ttyS1\nbaud=8065"},
    {"save and load the preferences", {"ttyS0"}, "select baud 150; click savePrefs; select baud 115200; select pause 1000; select flow CTS; click savePrefs; select baud 150; select pause keine; select flow keine; click loadPrefs", "baud=115200\npause=1000 ms\nflow=CTS"},
    {"the next start keeps what was saved, not what happened", {"ttyS0"}, "click COM; load A.bin 64; feed 20; advance 1000; save rx.bin; command reopen; restart", "baud=4800\nparity=keine\ndata=8\nreopen=0\nfolder=$DIR/\nsavefolder=$DIR/\nini=-\nstate=[Zustand]|ORDNER=$DIR/|ORDNER_SICHERN=$DIR/|AUTOREOPEN=0|"},
    {"an old file of remembered things only", {"ttyS0"}, "ini [Prefs]|ORDNER=/x/|AUTOREOPEN=0; restart", "baud=4800\nparity=keine\ndata=8\nreopen=0\nfolder=/x/\nsavefolder=/x/"},
    {"a file of the section line alone", {"ttyS0"}, "ini [Prefs]; restart", "baud=150\ndata=7"},
    {"the settings in a new folder", {"ttyS0"}, "restart new/velotrix/Velotrix.ini; click savePrefs", "boxes=0\nini=[Prefs]|COM=0|BAUD=6|PAR=2|DATEN=1|STOPP=0|FLOW=0|PAUSE=0|"},
    {"settings that cannot be saved", {"ttyS0"}, "ini x; restart Velotrix.ini/Velotrix.ini; click savePrefs", "box=Meldung: - Einstellungen nicht gesichert: $DIR/Velotrix.ini/Velotrix.ini\rDatei oder Ordner nicht gefunden"},
    {"Sichern asks before it replaces, Nein", {"ttyS0"}, "click COM; feed 20; advance 1000; save rx.bin; no; save rx.bin", "boxes=2\nbox=V.24 Velotrix V. 0.8 - Datei $DIR/rx.bin existiert bereits. Ersetzen?"},
    {"Sichern asks before it replaces, Ja", {"ttyS0"}, "click COM; feed 20; advance 1000; save rx.bin; yes; save rx.bin", "boxes=3\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin\nsaved=all"},
    {"loading and saving remember their own folders", {"ttyS0"}, "mkdir a; mkdir b; click COM; load a/A.bin 64; feed 20; advance 1000; save b/rx.bin; click load; save b/rx2.bin; restart", "dialogs=\nfolder=$DIR/a/\nsavefolder=$DIR/b/\nstate=[Zustand]|ORDNER=$DIR/a/|ORDNER_SICHERN=$DIR/b/|"},
    {"the open and the save dialog open where they were used last", {"ttyS0"}, "mkdir a; mkdir b; click COM; load a/A.bin 64; feed 20; advance 1000; save b/rx.bin; click load; save b/rx2.bin", "dialogs=open |save $DIR/a/|open $DIR/a/|save $DIR/b/"},
    {"a failed save keeps the reception", {"ttyS0"}, "click COM; feed 20; advance 1000; save no/rx.bin; save rx.bin", "boxes=2\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin\nsaved=all"},

    // Stored values that name no entry select none; what is no number reads as 0; receptions in
    // sequence; a continuous send and its switch.
    {"preferences out of range", {"ttyS0", "ttyS1"}, "ini [Prefs]|COM=2|BAUD=14|PAR=3|DATEN=2|STOPP=2|FLOW=2|PAUSE=5; click loadPrefs", "port=\nbaud=\nparity=\ndata=\nstop=\nflow=\npause="},
    {"preferences negative", {"ttyS0"}, "ini [Prefs]|COM=-1|BAUD=-1|PAR=-1|DATEN=-1|STOPP=-1|FLOW=-1|PAUSE=-1; click loadPrefs", "port=\nbaud=\nparity=\ndata=\nstop=\nflow=\npause="},
    {"preferences too large", {"ttyS0"}, "ini [Prefs]|COM=4294967296|BAUD=4294967302|PAR=4294967298|DATEN=99999999999|STOPP=2147483648|FLOW=4294967297|PAUSE=4294967300; click loadPrefs", "port=\nbaud=\nparity=\ndata=\nstop=\nflow=\npause="},
    {"preferences not numbers", {"ttyS0", "ttyS1"}, "ini [Prefs]|COM=x|BAUD=abc|PAR=|DATEN=-|STOPP=?|FLOW=ja|PAUSE=viel; click loadPrefs", "port=ttyS0\nbaud=150\nparity=gerade\ndata=7\nstop=1\nflow=keine\npause=keine"},
    {"preferences that were saved", {"ttyS0", "ttyS1"}, "ini [Prefs]|COM=1|BAUD=13|PAR=1|DATEN=0|STOPP=1|FLOW=1|PAUSE=4; click loadPrefs", "port=ttyS1\nbaud=115200\nparity=ungerade\ndata=7\nstop=2\nflow=CTS\npause=1000 ms\nlist="},
    {"a reception of 32 bytes keeps the header fields before it", {"ttyS0"}, "click COM; feed z80; advance 1000; feed short; advance 2500", "rxName=HELLO\nrxAadr=1000\nrxType=B = Basic-Programm   \nrxCrc=0D2E\nrxBytes=0020"},
    {"a plain reception after a z80 one is saved as plain", {"ttyS0"}, "click COM; feed z80; advance 1000; save a.z80; feed 40; advance 1000; save b.bin", "suggested=default.bin\nrxKind=Empfangen: BIN\nrxCrc=0476\nrxBytes=0028"},
    {"a z80 reception after a plain one is saved by its name", {"ttyS0"}, "click COM; feed 20; advance 1000; save a.bin; feed z80; advance 1000; save b.z80", "suggested=HELLO.Z80\nrxKind=Empfangen: z80\nrxBytes=03C8"},
    {"the port opened again after a loss receives", {"ttyS0"}, "click COM; feed 20; failwait 5; pump; click COM; feed 16; advance 1000", "COM=COM schlie\xDF" "en\nline=4800 N 8 1 - open\nrxBytes=0010\nrxCrc=3B37\nboxes=1"},
    {"reopening is on at first", {"ttyS0"}, "", "reopen=1"},
    {"reopening switched off", {"ttyS0"}, "click reopen", "reopen=0"},
    {"the line log on and off", {"ttyS0"}, "protocol line.log; click COM; feed 2; click COM; click protocol", "protocol=0\ntail=Bytes empfangen gesamt: 2|Sichern per Button|Protokoll beendet\nstate=[Zustand]|PROTOKOLL_DATEI=$DIR/line.log|PROTOKOLL=0|\nlinelog=12:00:00.000 Datum 07.12.2026|12:00:00.000 Protokoll begonnen|12:00:00.000 Port /dev/fake/ttyS0 ge\xC3\xB6" "ffnet|12:00:00.000 Einstellungen: 4800 Baud, 8 Datenbits, Parit\xC3\xA4t keine, 1 Stoppbits, Flusskontrolle keine|12:00:00.000 RX 00 01|12:00:00.000 Port geschlossen|12:00:00.000 Protokoll beendet|"},
    {"the line log comes back at the next start", {"ttyS0"}, "protocol line.log; restart", "protocol=1\nlist=Protokoll in $DIR/line.log\nlinelog=12:00:00.000 Datum 07.12.2026|12:00:00.000 Protokoll begonnen|12:00:00.000 Protokoll beendet|*"},
    {"a line log that fails while writing goes off", {"ttyS0"}, "protocol /dev/full; logfailed", "protocol=0\nlist=Protokoll in /dev/full|Protokoll abgebrochen: Kein Platz mehr auf dem Datentr\xE4ger\nstate=[Zustand]|PROTOKOLL_DATEI=/dev/full|PROTOKOLL=0|"},
    {"the short guide", {"ttyS0"}, "click info", "boxes=1\nbox=V.24 Velotrix V. 0.8 - Datenaustausch mit anderem Rechner per V.24\rAC1, LLC2, ...\r\rKurzanleitung:\r1. Protokoll-Einstellungen w\xE4hlen, <COM \xF6" "ffnen>\r2. Velotrix ist nun empfangsbereit.\r3. Wenn >1 Sek. Stille nach letztem empfangenen Byte wird der Empfangspuffer\r    geschlossen und kann als Datei mit <SICHERN> abgelegt werden.\r4. Zum Senden <BIN/z80 laden> und <Dateisenden> :-)\r5. Wurde BIN geladen, wird z80-Header automatisch erzeugt.\r    Die Kopfdaten sind ggf. anzupassen (Adressen, Name, Typ)."},
    {"a line log that cannot be opened stays off", {"ttyS0"}, "protocol no/line.log", "protocol=0\nbox=Fehler! - Protokoll nicht zu \xF6" "ffnen: $DIR/no/line.log\rDatei oder Ordner nicht gefunden\nstate=-"},
    {"a continuous send leaves loading and sending open", {"ttyS0"}, "slow 500; click COM; click continuous; load A.bin 40; click send; until 150", "on:continuous=0\non:send=1\non:load=1\non:refresh=1\non:port=0"},
    {"closing a continuous send enables its switch again", {"ttyS0"}, "slow 500; click COM; click continuous; load A.bin 40; click send; until 150; click COM; idle", "on:continuous=1\nchecked:continuous=1\nCOM=COM \xF6" "ffnen"},

    // Additions to the window: hex fields, the wrap warning, Tab, a typed port, Escape during a
    // send, "Ansicht".
    {"hex fields refuse other keys and upper-case", {"ttyS0"}, "click COM; load HELLO_4000.bin 256; type txAadr 8zq1; type txSadr c0de", "txAadr=81\ntxEadr=0180\ntxSadr=C0DE\nbeeps=2\nlist="},
    {"data past FFFFh wrap with one warning", {"ttyS0"}, "click COM; load HELLO_4000.bin 256; type txAadr FFF0; type txSadr FFFF", "txEadr=00EF\nlist=Achtung: Die Daten reichen \xFC" "ber FFFFh hinaus"},
    {"tab passes what cannot be changed", {"ttyS0"}, "tab 10", "focus=txAadr"},
    {"a typed device path", {"ttyS1", "ttyS0"}, "type port /dev/fake/ttyS1; click COM", "line=4800 N 8 1 - open"},
    {"escape during a send asks", {"ttyS0"}, "click COM; hold; load A.bin 64; click send; no; escape; escape", "closed=1\nboxes=2\nbox=V.24 Velotrix V. 0.8 - Es l\xE4uft noch eine Sendung. Trotzdem " "beenden?"},
    {"the view of a z80 reception", {"ttyS0"}, "click COM; feed z80; advance 1000; click view", "menu:view=1\ndump=0FE0  00 10 C7 13 00 20 00 00 00 00 00 00 42 D3 D3 D3  ..\xC7.. " "......B\xD3\xD3\xD3|0FF0  48 45 4C 4C 4F 00 00 00 00 00 00 00 00 00 00 00  HELLO....." "......|1000  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  ................"},
    // "Jeden Empfang sichern in ...": every reception at once, never over a file; remembered.
    {"every reception saved at once, beside the files there", {"ttyS0"}, "mkdir in; write in/HELLO.Z80 1; every in; click COM; feed z80; advance 1000; feed z80; advance 1000; feed 20; advance 1000; escape", "in=HELLO-2.Z80 1000|HELLO-3.Z80 1000|HELLO.Z80 1|default.bin 20\ntail=47 dashes|Bytes empfangen gesamt: 20|Gesichert als $DIR/in/default.bin\nevery=1\nclosed=1\nboxes=0"},
    {"a folder that cannot be written keeps the reception unsaved", {"ttyS0"}, "every gone; click COM; feed 20; advance 1000; no; escape", "tail=Bytes empfangen gesamt: 20|Nicht gesichert: $DIR/gone/default.bin: Datei oder Ordner nicht gefunden|Sichern per Button\nclosed=0\nboxes=1"},
    {"a reception cut short is saved as incomplete", {"ttyS0"}, "mkdir in; every in; click COM; feed 20; failwait 5; pump", "in=default-unvollstaendig.bin 20"},
    {"saving every reception is remembered", {"ttyS0"}, "mkdir in; every in; restart; click COM; feed 20; advance 1000", "every=1\nin=default.bin 20"},
    {"saving every reception switched off", {"ttyS0"}, "mkdir in; every in; no; click every; yes; click every; click COM; feed 20; advance 1000", "every=0\nin=\nboxes=2\nbox=V.24 Velotrix V. 0.8 - Jeder Empfang wird gesichert in $DIR/in.\rAusschalten?"},
    {"the view of a plain reception stays with it after the close", {"ttyS0"}, "click COM; feed 40; advance 1000; click view; click COM", "menu:view=1\ndump=0000  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  " "................|0010  10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F  " "................|0020  20 21 22 23 24 25 26 27                           !\"#$%&'  " "      "},
    // Pauses and line ends for home computers without handshake; "Textdatei senden".
    // A typed text ends without a line end at first, each line of a text file with CR.
    {"the pauses and the line ends start off", {"ttyS0"}, "", "charDelay=0\nlineDelay=0\neol=1000\neolFile=0100\npacing=0 0 0\nmenu:textFile=0"},
    {"the pauses and the line ends are remembered", {"ttyS0"}, "select charDelay 5; type lineDelay 150; command eolCrLf; command eolFileLf; restart", "charDelay=5\nlineDelay=150\neol=0010\neolFile=0001\npacing=5 150 2\nstate=[Zustand]|ZEICHENPAUSE=5|ZEILENPAUSE=150|ZEILENENDE=2|ZEILENENDE_DATEI=3|"},
    {"a typed pause beyond 10 s", {"ttyS0"}, "type charDelay 99999", "pacing=10000 0 0"},
    {"String senden with CR", {"ttyS0"}, "click COM; command eolCr; command sendText; type text AB; click textSend; idle", "head=41 42 0D"},
    {"a text file", {"ttyS0"}, "click COM; select charDelay 1; textfile A.bas 10 END\n; idle", "head=31 30 20 45 4E 44 0D\nlist=Sende Textdatei (Zeilen: 1, Bytes: 7)...|Bytes gesendet: 7|Datei fertig \xFC" "bertragen\non:load=1\nmenu:textFile=1"},
    {"a text file's lines end with CR, the typed text's with nothing", {"ttyS0"}, "click COM; textfile A.bas 10 A\n20 B\n; idle; command sendText; type text C; click textSend; idle", "head=31 30 20 41 0D 32 30 20 42 0D 43"},
    {"a text file's lines without a line end: asked, and nothing sent for Nein", {"ttyS0"}, "click COM; command eolFileNone; no; textfile A.bas 10 A\n20 B\n; idle", "boxes=1\nbox=V.24 Velotrix V. 0.8 - Die Textdatei hat 2 Zeilen; ohne Zeilenende kommen sie als eine einzige an.\rTrotzdem ohne Zeilenende senden?\nsent="},
    {"a text file's lines joined when the person says Ja", {"ttyS0"}, "click COM; command eolFileNone; yes; textfile A.bas 10 A\n20 B\n; idle", "head=31 30 20 41 32 30 20 42\nboxes=1"},
    {"a text file's lines with CR+LF", {"ttyS0"}, "click COM; command eolFileCrLf; textfile A.bas 10 A\n; idle", "head=31 30 20 41 0D 0A\neolFile=0010"},
    {"a text file's lines with CR again", {"ttyS0"}, "click COM; command eolFileLf; command eolFileCr; textfile A.bas 10 A\n; idle", "head=31 30 20 41 0D\neolFile=0100"},
    {"a text file of one line without a line end asks nothing", {"ttyS0"}, "click COM; command eolFileNone; textfile A.bas 10 A\n; idle", "head=31 30 20 41\nboxes=0"},
    // The switches, keys and menu commands that other rows leave alone.
    {"a file sent as BIN", {"ttyS0"}, "click COM; load A.bin 40; click bin; click send; idle", "sent=data\nlist=Senden ohne Header (BIN)...|40 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Bytes gesendet: 40|Datei fertig \xFC" "bertragen"},
    {"a file sent without progress", {"ttyS0"}, "click COM; click progress; hold; load A.bin 100; click send; pump", "progressText=\non:send=0\nchecked:progress=0"},
    {"the text dialog closed", {"ttyS0"}, "click COM; click sendText; click textClose; click COM", "COM=COM \xF6" "ffnen"},
    {"Enter sends the text", {"ttyS0"}, "click COM; click sendText; type text AB; enter; idle", "sent=AB"},
    {"Enter opens the port", {"ttyS0"}, "enter", "COM=COM schlie\xDF" "en"},
    {"a text ended with LF", {"ttyS0"}, "click COM; command eolLf; click sendText; type text AB; click textSend; idle", "head=41 42 0A\neol=0001"},
    {"a text ended with nothing again", {"ttyS0"}, "click COM; command eolCr; command eolNone; click sendText; type text AB; click textSend; idle", "head=41 42\neol=1000\nstate=[Zustand]|ZEILENENDE=0|*"},
    {"an unplugged port that comes back", {"ttyS0"}, "click COM; feed 16; failwait 5; pump; advance 500", "COM=COM schlie\xDF" "en\nline=4800 N 8 1 - open\nselected=Port ttyS0 wieder ge\xF6" "ffnet\nport=ttyS0\non:load=1"},
    {"DTR dropped from the menu", {"ttyS0"}, "click COM; command menuDtr", "modem=- RTS*\nchecked:dtr=0\nmenu:lines=011"},

    // Each limit at its boundary, on both sides.
    {"data that end at FFFFh", {"ttyS0"}, "click COM; load HELLO_4000.bin 32; type txAadr FFE0; type txSadr FFFF; click send; idle", "txEadr=FFFF\nlist=Senden mit Header als 'z80'...|64 Bytes zu senden:|Senden l\xE4uft, bitte warten...|Bytes gesendet: 64|Datei fertig \xFC" "bertragen\nhead=E0 FF FF FF FF FF*"},
    {"data one byte past FFFFh", {"ttyS0"}, "click COM; load HELLO_4000.bin 33; type txAadr FFE0", "txEadr=0000\nlist=Achtung: Die Daten reichen \xFC" "ber FFFFh hinaus"},
    {"a fifth hex digit is not taken", {"ttyS0"}, "click COM; load HELLO_4000.bin 32; type txAadr 10000; type txSadr 12345", "txAadr=1000\ntxEadr=101F\ntxSadr=1234\nbeeps=0"},
    {"a name of 16 characters", {"ttyS0"}, "click COM; load A.bin 32; type txName ABCDEFGHIJKLMNOP; click send; idle", "txName=ABCDEFGHIJKLMNOP\nhead=00 40 1F 40 00 40 41 43 31 4B 5A 56 50 D3 D3 D3 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50"},
    {"a seventeenth character of a name is not taken", {"ttyS0"}, "click COM; load A.bin 32; type txName ABCDEFGHIJKLMNOPQ", "txName=ABCDEFGHIJKLMNOP"},
    {"a file of 31 bytes", {"ttyS0"}, "click COM; load A.bin 31", "box=Info - Datei zu klein (min. 32 Bytes)...\ntxKind= \npane1= "},
    {"a file of 32 bytes", {"ttyS0"}, "click COM; load A.bin 32", "boxes=0\ntxKind=Geladen: BIN\ntxBytes=0020\ntxEadr=401F\non:send=1"},
    {"a file of 65,504 bytes", {"ttyS0"}, "click COM; load A.bin 65504", "boxes=0\ntxBytes=FFE0\ntxEadr=3FDF\nlist=Achtung: Die Daten reichen \xFC" "ber FFFFh hinaus"},
    {"a reception ends after a second of silence, not before", {"ttyS0"}, "click COM; feed 20; quiet 1000", "on:save=1\nrxBytes=0014\ntail=47 dashes|Bytes empfangen gesamt: 20|Sichern per Button"},
    {"pauses of 10000 ms", {"ttyS0"}, "select charDelay 5; type charDelay 10000; type lineDelay 10000", "pacing=10000 10000 0\ncharDelay=10000"},
    {"pauses of 10001 ms are 10000 ms", {"ttyS0"}, "type charDelay 10001; type lineDelay 10001", "pacing=10000 10000 0"},
    {"pauses of 0 ms", {"ttyS0"}, "select charDelay 5; select lineDelay 50; type charDelay 0; type lineDelay 0", "pacing=0 0 0"},
    {"a text of 31 characters is sent whole", {"ttyS0"}, "click COM; click sendText; type text ABCDEFGHIJKLMNOPQRSTUVWXYZ01234; click textSend; idle", "sent=ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
    {"a text of 32 characters loses its last", {"ttyS0"}, "click COM; click sendText; type text ABCDEFGHIJKLMNOPQRSTUVWXYZ012345; click textSend; idle", "sent=ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
    {"a text file refused", {"ttyS0"}, "click COM; textfile A.txt \xCE\xA9; idle", "box=Fehler! - Textdatei nicht gesendet: Zeile 1 enth\xE4lt ein Zeichen, das es in Codepage 1252 nicht gibt.\nsent="},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, Window, ::testing::ValuesIn(kRows), RowName<Row>);
[[maybe_unused]] const bool kWalked = AddWindowRows(kRows);

// The window comes back where it was left, at least at its template's size and at most the
// screen's, centred when no screen shows the remembered place; the user's settings file stays
// untouched.
TEST(Window, ComesBackWhereItWasLeftApartFromTheSettings) {
    TempDir dir;
    const ControllerEnvironment environment{dir.File("Velotrix.ini"),
                                            {[] { return std::vector<PortInfo>{}; }}};
    const struct {
        layout::Rect left;
        // A remembered value changed while the program was not running.
        const char* key;
        const char* value;
        layout::Rect back;
    } cases[] = {{{100, 80, 1280, 900}, nullptr, nullptr, {100, 80, 1280, 900}},
                 {{100, 80, 1280, 900}, "FENSTER_X", "-9000", {320, 90, 1280, 900}},
                 {{100, 80, 1280, 900}, "FENSTER_BREITE", "100000", {0, 80, 1920, 900}},
                 {{10, 20, 300, 200}, nullptr, nullptr, {10, 20, 852, 504}}};
    for (const auto& c : cases) {
        for (const bool first : {true, false}) {
            ManualLoop loop;
            HeadlessView view;
            MainController window(view, loop, environment);
            window.Start();
            if (first) {
                view.PlaceMainWindow(c.left);
                view.PressEscape();
                if (c.key != nullptr) {
                    IniWriteString(dir.File("Velotrix.state"), "Zustand", c.key, c.value);
                }
            } else {
                EXPECT_EQ(view.MainWindowPlacement(), c.back) << (c.key != nullptr ? c.key : "-");
            }
        }
    }
    EXPECT_EQ(FileExists(dir.File("Velotrix.ini")), 0);
}

// Percent of what has gone, the rate over the last seconds and the time left from it, on the
// loop's clock; a reception joins in once its header promises a length.
TEST(Window, ShowsTheProgressTextAtTheRateOfTheLastSeconds) {
    ManualLoop loop;
    HeadlessView view;
    Screen screen(view);
    EventPresenter presenter(screen, loop);
    using K = ProgressEvent::Kind;
    const RxHeaderInfo header{'P', 0x1000, 0x13C7, 0x1000, "X"};  // 32 + 968 bytes
    const struct {
        int afterMs;
        EngineEvent event;
        const char* text;
    } steps[] = {
        {0, ProgressEvent{K::kShow, 10000}, "0%"},
        {1000, ProgressEvent{K::kUpdate, 1234}, "12% \x96 1.234 B/s \x96 noch 0:08"},
        {1000, ProgressEvent{K::kUpdate, 2468}, "24% \x96 1.234 B/s \x96 noch 0:07"},
        {3000, ProgressEvent{K::kUpdate, 2468}, "24%"},  // three seconds without a byte
        {0, ProgressEvent{K::kHide, 0}, ""},
        {0, RxHeaderEvent{header}, ""},
        {1000, ReceivedEvent{500}, "50% \x96 467 B/s \x96 noch 0:02"},
        {0, ReceptionFinishedEvent{}, ""},
        {1000, ReceivedEvent{200}, ""},  // a plain reception after it promises nothing
    };
    for (const auto& step : steps) {
        loop.Advance(std::chrono::milliseconds(step.afterMs));
        presenter.Show(step.event);
        EXPECT_EQ(view.GetText(ids::kProgressText), step.text) << step.afterMs;
    }
}

}  // namespace
}  // namespace velotrix::test