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
inline constexpr std::string_view kLineLost = "Verbindung zum Port verloren: ";
inline constexpr std::string_view kUnsavedQuit =
    "Empfangene Daten wurden nicht gesichert. Trotzdem beenden?";
inline constexpr std::string_view kSendRunningQuit =
    "Es l\xE4uft noch eine Sendung. Trotzdem beenden?";
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
inline constexpr std::string_view kErrorFileTooBig =
    "Die Datei w\xE4re zu gro\xDF f\xFCr den Datentr\xE4ger oder das Limit des Benutzers";
inline constexpr std::string_view kErrorNameTooLong = "Der Dateiname ist zu lang";
inline constexpr std::string_view kErrorIsFolder = "Das ist ein Ordner, keine Datei";
inline constexpr std::string_view kErrorNotSupported = "Das Ger\xE4t kann das nicht";
inline constexpr std::string_view kNoPortChosen = "Kein Port gew\xE4hlt";
inline constexpr std::string_view kGroupHintPrefix = "Der Benutzer muss Mitglied der Gruppe \"";
inline constexpr std::string_view kGroupHintSuffix = "\" sein, der das Ger\xE4t geh\xF6rt.";
// "Das Ger\xE4t l\xE4sst keine Gruppe zu, nur root. Helfen kann root oder eine udev-Regel ..."
inline constexpr std::string_view kOwnerHintPrefix = "Das Ger\xE4t l\xE4sst keine Gruppe zu, nur ";
inline constexpr std::string_view kOwnerHintMiddle = ". Helfen kann ";
inline constexpr std::string_view kOwnerHintSuffix =
    " oder eine udev-Regel, die es einer Gruppe \xF6"
    "ffnet (GROUP=\"dialout\", MODE=\"0660\").";
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
inline constexpr std::string_view kPortHeldBy = "Benutzt von ";
inline constexpr std::string_view kPortConsole = "Systemkonsole";
inline constexpr std::string_view kPortForbidden = "keine Berechtigung";
inline constexpr std::string_view kPortForbiddenGroup = " \x96 Gruppe ";
inline constexpr std::string_view kPortForbiddenOwner = " \x96 nur ";
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
// A send that ended early: "Senden abgebrochen nach 40 von 132 Bytes", "Dauersenden abgebrochen
// im 3. Durchgang nach 40 von 132 Bytes".
inline constexpr std::string_view kSendAborted = "Senden abgebrochen nach ";
inline constexpr std::string_view kContinuousAbortedIn = "Dauersenden abgebrochen im ";
inline constexpr std::string_view kContinuousAbortedPass = ". Durchgang nach ";
inline constexpr std::string_view kSendAbortedOf = " von ";
inline constexpr std::string_view kSendAbortedBytes = " Bytes";
inline constexpr std::string_view kSendingBin = "Senden ohne Header (BIN)...";
inline constexpr std::string_view kSendingZ80 = "Senden mit Header als 'z80'...";
// "Senden als Intel HEX (Zeilen: 42, Bytes: 1890)..."
inline constexpr std::string_view kSendingHexPrefix = "Senden als Intel HEX (Zeilen: ";
inline constexpr std::string_view kSendingHexBytes = ", Bytes: ";
inline constexpr std::string_view kSendingHexSuffix = ")...";
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
inline constexpr std::string_view kDataWraps =
    "Achtung: Die Daten reichen \xFC"
    "ber FFFFh hinaus";
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
inline constexpr std::string_view kFrameNotTaken =
    "Der Treiber hat nicht \xFC"
    "bernommen: ";

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
inline constexpr std::string_view kReceivedHex = "Empfangen: HEX";
inline constexpr std::string_view kLoadedBin = "Geladen: BIN";
inline constexpr std::string_view kLoadedZ80 = "Geladen: z80";
inline constexpr std::string_view kLoadedHex = "Geladen: HEX";
inline constexpr std::string_view kBytesReceived = "Bytes empfangen: ";
inline constexpr std::string_view kBufferLabel = "Puffer:";

// After a HEX file is loaded ("Intel HEX geladen, L\xFCcken mit 00h gef\xFCllt: 12 Bytes"), and
// why a HEX text is refused, by its line ("Zeile 12: Pr\xFCfsumme falsch", "Zeile 9: Daten
// \xFCberschneiden sich mit Zeile 4").
inline constexpr std::string_view kHexFilledPrefix =
    "Intel HEX geladen, L\xFC"
    "cken mit 00h gef\xFCllt: ";
