// The program's message table: every German text of the MessageList, the status bar and the boxes,
// in code page 1252, for the window and the command line alike.
#pragma once

#include <string_view>

namespace velotrix::msg {

// The answers of a question box.
inline constexpr std::string_view kYes = "Ja";
inline constexpr std::string_view kNo = "Nein";

// Captions of the boxes.
inline constexpr std::string_view kErrorCaption = "Fehler!";
inline constexpr std::string_view kSystemErrorCaption = "Meldung:";
inline constexpr std::string_view kInfoCaption = "Info";
inline constexpr std::string_view kProbeCaption =
    "Verf\xFC"
    "gbar";
inline constexpr std::string_view kSavedCaption = "Datei wurde erfolgreich geschrieben.";

// The COM button.
inline constexpr std::string_view kOpenCaption =
    "COM \xF6"
    "ffnen";
inline constexpr std::string_view kCloseCaption =
    "COM schlie\xDF"
    "en";

// Boxes.
inline constexpr std::string_view kNoPorts = "Keine (freien) COM-Ports";
inline constexpr std::string_view kBusy =
    "Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF"
    "en' abbrechen.";
inline constexpr std::string_view kNothingToSend = "Nix da zum Senden.";
inline constexpr std::string_view kNothingToSave = "Nix da zum sichern.";
inline constexpr std::string_view kNothingToRefresh = "Nix geladen zum Aufrischen.";
inline constexpr std::string_view kCannotCreate = "Datei ist nicht zu erzeugen";
inline constexpr std::string_view kWriteError = "Schreibfehler";
inline constexpr std::string_view kTooBig = "Datei zu gro\xDF (max. 64k)...";
inline constexpr std::string_view kTooSmall = "Datei zu klein (min. 32 Bytes)...";
inline constexpr std::string_view kUnknownError = "Unbekannter Fehler (Code ";
inline constexpr std::string_view kLineLost = "Verbindung zum Port verloren: ";
inline constexpr std::string_view kUnsavedQuit =
    "Empfangene Daten wurden nicht gesichert. Trotzdem beenden?";
inline constexpr std::string_view kNotSerial = " ist keine serielle Schnittstelle";
inline constexpr std::string_view kIsConsole =
    " ist die Systemkonsole und wird nicht ge\xF6"
    "ffnet";
inline constexpr std::string_view kNotRegularFile = " ist keine gew\xF6hnliche Datei";

// What the errors a serial user meets mean, in place of the OS's texts.
inline constexpr std::string_view kErrorNoAccess = "Zugriff verweigert (keine Berechtigung)";
inline constexpr std::string_view kErrorBusy =
    "Das Ger\xE4t ist belegt (ein anderes Programm benutzt es)";
inline constexpr std::string_view kErrorGone = "Das Ger\xE4t ist nicht (mehr) vorhanden";
inline constexpr std::string_view kErrorIo = "Ein-/Ausgabefehler am Ger\xE4t";
inline constexpr std::string_view kErrorSettingRefused = "Der Treiber lehnt die Einstellung ab";
inline constexpr std::string_view kErrorNoSuchFile = "Datei oder Ordner nicht gefunden";
inline constexpr std::string_view kErrorDiskFull = "Kein Platz mehr auf dem Datentr\xE4ger";
inline constexpr std::string_view kErrorReadOnly = "Der Datentr\xE4ger ist schreibgesch\xFCtzt";
inline constexpr std::string_view kNoPortChosen = "Kein Port gew\xE4hlt";
inline constexpr std::string_view kGroupHintPrefix = "Der Benutzer muss Mitglied der Gruppe \"";
inline constexpr std::string_view kGroupHintSuffix = "\" sein, der das Ger\xE4t geh\xF6rt.";
// The settings a driver refused.
inline constexpr std::string_view kRefusedBaud = " Baud";
inline constexpr std::string_view kRefusedDataBits = " Datenbits";
inline constexpr std::string_view kRefusedStopBits = " Stoppbits";
inline constexpr std::string_view kRefusedParity = "Parit\xE4t ";
inline constexpr std::string_view kRefusedFlow = "Flusskontrolle ";

// Saving.
inline constexpr std::string_view kReplacePrefix = "Datei ";
inline constexpr std::string_view kReplaceSuffix = " existiert bereits. Ersetzen?";
inline constexpr std::string_view kExistsSavingAs = " gibt es schon, gesichert wird als ";
inline constexpr std::string_view kRescuedPrefix = "Empfangene Daten gerettet in ";
inline constexpr std::string_view kRescueName = "velotrix-gerettet";
inline constexpr std::string_view kSettingsNotSaved = "Einstellungen nicht gesichert: ";

// The port list.
inline constexpr std::string_view kPortBusy = "belegt";
inline constexpr std::string_view kPortHolderPid = ", PID ";
inline constexpr std::string_view kPortConsole = "Systemkonsole";
inline constexpr std::string_view kPortForbidden = "keine Berechtigung";
inline constexpr std::string_view kPortForbiddenGroup = " \x96 Gruppe ";
inline constexpr std::string_view kPortDescriptionDash = " \x96 ";
inline constexpr std::string_view kPortOpenHere =
    "hier ge\xF6"
    "ffnet";
inline constexpr std::string_view kNoPortsFound = "Keine Ports gefunden";

// MessageList lines of a reception.
inline constexpr std::string_view kReceivedTotal = "Bytes empfangen gesamt: ";
inline constexpr std::string_view kBufferFullPrefix = "Empfangspuffer voll: ";
inline constexpr std::string_view kBufferFullSuffix = " Bytes verworfen";
inline constexpr std::string_view kSaveByButton = "Sichern per Button";

// MessageList lines of a send.
inline constexpr std::string_view kSendListingPrefix = "gesendet:  ";
inline constexpr std::string_view kBytesSent = "Bytes gesendet: ";
inline constexpr std::string_view kBytesToSend = " Bytes zu senden:";
inline constexpr std::string_view kContinuousAborted = "Dauersenden abgebrochen...";
inline constexpr std::string_view kSendingBin = "Senden ohne Header (BIN)...";
inline constexpr std::string_view kSendingZ80 = "Senden mit Header als 'z80'...";
inline constexpr std::string_view kSendingWait = "Senden l\xE4uft, bitte warten...";
inline constexpr std::string_view kSendingHeader = "Sende Header...";
inline constexpr std::string_view kSendingData = "Sende Daten...";
inline constexpr std::string_view kFileSent =
    "Datei fertig \xFC"
    "bertragen";
inline constexpr std::string_view kContinuousFile =
    "Sende Datei dauernd, Abbruch mit 'COM schlie\xDF"
    "en'.";
inline constexpr std::string_view kContinuousText =
    "Sende Text dauernd, Abbruch mit 'COM schlie\xDF"
    "en'";
inline constexpr std::string_view kRefreshed = "Datei-Puffer wurde aktualisiert...";
inline constexpr std::string_view kCtsWarning[] = {
    "Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\xFCtzt!", "Ansonsten nicht Senden!",
    "Dauersenden vermeiden!"};

// The port's own reports.
inline constexpr std::string_view kReopenedPrefix = "Port ";
inline constexpr std::string_view kReopenedSuffix =
    " wieder ge\xF6"
    "ffnet";
inline constexpr std::string_view kBaudChangedPrefix = "Der Treiber hat ";
inline constexpr std::string_view kBaudChangedMiddle = " Baud eingestellt statt ";

// A reception whose header promised more data than came.
inline constexpr std::string_view kShortReceptionPrefix = "Empfang unvollst\xE4ndig: ";
inline constexpr std::string_view kShortReceptionMiddle = " von ";
inline constexpr std::string_view kShortReceptionSuffix = " Bytes";

// The command line's own reports.
inline constexpr std::string_view kIncompletePrefix = "Empfang unvollst\xE4ndig, ";
inline constexpr std::string_view kIncompleteSuffix = " Bytes gesichert";
inline constexpr std::string_view kIncompleteName = "-unvollstaendig";
inline constexpr std::string_view kNothingReceivedPrefix = "Nichts empfangen in ";
inline constexpr std::string_view kInterrupted = "Abgebrochen.";
inline constexpr std::string_view kWaitingPrefix = "Warte bis zu ";
inline constexpr std::string_view kExistsUseForce = " gibt es schon (--force ersetzt sie)";
inline constexpr std::string_view kDriverRefusesBaud = " kann der Treiber nicht einstellen.";

// Fields and panes.
inline constexpr std::string_view kReceivedBin = "Empfangen: BIN";
inline constexpr std::string_view kReceivedZ80 = "Empfangen: z80";
inline constexpr std::string_view kLoadedBin = "Geladen: BIN";
inline constexpr std::string_view kLoadedZ80 = "Geladen: z80";
inline constexpr std::string_view kBytesReceived = "Bytes empfangen: ";
inline constexpr std::string_view kBufferLabel = "Puffer:";

// Dialogs.
inline constexpr std::string_view kOpenTitle =
    "Datei ausw\xE4"
    "hlen:";
inline constexpr std::string_view kSupportedFiles = "unterst\xFCtzte Dateien (*.bin, *z80, *.COM)";
inline constexpr std::string_view kAllFiles = "alle Dateien (*.*)";
inline constexpr std::string_view kAllFilesSave = "Alle Dateien";

// What "velotrix --help" prints.
inline constexpr std::string_view kWindowUsage =
    "Aufruf: velotrix [DATEI]\n"
    "        velotrix --help | --version\n"
    "\n"
    "\xD6"
    "ffnet das Fenster von V.24 Velotrix; DATEI wird zum Senden geladen.\n"
    "VELOTRIX_PORTS=PFAD:PFAD... nennt weitere Ports; sie stehen zuerst in der Liste.\n"
    "Ohne Fenster: velotrix-cli --help\n";

// The window's title and the info box.
inline constexpr std::string_view kWindowTitle = "V.24 Velotrix V. 0.8";
inline constexpr std::string_view kInfoLines[] = {
    "Datenaustausch mit anderem Rechner per V.24",
    "AC1, LLC2, ...",
    "",
    "Kurzanleitung:",
    "1. Protokoll-Einstellungen w\xE4hlen, <COM \xF6"
    "ffnen>",
    "2. Velotrix ist nun empfangsbereit.",
    "3. Wenn >1 Sek. Stille nach letztem empfangenen Byte wird der Empfangspuffer",
    "    geschlossen und kann als Datei mit <SICHERN> abgelegt werden.",
    "4. Zum Senden <BIN/z80 laden> und <Dateisenden> :-)",
    "5. Wurde BIN geladen, wird z80-Header automatisch erzeugt.",
    "    Die Kopfdaten sind ggf. anzupassen (Adressen, Name, Typ).",
};

}  // namespace velotrix::msg
