// The whole window on the headless view: what a person does, and what the window shows for it.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

TEST(Window, ShowsWhatThePersonDidExactly) {
    const char* kSentWithPause =
        "list=Senden mit Header als 'z80'...|132 Bytes zu senden:|Sende Header...|Bytes gesendet: "
        "32|Pause 50ms...|Sende Daten...|Bytes gesendet: 100|Datei fertig \xFC"
        "bertragen";
    const struct {
        const char* name;
        Lines ports;
        const char* steps;
        const char* shown;
    } cases[] = {
        {"start",
         {"COM1", "COM4", "COM7"},
         "",
         "port=COM4\nbaud=4800\nparity=keine\ndata=8\nstop=1\nflow=keine\npause=keine\nCOM=COM "
         "\xF6"
         "ffnen\non:load=0\non:send=0\non:refresh=0\non:save=0\non:port=1\nchecked:progress=1\n"
         "shown:cts=0\nmenu=0\npane0=Puffer:\npane1= \npane3= \nlist=\nini=-\nstate=-"},
        {"open with the chosen settings",
         {"ttyS0"},
         "cts; select baud 2400; select parity gerade; select data 7; select stop 2; select flow "
         "CTS; click COM",
         "COM=COM schlie\xDF"
         "en\nline=2400 E 7 2 cts open\non:port=0\non:flow=0\non:load=1\n"
         "on:send=1\nshown:cts=1\nchecked:cts=1\nmenu=1\nlist=\nboxes=0"},
        {"close and reset the display",
         {"ttyS0"},
         "click COM; load HELLO_4000.bin 256; feed 20; advance 1000; click COM",
         "COM=COM \xF6"
         "ffnen\nline=4800 N 8 1 - closed\ntxKind= \ntxAadr= \ntxEadr= \ntxName= \n"
         "pane1= \non:save=0\non:port=1\non:load=0\nmenu=0\nlist="},
        {"close during a reception",
         {"ttyS0"},
         "click COM; feed 50; click COM; advance 1000",
         "on:save=1\ntail=47 dashes|Bytes empfangen gesamt: 50|Sichern per Button"},
        {"load",
         {"ttyS0"},
         "click COM; load HELLO_4000_5FFF_4100.bin 4096",
         "txKind=Geladen: BIN\ntxAadr=4000\ntxEadr=4FFF\ntxSadr=4100\ntxName=HELLO\ntxCrc=0F69\n"
         "txBytes=1000\ntxType=P = Maschinenprogramm\npane1=$DIR/HELLO_4000_5FFF_4100.bin\n"
         "on:send=1\nboxes=0"},
        {"load a file too large",
         {"ttyS0"},
         "click COM; load big.bin 65505",
         "box=Info - Datei zu gro\xDF (max. 64k)...\npane1= \ntxKind= "},
        {"refresh drops the edits",
         {"ttyS0"},
         "click COM; load HELLO_4000.bin 256; type txAadr 8000; click refresh",
         "txAadr=4000\ntxEadr=40FF\nlist=Datei-Puffer wurde aktualisiert..."},
        {"send an edited header",
         {"ttyS0"},
         "click COM; load hello.z80 100; type txAadr 1000; type txSadr 1010; type txName   NEU; "
         "select txType B; click send; idle",
         "head=00 10 63 10 10 10 00 00 00 00 00 00 42 D3 D3 D3 4E 45 55 20 20 20 20 20 20 20 20 20 "
         "20 20 20 20\nsent=image\nlist=Senden mit Header als 'z80'...|132 Bytes zu senden:|Senden "
         "l\xE4uft, bitte warten...|Bytes gesendet: 132|Datei fertig \xFC"
         "bertragen\n"
         "txEadr=1063\npane2= \non:send=1\non:bin=1\non:port=0"},
        {"send from the text dialog",
         {"ttyS0"},
         "click COM; click sendText; type text AB; click textSend; idle",
         "list=gesendet:  41 42 |Bytes gesendet: 2\nsent=AB"},
        {"receiving",
         {"ttyS0"},
         "click COM; feed z80",
         "pane3=Bytes empfangen: 1000\non:save=0\nrxKind=Empfangen: z80"},
        {"receive and save",
         {"ttyS0"},
         "click COM; feed z80; advance 1000; save saved.z80",
         "rxKind=Empfangen: z80\nrxAadr=1000\nrxEadr=13C7\nrxSadr=2000\nrxName=HELLO\nrxCrc=653A\n"
         "rxBytes=03C8\nrxType=B = Basic-Programm   \npane3=\non:save=1\nsuggested=HELLO.Z80\n"
         "saved=all\nbox=Datei wurde erfolgreich geschrieben. - $DIR/saved.z80\n"
         "tail=47 dashes|Bytes empfangen gesamt: 1000|Sichern per Button"},
        {"a header cut short",
         {"ttyS0"},
         "click COM; feed header; advance 2500",
         "tail=Bytes empfangen gesamt: 32|Empfang unvollst\xE4ndig: 0 von 968 Bytes|Sichern per "
         "Button"},
        {"unplug",
         {"ttyS0"},
         "click COM; feed 20; failwait 5; pump",
         "boxes=1\nbox=Meldung: - Verbindung zum Port verloren: *\nCOM=COM \xF6"
         "ffnen\n"
         "on:save=1\non:port=1\nmenu=0\nline=4800 N 8 1 - closed"},
        {"quit over an unsaved reception, Nein",
         {"ttyS0"},
         "click COM; feed 20; advance 1000; no; escape; no; closebox; no; click quit; save rx.bin; "
         "escape",
         "closed=1\nboxes=4\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin\n"
         "line=4800 N 8 1 - closed"},
        {"quit over an unsaved reception, Ja",
         {"ttyS0"},
         "click COM; feed 20; advance 1000; escape",
         "closed=1\nboxes=1\nbox=V.24 Velotrix V. 0.8 - Empfangene Daten wurden nicht gesichert. "
         "Trotzdem beenden?\nline=4800 N 8 1 - closed"},
        {"send with the pause chosen",
         {"ttyS0"},
         "click COM; select pause 50 ms; load A.bin 100; click send; idle",
         kSentWithPause},
        {"send with the pause of the loaded preferences",
         {"ttyS0"},
         "click COM; select pause 50 ms; click savePrefs; select pause keine; load A.bin 100; "
         "click loadPrefs; click send; idle",
         kSentWithPause},
        {"send with nothing loaded",
         {"ttyS0"},
         "click COM; click send",
         "box=Fehler! - Nix da zum Senden."},
        {"save with nothing received",
         {"ttyS0"},
         "command save",
         "box=Fehler! - Nix da zum sichern."},
        {"refresh with nothing loaded",
         {"ttyS0"},
         "click COM; click refresh",
         "box=Fehler! - Nix geladen zum Aufrischen."},
        {"a second send",
         {"ttyS0"},
         "click COM; hold; load A.bin 64; click send; command sendText",
         "box=Info - Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF"
         "en' abbrechen.\non:send=0"},
        {"probe the ports",
         {"ttyS0", "ttyS1"},
         "click COM; click probe",
         "box=Verf\xFCgbar - ttyS0: hier ge\xF6"
         "ffnet|ttyS1\nport=ttyS0: hier ge\xF6"
         "ffnet"},
        {"probe keeps the open port",
         {"ttyS0", "ttyS1"},
         "select port ttyS1; click COM; click probe",
         "port=ttyS1: hier ge\xF6"
         "ffnet"},
        {"probe without ports", {}, "click probe", "box=Verf\xFCgbar - Keine (freien) COM-Ports"},
        {"open without ports",
         {},
         "click COM",
         "box=Meldung: - Kein Port gew\xE4hlt\nCOM=COM \xF6"
         "ffnen\non:port=1"},
        {"choose CTS",
         {"ttyS0"},
         "select flow CTS",
         "list=Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\xFCtzt!|Ansonsten nicht "
         "Senden!|Dauersenden vermeiden!"},
        {"a typed baud rate",
         {"ttyS0"},
         "type baud 8065; click COM",
         "line=8065 N 8 1 - open\nbaud=8065"},
        {"the port by name and a typed rate are remembered",
         {"ttyS0", "ttyS1"},
         "select port ttyS1; type baud 8065; click savePrefs; select port ttyS0; type baud 300; "
         "click loadPrefs",
         "port=ttyS1\nbaud=8065"},
        {"save and load the preferences",
         {"ttyS0"},
         "select baud 150; click savePrefs; select baud 115200; select pause 1000; select flow "
         "CTS; "
         "click savePrefs; select baud 150; select pause keine; select flow keine; click loadPrefs",
         "baud=115200\npause=1000 ms\nflow=CTS"},
        {"the next start keeps what was saved, not what happened",
         {"ttyS0"},
         "click COM; load A.bin 64; feed 20; advance 1000; save rx.bin; command reopen; restart",
         "baud=4800\nparity=keine\ndata=8\nreopen=0\nfolder=$DIR/\nini=-\n"
         "state=[Zustand]|ORDNER=$DIR/|AUTOREOPEN=0|"},
        {"an old file of remembered things only",
         {"ttyS0"},
         "ini [Prefs]|ORDNER=/x/|AUTOREOPEN=0; restart",
         "baud=4800\nparity=keine\ndata=8\nreopen=0\nfolder=/x/"},
        {"a file of the section line alone", {"ttyS0"}, "ini [Prefs]; restart", "baud=150\ndata=7"},
        {"the settings in a new folder",
         {"ttyS0"},
         "restart new/velotrix/Velotrix.ini; click savePrefs",
         "boxes=0\nini=[Prefs]|COM=0|BAUD=6|PAR=2|DATEN=1|STOPP=0|FLOW=0|PAUSE=0|"},
        {"settings that cannot be saved",
         {"ttyS0"},
         "ini x; restart Velotrix.ini/Velotrix.ini; click savePrefs",
         "box=Meldung: - Einstellungen nicht gesichert: $DIR/Velotrix.ini/Velotrix.ini\rDatei oder "
         "Ordner nicht gefunden"},
        {"Sichern asks before it replaces, Nein",
         {"ttyS0"},
         "click COM; feed 20; advance 1000; save rx.bin; no; save rx.bin",
         "boxes=2\nbox=V.24 Velotrix V. 0.8 - Datei $DIR/rx.bin existiert bereits. Ersetzen?"},
        {"Sichern asks before it replaces, Ja",
         {"ttyS0"},
         "click COM; feed 20; advance 1000; save rx.bin; yes; save rx.bin",
         "boxes=3\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin\nsaved=all"},
        {"a failed save keeps the reception",
         {"ttyS0"},
         "click COM; feed 20; advance 1000; save no/rx.bin; save rx.bin",
         "boxes=2\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin\nsaved=all"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Rig::Face::kWindow, c.ports);
        rig.Do(c.steps);
        rig.Expect(c.shown);
    }
}

}  // namespace
}  // namespace velotrix::test