inline constexpr std::string_view kHexFilledSuffix = " Bytes";
inline constexpr std::string_view kHexNotLoaded = "Intel-HEX-Datei nicht geladen: ";
inline constexpr std::string_view kHexLine = "Zeile ";
inline constexpr std::string_view kHexNoColon = ": beginnt nicht mit ':'";
inline constexpr std::string_view kHexNotHexDigit =
    ": enth\xE4lt ein Zeichen, das keine Hex-Ziffer ist";
inline constexpr std::string_view kHexLineLength =
    ": die L\xE4nge passt nicht zur L\xE4ngenangabe des Satzes";
inline constexpr std::string_view kHexChecksum =
    ": Pr\xFC"
    "fsumme falsch";
inline constexpr std::string_view kHexUnknownType = ": unbekannter Satztyp";
inline constexpr std::string_view kHexRecordLength =
    ": falsche Anzahl Datenbytes f\xFCr den Satztyp";
inline constexpr std::string_view kHexUpperAddress =
    ": Adresse \xFC"
    "ber FFFFh (Satztyp 02 oder 04 mit oberem Teil)";
inline constexpr std::string_view kHexBeyondFFFF =
    ": Daten reichen \xFC"
    "ber FFFFh hinaus";
inline constexpr std::string_view kHexTooLarge =
    ": Daten umfassen mehr als 65504 Bytes (max. 64k mit Header)";
inline constexpr std::string_view kHexOverlap =
    ": Daten \xFC"
    "berschneiden sich mit Zeile ";
inline constexpr std::string_view kHexStartBeyondFFFF =
    ": Startadresse \xFC"
    "ber FFFFh";
inline constexpr std::string_view kHexSecondStart = ": eine zweite, andere Startadresse";
inline constexpr std::string_view kHexNoEndRecord = "Endesatz (:00000001FF) fehlt nach Zeile ";
inline constexpr std::string_view kHexNoData = ": Endesatz vor allen Daten";
// A reception of HEX text: "Intel-HEX-Text: 12 Zeilen, 256 Bytes von 4000h bis 40FFh", then each
// line that is damaged.
inline constexpr std::string_view kHexReceived = "Intel-HEX-Text: ";
inline constexpr std::string_view kHexReceivedLines = " Zeilen, ";
inline constexpr std::string_view kHexReceivedFrom = " Bytes von ";
inline constexpr std::string_view kHexReceivedTo = "h bis ";
// Saving its data when there is none to trust, or when the reception is no HEX text.
inline constexpr std::string_view kHexDataNotSaved =
    "Die Daten des HEX-Textes sind nicht zu sichern: ";
inline constexpr std::string_view kHexTextHint =
    "\r\rAls .hex gesichert wird der Text, wie er kam.";
// The send format beside "als BIN senden": the file as loaded, or as Intel HEX text of 16 or 32
// data bytes a record.
inline constexpr std::string_view kHexSendEntries[] = {"kein HEX", "HEX 16", "HEX 32"};
// The save dialog's filters for a reception of HEX text.
inline constexpr std::string_view kHexDataFiles = "Daten ab AADR (*.bin)";
inline constexpr std::string_view kHexTextFiles = "Intel-HEX-Text, wie empfangen (*.hex)";
inline constexpr std::string_view kNoHexReception = "Der Empfang ist kein Intel-HEX-Text.";

// The progress beside the bar: "43% \x96 1.234 B/s \x96 noch 0:12".
inline constexpr std::string_view kProgressSeparator = " \x96 ";
inline constexpr std::string_view kBytesPerSecond = " B/s";
inline constexpr std::string_view kTimeLeft = "noch ";
// In front of it for a send of lines (HEX text): "Zeile 12/42 \x96 43% ...".
inline constexpr std::string_view kProgressLine = "Zeile ";

// The window "Ansicht" of a finished reception.
inline constexpr std::string_view kViewTitle = "Ansicht";
inline constexpr std::string_view kViewSearch = "Suchen";
inline constexpr std::string_view kViewHex = "Hex";
inline constexpr std::string_view kViewCopy = "Kopieren";
inline constexpr std::string_view kViewNotFound = "Nicht gefunden";
inline constexpr std::string_view kViewNotHex = "Kein Hex: Ziffernpaare aus 0-9 und A-F erwartet";
// Behind each row of the header where the view cannot colour it.
inline constexpr std::string_view kViewHeaderMark = "  \xAB Header";

// The window "Terminal": its title, controls and what it says.
inline constexpr std::string_view kTerminalTitle = "Terminal";
inline constexpr std::string_view kTerminalClear = "L\xF6schen";
inline constexpr std::string_view kTerminalBreak = "BREAK";
inline constexpr std::string_view kTerminalSend = "Senden";
inline constexpr std::string_view kTerminalReceiveStart = "Empfang starten";
inline constexpr std::string_view kTerminalReceiveStop = "Empfang beenden";
inline constexpr std::string_view kTerminalSendFile = "Datei senden";
inline constexpr std::string_view kTerminalExpect = "warten auf";
// The send formats of "Datei senden", in the order of their entries.
inline constexpr std::string_view kTerminalFormats[] = {"z80 (Header)", "BIN",    "XMODEM",
                                                        "XMODEM-1K",    "HEX 16", "HEX 32"};
inline constexpr std::string_view kTerminalHexWanted =
    "Hex-Bytes eingeben, zwei Ziffern je Byte, z. B. 1B 5B 41";

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

// Sending the loaded file again when it changes.
inline constexpr std::string_view kResendOnChange =
    "Bei \xC4"
    "nderung erneut senden";
inline constexpr std::string_view kFileChangedResend =
    "Datei ge\xE4"
    "ndert, wird erneut gesendet";
// Zeichenpause, Zeilenende and "Textdatei senden": text as the home computer's keyboard needs it.
inline constexpr std::string_view kTextFileTitle = "Textdatei senden";
inline constexpr std::string_view kTextFiles = "Textdateien (*.txt, *.bas)";
inline constexpr std::string_view kTextFileSendingPrefix = "Sende Textdatei (Zeilen: ";
inline constexpr std::string_view kTextFileLines = ", Bytes: ";
inline constexpr std::string_view kTextFileBytes = ")...";
inline constexpr std::string_view kTextFileLinePrefix = "Textdatei nicht gesendet: Zeile ";
inline constexpr std::string_view kTextFileMalformed =
    " ist kein UTF-8 (die Datei als UTF-8 sichern).";
inline constexpr std::string_view kTextFileNotInCodePage =
    " enth\xE4lt ein Zeichen, das es in Codepage 1252 nicht gibt.";
inline constexpr std::string_view kPasteLinePrefix = "Eingef\xFCgter Text nicht gesendet: Zeile ";
// "Keine Antwort: ">" kam nicht innerhalb von 10 s, nichts gesendet"
inline constexpr std::string_view kPromptTimeoutPrefix = "Keine Antwort: \"";
inline constexpr std::string_view kPromptTimeoutMiddle = "\" kam nicht innerhalb von ";
inline constexpr std::string_view kPromptTimeoutSuffix = " s, nichts gesendet";
inline constexpr std::string_view kPromptTooLong =
    "Der Text f\xFCr \"warten auf\" ist leer oder zu lang (h\xF6"
    "chstens 40 Zeichen).";
inline constexpr std::string_view kTextFileTooBig = "Textdatei zu gro\xDF (max. 1 MB)...";
// A text file of several lines without a line end: the window asks, velotrix-cli refuses.
inline constexpr std::string_view kTextFileJoinPrefix = "Die Textdatei hat ";
inline constexpr std::string_view kTextFileJoinSuffix =
    " Zeilen; ohne Zeilenende kommen sie als eine einzige an.";
inline constexpr std::string_view kTextFileJoinAsk = "Trotzdem ohne Zeilenende senden?";
inline constexpr std::string_view kCliChooseEol = " --eol cr, crlf oder lf w\xE4hlen.";

// The line log ("Protokoll"): the menu item, its file dialog, the lines of the log and what the
// window lists when it starts, ends or fails.
inline constexpr std::string_view kLogMenu = "Protokoll";
inline constexpr std::string_view kLogTitle = "Protokoll schreiben in:";
inline constexpr std::string_view kLogFiles = "Protokolle (*.log, *.txt)";
inline constexpr std::string_view kLogSuggestedName = "velotrix.log";
inline constexpr std::string_view kLogStarted = "Protokoll begonnen";
inline constexpr std::string_view kLogStopped = "Protokoll beendet";
inline constexpr std::string_view kLogDate = "Datum ";
inline constexpr std::string_view kLogPort = "Port ";
inline constexpr std::string_view kLogOpened =
    " ge\xF6"
    "ffnet";
inline constexpr std::string_view kLogIsOpen = " ist offen";
inline constexpr std::string_view kLogSettings = "Einstellungen: ";
inline constexpr std::string_view kLogLineOn = " an";
inline constexpr std::string_view kLogLineOff = " aus";
inline constexpr std::string_view kLogClosed = "Port geschlossen";
inline constexpr std::string_view kLogLineErrors = "Leitungsfehler:";
inline constexpr std::string_view kLogFraming = " Rahmenfehler";
inline constexpr std::string_view kLogParity = " Parit\xE4tsfehler";
inline constexpr std::string_view kLogOverrun =
    " \xDC"
    "berlauf";
inline constexpr std::string_view kLogBreak = " Break";
inline constexpr std::string_view kLogError = "Fehler: ";
inline constexpr std::string_view kLogBreakSent = "TX Break, ";
inline constexpr std::string_view kLogMs = " ms";
inline constexpr std::string_view kLogMissed = " Bytes fehlen hier (das Protokoll kam nicht nach)";
inline constexpr std::string_view kLogWritingTo = "Protokoll in ";
inline constexpr std::string_view kLogCannotOpen =
    "Protokoll nicht zu \xF6"
    "ffnen: ";
inline constexpr std::string_view kLogFailed = "Protokoll abgebrochen: ";
inline constexpr std::string_view kCliLogExpects = "--log erwartet einen Dateinamen";
// DTR and RTS, and the adapter self-test "Schleifentest" (its box, and stdout of velotrix-cli).
inline constexpr std::string_view kSelfTestCaption = "Schleifentest";
inline constexpr std::string_view kSelfTestNoAnswer =
    "Keine R\xFC"
    "ckmeldung: TX und RX an der Steckerseite verbinden";
inline constexpr std::string_view kSelfTestRunning =
    "Schleifentest l\xE4uft: jeder Bytewert geht hinaus und muss zur\xFC"
    "ckkommen...";
inline constexpr std::string_view kSelfTestSent = "Bytes gesendet: ";
inline constexpr std::string_view kSelfTestLost = "Bytes verloren: ";
inline constexpr std::string_view kSelfTestChanged = "Bytes ver\xE4ndert: ";
inline constexpr std::string_view kSelfTestParity = "Parit\xE4tsfehler: ";
inline constexpr std::string_view kSelfTestFraming = "Rahmenfehler: ";
inline constexpr std::string_view kSelfTestRate = "Rate: ";
inline constexpr std::string_view kSelfTestBaudReached = " Baud erreicht, ";
inline constexpr std::string_view kSelfTestNotMeasured = "nicht messbar, ";
inline constexpr std::string_view kSelfTestBaudExpected = " Baud erwartet";
inline constexpr std::string_view kSelfTestPassed = "Schleifentest bestanden";
inline constexpr std::string_view kSelfTestFailed = "Schleifentest fehlgeschlagen";
// "Schleifentest: 256 Bytes kamen zu sp\xE4t zur\xFC" "ck und wurden verworfen"
inline constexpr std::string_view kSelfTestLateEchoPrefix = "Schleifentest: ";
inline constexpr std::string_view kSelfTestLateEchoSuffix =
    " Bytes kamen zu sp\xE4t zur\xFC"
    "ck und wurden verworfen";
inline constexpr std::string_view kSelfTestBusy =
    "Es l\xE4uft gerade ein Empfang. Bitte warten, bis er zu Ende ist.";
// XMODEM: the start, the progress ("12 Bl\xF6" "cke \x96 1536 Bytes \x96 0 Wiederholungen") and
// each end.
inline constexpr std::string_view kXmodemSendMenu = "XMODEM senden";
inline constexpr std::string_view kXmodemSend1kMenu = "XMODEM-1K senden";
inline constexpr std::string_view kXmodemReceiveMenu = "XMODEM empfangen";
inline constexpr std::string_view kXmodemCancelMenu = "XMODEM abbrechen";
inline constexpr std::string_view kXmodemTrimMenu =
    "F\xFC"
    "llbytes (1Ah) am Ende entfernen";
inline constexpr std::string_view kXmodemSendStart = "XMODEM senden: ";
inline constexpr std::string_view kXmodemSendWaiting =
    " Bytes, warte auf die Anfrage des Empf\xE4"
    "ngers (C oder NAK)...";
inline constexpr std::string_view kXmodemReceiveWaiting =
    "XMODEM empfangen: warte auf den Sender...";
inline constexpr std::string_view kXmodemBlocks =
    " Bl\xF6"
    "cke";
inline constexpr std::string_view kXmodemBytes = " Bytes";
inline constexpr std::string_view kXmodemRetries = " Wiederholungen";
inline constexpr std::string_view kXmodemDash = " \x96 ";
inline constexpr std::string_view kXmodemSent =
    "XMODEM: Datei fertig \xFC"
    "bertragen (";
inline constexpr std::string_view kXmodemReceived = "XMODEM: Datei fertig empfangen (";
inline constexpr std::string_view kXmodemCheckCrc = ", CRC-16)";
inline constexpr std::string_view kXmodemCheckSum =
    ", Pr\xFC"
    "fsumme)";
inline constexpr std::string_view kXmodemCancelledByPeer =
    "XMODEM: von der Gegenseite abgebrochen (CAN)";
inline constexpr std::string_view kXmodemCancelledByUser = "XMODEM: abgebrochen, CAN gesendet";
inline constexpr std::string_view kXmodemTooManyRetries =
    "XMODEM: zu viele Wiederholungen bei Block ";
inline constexpr std::string_view kXmodemCanSent = ", abgebrochen (CAN gesendet)";
inline constexpr std::string_view kXmodemNoStart =
    "XMODEM: 60 s keine Antwort der Gegenseite, abgebrochen (CAN gesendet)";
inline constexpr std::string_view kXmodemTimeout =
    "XMODEM: 10 s Stille w\xE4hrend der \xDC"
    "bertragung, abgebrochen (CAN gesendet)";
inline constexpr std::string_view kXmodemLineLost = "XMODEM: Verbindung verloren bei Block ";
inline constexpr std::string_view kXmodemIncomplete = "Unvollst\xE4ndig: ";
inline constexpr std::string_view kXmodemBytesArrived = " Bytes empfangen";
inline constexpr std::string_view kCliDtrRtsValue = "on|off";
// "RTS l\xE4sst sich an diesem Ger\xE4t nicht setzen", below the OS's text.
inline constexpr std::string_view kModemLineRefused =
    " l\xE4sst sich an diesem Ger\xE4t nicht setzen";
// Saving every reception ("Jeden Empfang sichern in ..." and velotrix-cli receive --all): the
// folder dialog's title, the question that switches it off ("Jeder Empfang wird gesichert in
// /x/y.\rAusschalten?") and the MessageList lines for each reception ("Gesichert als /x/y/A.Z80",
// "Nicht gesichert: /x/y/A.Z80: Zugriff verweigert (keine Berechtigung)").
inline constexpr std::string_view kSaveEveryTitle = "Jeden Empfang sichern in";
inline constexpr std::string_view kSaveEveryIn = "Jeder Empfang wird gesichert in ";
inline constexpr std::string_view kSaveEverySwitchOff = ".\rAusschalten?";
inline constexpr std::string_view kSavedAs = "Gesichert als ";
inline constexpr std::string_view kNotSavedPrefix = "Nicht gesichert: ";
// velotrix-cli info and receive: the labels of the header's lines ("Art: z80"); the addresses,
// the CRC and the length go by the window's own short names.
inline constexpr std::string_view kCliHeaderKind = "Art";
inline constexpr std::string_view kCliHeaderName = "Name";
inline constexpr std::string_view kCliHeaderType = "Typ";

// velotrix-cli receive --all: what it says at its end ("Empf\xE4nge gesichert: 2 von 3").
inline constexpr std::string_view kCliReceptionsSaved =
    "Empf\xE4"
    "nge gesichert: ";
inline constexpr std::string_view kCliOf = " von ";

// velotrix-cli: the hint after a usage error and the help text.
inline constexpr std::string_view kCliUsageHint =
    "Aufruf: velotrix-cli ports | info DATEI... | send DATEI --port PORT [Optionen] |\n"
    "        text TEXT|--file DATEI|--break --port PORT [Optionen] |\n"
    "        receive --port PORT [Optionen] | selftest --port PORT [Optionen]\n"
    "Mehr mit: velotrix-cli --help\n";
inline constexpr std::string_view kCliHelp =
    "velotrix-cli: Dateien \xFC"
    "ber RS-232 mit Z80-Heimcomputern (AC1, LLC2) austauschen,\n"
    "mit denselben Regeln und Meldungen wie das Fenster von Velotrix.\n"
    "\n"
    "Befehle:\n"
    "  ports                 alle Ports wie im Fenster (Name, Adapter, warum belegt),\n"
    "                        dahinter der Ger\xE4tepfad; keine Ports: Exit-Status 1\n"
    "  info DATEI...         l\xE4"
    "dt jede Datei wie \"BIN/Z80 laden\" und zeigt ihren\n"
    "                        Header: Art, AADR, EADR, SADR, CRC, Bytes, Name, Typ;\n"
    "                        bei mehreren Dateien steht vor jedem Block ihr Name;\n"
    "                        .hex und .ihx sind Intel-HEX-Text (L\xFC"
    "cken mit 00h gef\xFCllt)\n"
    "  send DATEI            \xF6"
    "ffnet den Port, l\xE4"
    "dt die Datei und sendet sie einmal\n"
    "                        wie \"Datei senden\" oder mit XMODEM\n"
    "  text TEXT             sendet einen Text (h\xF6"
    "chstens 31 Zeichen) wie \"Senden\"\n"
    "                        im Dialog \"String senden\"\n"
    "  text --file DATEI     sendet eine Textdatei (UTF-8, z. B. ein BASIC-Listing)\n"
    "                        Zeile f\xFCr Zeile wie \"Textdatei senden\"\n"
    "  receive               wartet auf eine Sendung, empf\xE4ngt sie bis zu einer\n"
    "                        Sekunde Stille, zeigt ihren Header und sichert sie\n"
    "  selftest              Schleifentest: TX und RX an der Steckerseite verbinden;\n"
    "                        sendet jeden Bytewert und meldet verlorene und\n"
    "                        ver\xE4nderte Bytes, Parit\xE4ts- und Rahmenfehler und die\n"
    "                        Rate; Exit-Status 0, wenn alles unver\xE4ndert zur\xFC"
    "ckkam\n"
    "\n"
    "Leitung (send, text, receive, selftest):\n"
    "  -p, --port PORT       Ger\xE4tename aus \"ports\" (z. B. ttyUSB0) oder "
    "Ger\xE4tepfad\n"
    "  -b, --baud N          Baudrate, Vorgabe 4800; auch Raten au\xDF"
    "erhalb der Liste\n"
    "                        des Fensters (z. B. 8065), wenn der Treiber sie kann\n"
    "  --parity keine|gerade|ungerade   (none|even|odd), Vorgabe keine\n"
    "  --data 7|8            Datenbits, Vorgabe 8\n"
    "  --stop 1|2            Stoppbits, Vorgabe 1\n"
    "  --flow keine|CTS      Flusskontrolle (none|cts), Vorgabe keine\n"
    "  --dtr on|off          DTR nach dem \xD6"
    "ffnen (an|aus), Vorgabe on: das \xD6"
    "ffnen hebt\n"
    "                        DTR und RTS; off senkt sie gleich danach\n"
    "  --rts on|off          RTS nach dem \xD6"
    "ffnen (an|aus), Vorgabe on\n"
    "  -q, --quiet           keine Auflistung, nur Ergebnisse und Fehler\n"
    "  --log DATEI           Protokoll: jedes gesendete und empfangene Byte mit\n"
    "                        Uhrzeit, dazu \xD6"
    "ffnen, Schlie\xDF"
    "en, Einstellungen und Fehler;\n"
    "                        wird an DATEI angeh\xE4ngt\n"
    "\n"
    "send, text:\n"
    "  --endlos              wie \"Endlos senden\": wiederholt, bis Strg+C\n"
    "  --char-delay MS       Zeichenpause: Stille nach jedem Byte in ms (0 bis 10000)\n"
    "  --eol none|cr|crlf|lf Zeilenende: text hinter dem Text (Vorgabe none) und jeder\n"
    "                        Zeile von --file (Vorgabe cr; eine Datei aus mehreren\n"
    "                        Zeilen wird mit none abgelehnt), send hinter --command\n"
    "                        (Vorgabe und bei none: CR) und hinter jedem HEX-Satz\n"
    "                        (Vorgabe und bei none: CR+LF)\n"
    "  --line-delay MS       Pause nach jedem Zeilenende in ms (0 bis 10000): text\n"
    "                        und send --as hex|hex32\n"
    "\n"
    "text:\n"
    "  --file DATEI          die Textdatei statt TEXT; ein Zeichen, das es in Codepage\n"
    "                        1252 nicht gibt, wird nie ersetzt: die Datei wird abgelehnt\n"
    "  --break               sendet zuerst ein BREAK (eine Viertelsekunde); TEXT darf\n"
    "                        dann fehlen\n"
    "\n"
    "send:\n"
    "  --as z80|bin|hex|hex32|xmodem|xmodem1k   wie die Datei auf die Leitung geht:\n"
    "                        z80 mit Header, Pause und Daten (Vorgabe); bin die Daten\n"
    "                        allein (wie --bin); hex als Intel-HEX-Text, 16 Datenbytes\n"
    "                        je Zeile (hex32: 32), ab AADR, mit Endesatz; xmodem wie \"XMODEM "
    "senden\" in Bl\xF6"
    "cken zu\n"
    "                        128 Bytes, xmodem1k in Bl\xF6"
    "cken zu 1024 Bytes, wenn der\n"
    "                        Empf\xE4nger CRC-16 verlangt; eine z80-Datei mit ihrem\n"
    "                        Header, jede andere (und mit --bin jede) als ihre Daten\n"
    "  --bin                 als BIN senden (ohne Header)\n"
    "  --pause keine|50|100|500|1000   Pause nach dem Header in ms, Vorgabe keine\n"
    "  --no-progress         ohne Fortschrittsanzeige: jeder Block in einem St\xFC"
    "ck\n"
    "  --aadr HEX            Ladeadresse (1-4 Hex-Ziffern); EADR folgt aus der L\xE4nge\n"
    "  --sadr HEX            Startadresse (1-4 Hex-Ziffern)\n"
    "  --name TEXT           Name im Header (h\xF6"
    "chstens 16 Zeichen)\n"
    "  --type BUCHSTABE      Typ im Header: P B F Q T D A C U\n"
    "  --watch               wie \"Bei \xC4"
    "nderung erneut senden\": sendet die\n"
    "                        Datei erneut, sobald sie nach einer \xC4"
    "nderung eine\n"
    "                        halbe Sekunde unver\xE4ndert ist, mit denselben\n"
    "                        Header-Angaben; bis Strg+C\n"
    "  --command TEXT        tippt zuerst TEXT und das Zeilenende (--eol, Vorgabe CR),\n"
    "                        z. B. den Ladebefehl des Monitors\n"
    "  --expect TEXT         wartet vor dem Senden auf TEXT vom Heimcomputer (z. B. \">\"),\n"
    "                        der nach dem Getippten kommt; die Antworten stehen auf stdout\n"
    "  --timeout SEKUNDEN    so lange wird auf --expect gewartet, Vorgabe 10; kommt es\n"
    "                        nicht, wird nichts gesendet (Exit-Status 1)\n"
    "\n"
    "receive:\n"
    "  -o DATEI              sichert unter diesem Namen; ohne -o unter dem\n"
    "                        vorgeschlagenen Namen (NAME.Z80 oder default.bin) im\n"
    "                        aktuellen Verzeichnis\n"
    "  --force               ersetzt eine Datei, die es unter -o schon gibt\n"
    "  --timeout SEKUNDEN    wie lange auf das erste Byte gewartet wird, Vorgabe 60\n"
    "  --all                 sichert jeden Empfang, bis Strg+C oder bis --timeout\n"
    "                        Sekunden lang nichts kam; nie \xFC"
    "ber eine vorhandene Datei,\n"
    "                        sondern als NAME-2.Z80, NAME-3.Z80 ...; Exit-Status 0\n"
    "                        (auch nach Strg+C), wenn jeder Empfang ganz gesichert wurde\n"
    "  -d ORDNER             sichert ohne -o in diesem Ordner statt im aktuellen\n"
    "                        Verzeichnis\n"
    "  --xmodem              empf\xE4ngt eine Datei mit XMODEM wie \"XMODEM empfangen\":\n"
    "                        fragt mit C nach CRC-16, nach drei Versuchen mit NAK nach\n"
    "                        der Pr\xFC"
    "fsumme; wartet 60 s auf den Sender\n"
    "  --trim                mit --xmodem: entfernt die F\xFC"
    "llbytes (1Ah) am Ende des\n"
    "                        letzten Blocks; ohne bleibt die Datei, wie CP/M sie hat\n"
    "  --as hex              der Empfang ist Intel-HEX-Text: sichert seine Daten ab\n"
    "                        AADR (ohne -o als default_AADR.bin); ein Empfang, der kein\n"
    "                        HEX-Text ist oder eine falsche Zeile hat, wird nicht\n"
    "                        gesichert, sondern gerettet (Exit-Status 1)\n"
    "\n"
    "Optionen k\xF6nnen auch als --option=WERT stehen. Die Meldungen des Fensters stehen\n"
    "auf stdout, Fehlermeldungen auf stderr; den Fortschritt zeigt send auf stderr,\n"
    "wenn stderr ein Terminal ist.\n"
    "\n"
    "Exit-Status: 0 Erfolg, 1 \xDC"
    "bertragung oder Datei fehlgeschlagen, 2 falscher Aufruf,\n"
    "130 mit Strg+C, 143 mit SIGTERM abgebrochen (der Port wird sauber geschlossen,\n"
    "was bis dahin empfangen wurde, wird gesichert).\n"
    "--version zeigt die Version.\n"
    "\n"
    "Beispiel:\n"
    "  velotrix-cli send hello_4000.bin --port ttyUSB0 --baud 9600 --pause 500\n";

// velotrix-cli: why a command line is refused. A refused value reads
// "--baud erwartet eine positive Zahl, nicht "x"".
inline constexpr std::string_view kCliExpects = " erwartet ";
inline constexpr std::string_view kCliNot = ", nicht ";
inline constexpr std::string_view kCliPositiveNumber = "eine positive Zahl";
inline constexpr std::string_view kCliHexDigits = "1 bis 4 Hex-Ziffern";
inline constexpr std::string_view kCliOneLetterOf = "einen der Buchstaben ";
inline constexpr std::string_view kCliTimeoutSeconds = "Sekunden (1 bis 86400)";
inline constexpr std::string_view kCliPortExpects =
    "--port erwartet einen Ger\xE4tenamen oder -pfad";
inline constexpr std::string_view kCliOutputExpects = "-o erwartet einen Dateinamen";
inline constexpr std::string_view kCliFolderExpects = "-d erwartet einen Ordner";
// "-o und --all schlie\xDF" "en sich aus"
inline constexpr std::string_view kCliAnd = " und ";
inline constexpr std::string_view kCliExcludeEachOther =
    " schlie\xDF"
    "en sich aus";
inline constexpr std::string_view kCliNameTooLong =
    "--name erlaubt h\xF6"
    "chstens 16 Zeichen";
// "--trim gilt nur mit --xmodem"
inline constexpr std::string_view kCliOnlyWith = " gilt nur mit ";
inline constexpr std::string_view kCliUnexpectedArgument = "unerwartetes Argument ";
inline constexpr std::string_view kCliInfoNeedsFiles = "info erwartet mindestens eine Datei";
inline constexpr std::string_view kCliSendNeedsFile = "send erwartet genau eine Datei";
inline constexpr std::string_view kCliTextNeedsText = "text erwartet genau einen Text";
inline constexpr std::string_view kCliTextTooLong =
    "text erlaubt h\xF6"
    "chstens 31 Zeichen";
inline constexpr std::string_view kCliNoCommand = "kein Befehl angegeben";
inline constexpr std::string_view kCliUnknownCommand = "unbekannter Befehl ";
// "Option --x gibt es f\xFCr diesen Befehl nicht" and its kin.
inline constexpr std::string_view kCliOption = "Option ";
inline constexpr std::string_view kCliNotForCommand = " gibt es f\xFCr diesen Befehl nicht";
inline constexpr std::string_view kCliTakesNoValue = " nimmt keinen Wert";
inline constexpr std::string_view kCliNeedsValue = " erwartet einen Wert";
inline constexpr std::string_view kCliPortMissing = "--port fehlt";
inline constexpr std::string_view kCliDelayMs = "Millisekunden (0 bis 10000)";
inline constexpr std::string_view kCliFileExpects = "--file erwartet einen Dateinamen";
inline constexpr std::string_view kCliFileNotContinuous = "--endlos gilt nicht mit --file";
inline constexpr std::string_view kCliCommandText = "einen Text in Codepage 1252";

// velotrix-cli: what it says while it works ("Die Baudrate 8065 kann der Treiber ...",
// "Warte bis zu 60 s auf Daten an ttyUSB0...", "120 / 512 Bytes  23 %  960 Bytes/s").
inline constexpr std::string_view kCliTheBaudRate = "Die Baudrate ";
inline constexpr std::string_view kCliWaitingFor = " s auf Daten an ";
inline constexpr std::string_view kCliBytes = " Bytes";

}  // namespace velotrix::msg
