// The entries of the message table: each text's name, its German text and its English text, in
// code page 1252. Included by messages.h only, once for each thing it makes of the entries (hence
// no include guard), with VELOTRIX_MESSAGE saying what.
// The German texts are the program's own since its first version: change none of them.
// File names ("-unvollstaendig", "velotrix-gerettet") are the same in both languages, since
// scripts look for them.

// The answers of a question box.
VELOTRIX_MESSAGE(kYes, "Ja", "Yes");
VELOTRIX_MESSAGE(kNo, "Nein", "No");

// Captions of the boxes.
VELOTRIX_MESSAGE(kErrorCaption, "Fehler!", "Error!");
VELOTRIX_MESSAGE(kSystemErrorCaption, "Meldung:", "Message:");
VELOTRIX_MESSAGE(kInfoCaption, "Info", "Info");
VELOTRIX_MESSAGE(kProbeCaption,
                 "Verf\xFC"
                 "gbar",
                 "Available");
VELOTRIX_MESSAGE(kSavedCaption, "Datei wurde erfolgreich geschrieben.",
                 "File was written successfully.");

// The COM button.
VELOTRIX_MESSAGE(kOpenCaption,
                 "COM \xF6"
                 "ffnen",
                 "Open COM");
VELOTRIX_MESSAGE(kCloseCaption,
                 "COM schlie\xDF"
                 "en",
                 "Close COM");

// Boxes.
VELOTRIX_MESSAGE(kNoPorts, "Keine (freien) COM-Ports", "No (free) COM ports");
VELOTRIX_MESSAGE(kBusy,
                 "Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF"
                 "en' abbrechen.",
                 "A send is already running.\rPlease wait or cancel with 'Close COM'.");
VELOTRIX_MESSAGE(kNothingToSend, "Nix da zum Senden.", "Nothing there to send.");
VELOTRIX_MESSAGE(kNothingToSave, "Nix da zum sichern.", "Nothing there to save.");
VELOTRIX_MESSAGE(kNothingToRefresh, "Nix geladen zum Aufrischen.", "Nothing loaded to refresh.");
VELOTRIX_MESSAGE(kCannotCreate, "Datei ist nicht zu erzeugen", "File cannot be created");
VELOTRIX_MESSAGE(kWriteError, "Schreibfehler", "Write error");
VELOTRIX_MESSAGE(kTooBig, "Datei zu gro\xDF (max. 64k)...", "File too big (max. 64k)...");
VELOTRIX_MESSAGE(kTooSmall, "Datei zu klein (min. 32 Bytes)...",
                 "File too small (min. 32 bytes)...");
VELOTRIX_MESSAGE(kLineLost, "Verbindung zum Port verloren: ", "Connection to the port lost: ");
VELOTRIX_MESSAGE(kUnsavedQuit, "Empfangene Daten wurden nicht gesichert. Trotzdem beenden?",
                 "Received data has not been saved. Quit anyway?");
VELOTRIX_MESSAGE(kSendRunningQuit, "Es l\xE4uft noch eine Sendung. Trotzdem beenden?",
                 "A send is still running. Quit anyway?");
VELOTRIX_MESSAGE(kNotSerial, " ist keine serielle Schnittstelle", " is not a serial port");
VELOTRIX_MESSAGE(kIsConsole,
                 " ist die Systemkonsole und wird nicht ge\xF6"
                 "ffnet",
                 " is the system console and is not opened");
VELOTRIX_MESSAGE(kNotRegularFile, " ist keine gew\xF6hnliche Datei", " is not a regular file");

// What the errors a serial user meets mean, in place of the OS's texts.
VELOTRIX_MESSAGE(kErrorNoAccess, "Zugriff verweigert (keine Berechtigung)",
                 "Access denied (no permission)");
VELOTRIX_MESSAGE(kErrorBusy, "Das Ger\xE4t ist belegt (ein anderes Programm benutzt es)",
                 "The device is busy (another program uses it)");
VELOTRIX_MESSAGE(kErrorGone, "Das Ger\xE4t ist nicht (mehr) vorhanden",
                 "The device is not (or no longer) there");
VELOTRIX_MESSAGE(kErrorIo, "Ein-/Ausgabefehler am Ger\xE4t", "Input/output error at the device");
VELOTRIX_MESSAGE(kErrorSettingRefused, "Der Treiber lehnt die Einstellung ab",
                 "The driver refuses the setting");
VELOTRIX_MESSAGE(kErrorNoSuchFile, "Datei oder Ordner nicht gefunden", "No such file or folder");
VELOTRIX_MESSAGE(kErrorDiskFull, "Kein Platz mehr auf dem Datentr\xE4ger",
                 "No space left on the disk");
VELOTRIX_MESSAGE(kErrorReadOnly, "Der Datentr\xE4ger ist schreibgesch\xFCtzt",
                 "The disk is write-protected");
VELOTRIX_MESSAGE(
    kErrorFileTooBig,
    "Die Datei w\xE4re zu gro\xDF f\xFCr den Datentr\xE4ger oder das Limit des Benutzers",
    "The file would be too big for the disk or the user's limit");
VELOTRIX_MESSAGE(kErrorNameTooLong, "Der Dateiname ist zu lang", "The file name is too long");
VELOTRIX_MESSAGE(kErrorIsFolder, "Das ist ein Ordner, keine Datei", "That is a folder, not a file");
VELOTRIX_MESSAGE(kErrorNotSupported, "Das Ger\xE4t kann das nicht", "The device cannot do that");
VELOTRIX_MESSAGE(kNoPortChosen, "Kein Port gew\xE4hlt", "No port chosen");
VELOTRIX_MESSAGE(kGroupHintPrefix, "Der Benutzer muss Mitglied der Gruppe \"",
                 "The user must be a member of the group \"");
VELOTRIX_MESSAGE(kGroupHintSuffix, "\" sein, der das Ger\xE4t geh\xF6rt.",
                 "\" that owns the device.");
// "Das Ger\xE4t l\xE4sst keine Gruppe zu, nur root. Helfen kann root oder eine udev-Regel ..."
VELOTRIX_MESSAGE(kOwnerHintPrefix, "Das Ger\xE4t l\xE4sst keine Gruppe zu, nur ",
                 "The device admits no group, only ");
VELOTRIX_MESSAGE(kOwnerHintMiddle, ". Helfen kann ", ". Help can come from ");
VELOTRIX_MESSAGE(kOwnerHintSuffix,
                 " oder eine udev-Regel, die es einer Gruppe \xF6"
                 "ffnet (GROUP=\"dialout\", MODE=\"0660\").",
                 " or a udev rule that opens it to a group (GROUP=\"dialout\", MODE=\"0660\").");
// The settings a driver refused.
VELOTRIX_MESSAGE(kRefusedBaud, " Baud", " baud");
VELOTRIX_MESSAGE(kRefusedDataBits, " Datenbits", " data bits");
VELOTRIX_MESSAGE(kRefusedStopBits, " Stoppbits", " stop bits");
VELOTRIX_MESSAGE(kRefusedParity, "Parit\xE4t ", "parity ");
VELOTRIX_MESSAGE(kRefusedFlow, "Flusskontrolle ", "flow control ");

// Saving.
VELOTRIX_MESSAGE(kReplacePrefix, "Datei ", "File ");
VELOTRIX_MESSAGE(kReplaceSuffix, " existiert bereits. Ersetzen?", " already exists. Replace it?");
VELOTRIX_MESSAGE(kExistsSavingAs, " gibt es schon, gesichert wird als ",
                 " exists already, saving as ");
VELOTRIX_MESSAGE(kRescuedPrefix, "Empfangene Daten gerettet in ", "Received data rescued in ");
VELOTRIX_MESSAGE(kRescueName, "velotrix-gerettet", "velotrix-gerettet");
VELOTRIX_MESSAGE(kSettingsNotSaved, "Einstellungen nicht gesichert: ", "Settings not saved: ");

// The port list.
VELOTRIX_MESSAGE(kPortBusy, "belegt", "busy");
VELOTRIX_MESSAGE(kPortHolderPid, ", PID ", ", PID ");
VELOTRIX_MESSAGE(kPortHeldBy, "Benutzt von ", "Used by ");
VELOTRIX_MESSAGE(kPortConsole, "Systemkonsole", "system console");
VELOTRIX_MESSAGE(kPortForbidden, "keine Berechtigung", "no permission");
VELOTRIX_MESSAGE(kPortForbiddenGroup, " \x96 Gruppe ", " \x96 group ");
VELOTRIX_MESSAGE(kPortForbiddenOwner, " \x96 nur ", " \x96 only ");
VELOTRIX_MESSAGE(kPortDescriptionDash, " \x96 ", " \x96 ");
VELOTRIX_MESSAGE(kPortOpenHere,
                 "hier ge\xF6"
                 "ffnet",
                 "open here");
VELOTRIX_MESSAGE(kNoPortsFound, "Keine Ports gefunden", "No ports found");

// MessageList lines of a reception.
VELOTRIX_MESSAGE(kReceivedTotal, "Bytes empfangen gesamt: ", "Bytes received in total: ");
VELOTRIX_MESSAGE(kBufferFullPrefix, "Empfangspuffer voll: ", "Receive buffer full: ");
VELOTRIX_MESSAGE(kBufferFullSuffix, " Bytes verworfen", " bytes discarded");
VELOTRIX_MESSAGE(kSaveByButton, "Sichern per Button", "Save with the button");

// MessageList lines of a send.
VELOTRIX_MESSAGE(kSendListingPrefix, "gesendet:  ", "sent:      ");
VELOTRIX_MESSAGE(kBytesSent, "Bytes gesendet: ", "Bytes sent: ");
VELOTRIX_MESSAGE(kBytesToSend, " Bytes zu senden:", " bytes to send:");
// A send that ended early: "Senden abgebrochen nach 40 von 132 Bytes", "Dauersenden abgebrochen
// im 3. Durchgang nach 40 von 132 Bytes".
VELOTRIX_MESSAGE(kSendAborted, "Senden abgebrochen nach ", "Send cancelled after ");
VELOTRIX_MESSAGE(kContinuousAbortedIn, "Dauersenden abgebrochen im ",
                 "Continuous send cancelled in pass ");
VELOTRIX_MESSAGE(kContinuousAbortedPass, ". Durchgang nach ", " after ");
VELOTRIX_MESSAGE(kSendAbortedOf, " von ", " of ");
VELOTRIX_MESSAGE(kSendAbortedBytes, " Bytes", " bytes");
VELOTRIX_MESSAGE(kSendingBin, "Senden ohne Header (BIN)...", "Sending without header (BIN)...");
VELOTRIX_MESSAGE(kSendingZ80, "Senden mit Header als 'z80'...", "Sending with header as 'z80'...");
// "Senden als Intel HEX (Zeilen: 42, Bytes: 1890)..."
VELOTRIX_MESSAGE(kSendingHexPrefix,
                 "Senden als Intel HEX (Zeilen: ", "Sending as Intel HEX (lines: ");
VELOTRIX_MESSAGE(kSendingHexBytes, ", Bytes: ", ", bytes: ");
VELOTRIX_MESSAGE(kSendingHexSuffix, ")...", ")...");
VELOTRIX_MESSAGE(kSendingWait, "Senden l\xE4uft, bitte warten...", "Sending, please wait...");
VELOTRIX_MESSAGE(kSendingHeader, "Sende Header...", "Sending header...");
VELOTRIX_MESSAGE(kSendingData, "Sende Daten...", "Sending data...");
VELOTRIX_MESSAGE(kFileSent,
                 "Datei fertig \xFC"
                 "bertragen",
                 "File transferred completely");
VELOTRIX_MESSAGE(kContinuousFile,
                 "Sende Datei dauernd, Abbruch mit 'COM schlie\xDF"
                 "en'.",
                 "Sending the file continuously, stop with 'Close COM'.");
VELOTRIX_MESSAGE(kContinuousText,
                 "Sende Text dauernd, Abbruch mit 'COM schlie\xDF"
                 "en'",
                 "Sending the text continuously, stop with 'Close COM'");
VELOTRIX_MESSAGE(kDataWraps,
                 "Achtung: Die Daten reichen \xFC"
                 "ber FFFFh hinaus",
                 "Caution: the data reaches beyond FFFFh");
VELOTRIX_MESSAGE(kRefreshed, "Datei-Puffer wurde aktualisiert...", "File buffer was refreshed...");
VELOTRIX_MESSAGE(kCtsWarning1, "Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\xFCtzt!",
                 "Use only when the other station supports CTS-RTS handshake!");
VELOTRIX_MESSAGE(kCtsWarning2, "Ansonsten nicht Senden!", "Otherwise do not send!");
VELOTRIX_MESSAGE(kCtsWarning3, "Dauersenden vermeiden!", "Avoid continuous sending!");

// The port's own reports.
VELOTRIX_MESSAGE(kReopenedPrefix, "Port ", "Port ");
VELOTRIX_MESSAGE(kReopenedSuffix,
                 " wieder ge\xF6"
                 "ffnet",
                 " opened again");
VELOTRIX_MESSAGE(kBaudChangedPrefix, "Der Treiber hat ", "The driver set ");
VELOTRIX_MESSAGE(kBaudChangedMiddle, " Baud eingestellt statt ", " baud instead of ");
VELOTRIX_MESSAGE(kFrameNotTaken,
                 "Der Treiber hat nicht \xFC"
                 "bernommen: ",
                 "The driver did not take: ");

// A reception whose header promised more data than came.
VELOTRIX_MESSAGE(kShortReceptionPrefix, "Empfang unvollst\xE4ndig: ", "Reception incomplete: ");
VELOTRIX_MESSAGE(kShortReceptionMiddle, " von ", " of ");
VELOTRIX_MESSAGE(kShortReceptionSuffix, " Bytes", " bytes");

// The command line's own reports.
VELOTRIX_MESSAGE(kIncompletePrefix, "Empfang unvollst\xE4ndig, ", "Reception incomplete, ");
VELOTRIX_MESSAGE(kIncompleteSuffix, " Bytes gesichert", " bytes saved");
VELOTRIX_MESSAGE(kIncompleteName, "-unvollstaendig", "-unvollstaendig");
VELOTRIX_MESSAGE(kNothingReceivedPrefix, "Nichts empfangen in ", "Nothing received in ");
VELOTRIX_MESSAGE(kInterrupted, "Abgebrochen.", "Interrupted.");
VELOTRIX_MESSAGE(kWaitingPrefix, "Warte bis zu ", "Waiting up to ");
VELOTRIX_MESSAGE(kExistsUseForce, " gibt es schon (--force ersetzt sie)",
                 " exists already (--force replaces it)");
VELOTRIX_MESSAGE(kDriverRefusesBaud, " kann der Treiber nicht einstellen.",
                 " cannot be set by the driver.");

// Fields and panes.
VELOTRIX_MESSAGE(kReceivedBin, "Empfangen: BIN", "Received: BIN");
VELOTRIX_MESSAGE(kReceivedZ80, "Empfangen: z80", "Received: z80");
VELOTRIX_MESSAGE(kReceivedHex, "Empfangen: HEX", "Received: HEX");
VELOTRIX_MESSAGE(kLoadedBin, "Geladen: BIN", "Loaded: BIN");
VELOTRIX_MESSAGE(kLoadedZ80, "Geladen: z80", "Loaded: z80");
VELOTRIX_MESSAGE(kLoadedHex, "Geladen: HEX", "Loaded: HEX");
VELOTRIX_MESSAGE(kBytesReceived, "Bytes empfangen: ", "Bytes received: ");
VELOTRIX_MESSAGE(kBufferLabel, "Puffer:", "Buffer:");

// After a HEX file is loaded ("Intel HEX geladen, L\xFCcken mit 00h gef\xFCllt: 12 Bytes"), and
// why a HEX text is refused, by its line ("Zeile 12: Pr\xFCfsumme falsch", "Zeile 9: Daten
// \xFCberschneiden sich mit Zeile 4").
VELOTRIX_MESSAGE(kHexFilledPrefix,
                 "Intel HEX geladen, L\xFC"
                 "cken mit 00h gef\xFCllt: ",
                 "Intel HEX loaded, gaps filled with 00h: ");
VELOTRIX_MESSAGE(kHexFilledSuffix, " Bytes", " bytes");
VELOTRIX_MESSAGE(kHexNotLoaded, "Intel-HEX-Datei nicht geladen: ", "Intel HEX file not loaded: ");
VELOTRIX_MESSAGE(kHexLine, "Zeile ", "Line ");
VELOTRIX_MESSAGE(kHexNoColon, ": beginnt nicht mit ':'", ": does not begin with ':'");
VELOTRIX_MESSAGE(kHexNotHexDigit, ": enth\xE4lt ein Zeichen, das keine Hex-Ziffer ist",
                 ": holds a character that is not a hex digit");
VELOTRIX_MESSAGE(kHexLineLength, ": die L\xE4nge passt nicht zur L\xE4ngenangabe des Satzes",
                 ": the length does not match the record's length field");
VELOTRIX_MESSAGE(kHexChecksum,
                 ": Pr\xFC"
                 "fsumme falsch",
                 ": wrong checksum");
VELOTRIX_MESSAGE(kHexUnknownType, ": unbekannter Satztyp", ": unknown record type");
VELOTRIX_MESSAGE(kHexRecordLength, ": falsche Anzahl Datenbytes f\xFCr den Satztyp",
                 ": wrong number of data bytes for the record type");
VELOTRIX_MESSAGE(kHexUpperAddress,
                 ": Adresse \xFC"
                 "ber FFFFh (Satztyp 02 oder 04 mit oberem Teil)",
                 ": address beyond FFFFh (record type 02 or 04 with an upper part)");
VELOTRIX_MESSAGE(kHexBeyondFFFF,
                 ": Daten reichen \xFC"
                 "ber FFFFh hinaus",
                 ": data reaches beyond FFFFh");
VELOTRIX_MESSAGE(kHexTooLarge, ": Daten umfassen mehr als 65504 Bytes (max. 64k mit Header)",
                 ": data spans more than 65504 bytes (max. 64k with header)");
VELOTRIX_MESSAGE(kHexOverlap,
                 ": Daten \xFC"
                 "berschneiden sich mit Zeile ",
                 ": data overlaps with line ");
VELOTRIX_MESSAGE(kHexStartBeyondFFFF,
                 ": Startadresse \xFC"
                 "ber FFFFh",
                 ": start address beyond FFFFh");
VELOTRIX_MESSAGE(kHexSecondStart, ": eine zweite, andere Startadresse",
                 ": a second, different start address");
VELOTRIX_MESSAGE(kHexNoEndRecord, "Endesatz (:00000001FF) fehlt nach Zeile ",
                 "End record (:00000001FF) missing after line ");
VELOTRIX_MESSAGE(kHexNoData, ": Endesatz vor allen Daten", ": end record before any data");
// A reception of HEX text: "Intel-HEX-Text: 12 Zeilen, 256 Bytes von 4000h bis 40FFh", then each
// line that is damaged.
VELOTRIX_MESSAGE(kHexReceived, "Intel-HEX-Text: ", "Intel HEX text: ");
VELOTRIX_MESSAGE(kHexReceivedLines, " Zeilen, ", " lines, ");
VELOTRIX_MESSAGE(kHexReceivedFrom, " Bytes von ", " bytes from ");
VELOTRIX_MESSAGE(kHexReceivedTo, "h bis ", "h to ");
// Saving its data when there is none to trust, or when the reception is no HEX text.
VELOTRIX_MESSAGE(kHexDataNotSaved, "Die Daten des HEX-Textes sind nicht zu sichern: ",
                 "The data of the HEX text cannot be saved: ");
VELOTRIX_MESSAGE(kHexTextHint, "\r\rAls .hex gesichert wird der Text, wie er kam.",
                 "\r\rSaved as .hex is the text as it came.");
// The send format beside "als BIN senden": the file as loaded, or as Intel HEX text of 16 or 32
// data bytes a record.
VELOTRIX_MESSAGE(kHexSendEntries1, "kein HEX", "no HEX");
VELOTRIX_MESSAGE(kHexSendEntries2, "HEX 16", "HEX 16");
VELOTRIX_MESSAGE(kHexSendEntries3, "HEX 32", "HEX 32");
// The save dialog's filters for a reception of HEX text.
VELOTRIX_MESSAGE(kHexDataFiles, "Daten ab AADR (*.bin)", "Data from AADR (*.bin)");
VELOTRIX_MESSAGE(kHexTextFiles, "Intel-HEX-Text, wie empfangen (*.hex)",
                 "Intel HEX text, as received (*.hex)");
VELOTRIX_MESSAGE(kNoHexReception, "Der Empfang ist kein Intel-HEX-Text.",
                 "The reception is no Intel HEX text.");

// The progress beside the bar: "43% \x96 1.234 B/s \x96 noch 0:12".
VELOTRIX_MESSAGE(kProgressSeparator, " \x96 ", " \x96 ");
VELOTRIX_MESSAGE(kBytesPerSecond, " B/s", " B/s");
VELOTRIX_MESSAGE(kTimeLeft, "noch ", "left ");
// In front of it for a send of lines (HEX text): "Zeile 12/42 \x96 43% ...".
VELOTRIX_MESSAGE(kProgressLine, "Zeile ", "Line ");

// The window "Ansicht" of a finished reception.
VELOTRIX_MESSAGE(kViewTitle, "Ansicht", "View");
VELOTRIX_MESSAGE(kViewSearch, "Suchen", "Search");
VELOTRIX_MESSAGE(kViewHex, "Hex", "Hex");
VELOTRIX_MESSAGE(kViewCopy, "Kopieren", "Copy");
VELOTRIX_MESSAGE(kViewNotFound, "Nicht gefunden", "Not found");
VELOTRIX_MESSAGE(kViewNotHex, "Kein Hex: Ziffernpaare aus 0-9 und A-F erwartet",
                 "No hex: pairs of digits 0-9 and A-F expected");
// Behind each row of the header where the view cannot colour it.
VELOTRIX_MESSAGE(kViewHeaderMark, "  \xAB Header", "  \xAB header");

// The window "Terminal": its title, controls and what it says.
VELOTRIX_MESSAGE(kTerminalTitle, "Terminal", "Terminal");
VELOTRIX_MESSAGE(kTerminalClear, "L\xF6schen", "Clear");
VELOTRIX_MESSAGE(kTerminalBreak, "BREAK", "BREAK");
VELOTRIX_MESSAGE(kTerminalSend, "Senden", "Send");
VELOTRIX_MESSAGE(kTerminalReceiveStart, "Empfang starten", "Start receiving");
VELOTRIX_MESSAGE(kTerminalReceiveStop, "Empfang beenden", "Stop receiving");
VELOTRIX_MESSAGE(kTerminalSendFile, "Datei senden", "Send file");
VELOTRIX_MESSAGE(kTerminalExpect, "warten auf", "wait for");
// The send formats of "Datei senden", in the order of their entries.
VELOTRIX_MESSAGE(kTerminalFormats1, "z80 (Header)", "z80 (header)");
VELOTRIX_MESSAGE(kTerminalFormats2, "BIN", "BIN");
VELOTRIX_MESSAGE(kTerminalFormats3, "XMODEM", "XMODEM");
VELOTRIX_MESSAGE(kTerminalFormats4, "XMODEM-1K", "XMODEM-1K");
VELOTRIX_MESSAGE(kTerminalFormats5, "HEX 16", "HEX 16");
VELOTRIX_MESSAGE(kTerminalFormats6, "HEX 32", "HEX 32");
VELOTRIX_MESSAGE(kTerminalHexWanted, "Hex-Bytes eingeben, zwei Ziffern je Byte, z. B. 1B 5B 41",
                 "Enter hex bytes, two digits a byte, e.g. 1B 5B 41");

// Dialogs.
VELOTRIX_MESSAGE(kOpenTitle,
                 "Datei ausw\xE4"
                 "hlen:",
                 "Choose a file:");
VELOTRIX_MESSAGE(kSupportedFiles, "unterst\xFCtzte Dateien (*.bin, *z80, *.COM)",
                 "supported files (*.bin, *z80, *.COM)");
VELOTRIX_MESSAGE(kAllFiles, "alle Dateien (*.*)", "all files (*.*)");
VELOTRIX_MESSAGE(kAllFilesSave, "Alle Dateien", "All files");

// What "velotrix --help" prints.
VELOTRIX_MESSAGE(
    kWindowUsage,
    "Aufruf: velotrix [DATEI]\n"
    "        velotrix --help | --version\n"
    "\n"
    "\xD6"
    "ffnet das Fenster von V.24 Velotrix; DATEI wird zum Senden geladen.\n"
    "VELOTRIX_PORTS=PFAD:PFAD... nennt weitere Ports; sie stehen zuerst in der Liste.\n"
    "Ohne Fenster: velotrix-cli --help\n",
    "Usage: velotrix [FILE]\n        velotrix --help | --version\n\nOpens the window of V.24 "
    "Velotrix; FILE is loaded for sending.\nVELOTRIX_PORTS=PATH:PATH... names more ports; they "
    "come first in the list.\nVELOTRIX_LANG=de|en chooses the language (otherwise the locale: de* "
    "German, else English).\nWithout a window: velotrix-cli --help\n");

// The window without a display.
VELOTRIX_MESSAGE(kNoDisplay,
                 "velotrix: keine Anzeige gefunden (DISPLAY und WAYLAND_DISPLAY sind leer); in "
                 "einer grafischen Sitzung starten oder QT_QPA_PLATFORM=offscreen setzen (ohne "
                 "sichtbares Fenster)\n",
                 "velotrix: no display found (DISPLAY and WAYLAND_DISPLAY are empty); start it in "
                 "a graphical session or set QT_QPA_PLATFORM=offscreen (no visible window)\n");

// The window's title and the info box.
// The line the English info box ends with: the German box stays as it always was.
VELOTRIX_MESSAGE(kInfoLanguage, "Sprache: Deutsch (VELOTRIX_LANG=en: English)",
                 "Language: English (VELOTRIX_LANG=de: Deutsch)");
VELOTRIX_MESSAGE(kWindowTitle, "V.24 Velotrix V. 0.8", "V.24 Velotrix V. 0.8");
VELOTRIX_MESSAGE(kInfoLines1, "Datenaustausch mit anderem Rechner per V.24",
                 "Data exchange with another computer over V.24");
VELOTRIX_MESSAGE(kInfoLines2, "AC1, LLC2, ...", "AC1, LLC2, ...");
VELOTRIX_MESSAGE(kInfoLines4, "Kurzanleitung:", "Quick guide:");
VELOTRIX_MESSAGE(kInfoLines5,
                 "1. Protokoll-Einstellungen w\xE4hlen, <COM \xF6"
                 "ffnen>",
                 "1. Choose the line settings, <Open COM>");
VELOTRIX_MESSAGE(kInfoLines6, "2. Velotrix ist nun empfangsbereit.",
                 "2. Velotrix is now ready to receive.");
VELOTRIX_MESSAGE(kInfoLines7,
                 "3. Wenn >1 Sek. Stille nach letztem empfangenen Byte wird der Empfangspuffer",
                 "3. After >1 s of silence following the last byte received, the receive buffer");
VELOTRIX_MESSAGE(kInfoLines8, "    geschlossen und kann als Datei mit <SICHERN> abgelegt werden.",
                 "    is closed and can be stored as a file with <SAVE>.");
VELOTRIX_MESSAGE(kInfoLines9, "4. Zum Senden <BIN/z80 laden> und <Dateisenden> :-)",
                 "4. To send: <Load BIN/z80> and <Send file> :-)");
VELOTRIX_MESSAGE(kInfoLines10, "5. Wurde BIN geladen, wird z80-Header automatisch erzeugt.",
                 "5. When a BIN was loaded, a z80 header is made automatically.");
VELOTRIX_MESSAGE(kInfoLines11, "    Die Kopfdaten sind ggf. anzupassen (Adressen, Name, Typ).",
                 "    Adjust the header data if needed (addresses, name, type).");

// Sending the loaded file again when it changes.
VELOTRIX_MESSAGE(kResendOnChange,
                 "Bei \xC4"
                 "nderung erneut senden",
                 "Send again on change");
VELOTRIX_MESSAGE(kFileChangedResend,
                 "Datei ge\xE4"
                 "ndert, wird erneut gesendet",
                 "File changed, sending it again");
// Zeichenpause, Zeilenende and "Textdatei senden": text as the home computer's keyboard needs it.
VELOTRIX_MESSAGE(kTextFileTitle, "Textdatei senden", "Send text file");
VELOTRIX_MESSAGE(kTextFiles, "Textdateien (*.txt, *.bas)", "Text files (*.txt, *.bas)");
VELOTRIX_MESSAGE(kTextFileSendingPrefix, "Sende Textdatei (Zeilen: ", "Sending text file (lines: ");
VELOTRIX_MESSAGE(kTextFileLines, ", Bytes: ", ", bytes: ");
VELOTRIX_MESSAGE(kTextFileBytes, ")...", ")...");
VELOTRIX_MESSAGE(kTextFileLinePrefix, "Textdatei nicht gesendet: Zeile ",
                 "Text file not sent: line ");
VELOTRIX_MESSAGE(kTextFileMalformed, " ist kein UTF-8 (die Datei als UTF-8 sichern).",
                 " is not UTF-8 (save the file as UTF-8).");
VELOTRIX_MESSAGE(kTextFileNotInCodePage,
                 " enth\xE4lt ein Zeichen, das es in Codepage 1252 nicht gibt.",
                 " holds a character that code page 1252 does not have.");
VELOTRIX_MESSAGE(kPasteLinePrefix, "Eingef\xFCgter Text nicht gesendet: Zeile ",
                 "Pasted text not sent: line ");
// "Keine Antwort: ">" kam nicht innerhalb von 10 s, nichts gesendet"
VELOTRIX_MESSAGE(kPromptTimeoutPrefix, "Keine Antwort: \"", "No answer: \"");
VELOTRIX_MESSAGE(kPromptTimeoutMiddle, "\" kam nicht innerhalb von ", "\" did not come within ");
VELOTRIX_MESSAGE(kPromptTimeoutSuffix, " s, nichts gesendet", " s, nothing sent");
VELOTRIX_MESSAGE(kPromptTooLong,
                 "Der Text f\xFCr \"warten auf\" ist leer oder zu lang (h\xF6"
                 "chstens 40 Zeichen).",
                 "The text for \"wait for\" is empty or too long (at most 40 characters).");
VELOTRIX_MESSAGE(kTextFileTooBig, "Textdatei zu gro\xDF (max. 1 MB)...",
                 "Text file too big (max. 1 MB)...");
// A text file of several lines without a line end: the window asks, velotrix-cli refuses.
VELOTRIX_MESSAGE(kTextFileJoinPrefix, "Die Textdatei hat ", "The text file has ");
VELOTRIX_MESSAGE(kTextFileJoinSuffix, " Zeilen; ohne Zeilenende kommen sie als eine einzige an.",
                 " lines; without a line end they arrive as one single line.");
VELOTRIX_MESSAGE(kTextFileJoinAsk, "Trotzdem ohne Zeilenende senden?",
                 "Send without a line end anyway?");
VELOTRIX_MESSAGE(kCliChooseEol, " --eol cr, crlf oder lf w\xE4hlen.",
                 " Choose --eol cr, crlf or lf.");

// The line log ("Protokoll"): the menu item, its file dialog, the lines of the log and what the
// window lists when it starts, ends or fails.
VELOTRIX_MESSAGE(kLogMenu, "Protokoll", "Log");
VELOTRIX_MESSAGE(kLogTitle, "Protokoll schreiben in:", "Write the log to:");
VELOTRIX_MESSAGE(kLogFiles, "Protokolle (*.log, *.txt)", "Logs (*.log, *.txt)");
VELOTRIX_MESSAGE(kLogSuggestedName, "velotrix.log", "velotrix.log");
VELOTRIX_MESSAGE(kLogStarted, "Protokoll begonnen", "Log started");
VELOTRIX_MESSAGE(kLogStopped, "Protokoll beendet", "Log stopped");
VELOTRIX_MESSAGE(kLogDate, "Datum ", "Date ");
VELOTRIX_MESSAGE(kLogPort, "Port ", "Port ");
VELOTRIX_MESSAGE(kLogOpened,
                 " ge\xF6"
                 "ffnet",
                 " opened");
VELOTRIX_MESSAGE(kLogIsOpen, " ist offen", " is open");
VELOTRIX_MESSAGE(kLogSettings, "Einstellungen: ", "Settings: ");
VELOTRIX_MESSAGE(kLogLineOn, " an", " on");
VELOTRIX_MESSAGE(kLogLineOff, " aus", " off");
VELOTRIX_MESSAGE(kLogClosed, "Port geschlossen", "Port closed");
VELOTRIX_MESSAGE(kLogLineErrors, "Leitungsfehler:", "Line errors:");
VELOTRIX_MESSAGE(kLogFraming, " Rahmenfehler", " framing");
VELOTRIX_MESSAGE(kLogParity, " Parit\xE4tsfehler", " parity");
VELOTRIX_MESSAGE(kLogOverrun,
                 " \xDC"
                 "berlauf",
                 " overrun");
VELOTRIX_MESSAGE(kLogBreak, " Break", " break");
VELOTRIX_MESSAGE(kLogError, "Fehler: ", "Error: ");
VELOTRIX_MESSAGE(kLogBreakSent, "TX Break, ", "TX break, ");
VELOTRIX_MESSAGE(kLogMs, " ms", " ms");
VELOTRIX_MESSAGE(kLogMissed, " Bytes fehlen hier (das Protokoll kam nicht nach)",
                 " bytes missing here (the log could not keep up)");
VELOTRIX_MESSAGE(kLogWritingTo, "Protokoll in ", "Log in ");
VELOTRIX_MESSAGE(kLogCannotOpen,
                 "Protokoll nicht zu \xF6"
                 "ffnen: ",
                 "Log cannot be opened: ");
VELOTRIX_MESSAGE(kLogFailed, "Protokoll abgebrochen: ", "Log stopped: ");
VELOTRIX_MESSAGE(kCliLogExpects, "--log erwartet einen Dateinamen", "--log expects a file name");
// DTR and RTS, and the adapter self-test "Schleifentest" (its box, and stdout of velotrix-cli).
VELOTRIX_MESSAGE(kSelfTestCaption, "Schleifentest", "Loopback test");
VELOTRIX_MESSAGE(kSelfTestNoAnswer,
                 "Keine R\xFC"
                 "ckmeldung: TX und RX an der Steckerseite verbinden",
                 "No echo: connect TX and RX at the plug");
VELOTRIX_MESSAGE(kSelfTestRunning,
                 "Schleifentest l\xE4uft: jeder Bytewert geht hinaus und muss zur\xFC"
                 "ckkommen...",
                 "Loopback test running: every byte value goes out and must come back...");
VELOTRIX_MESSAGE(kSelfTestSent, "Bytes gesendet: ", "Bytes sent: ");
VELOTRIX_MESSAGE(kSelfTestLost, "Bytes verloren: ", "Bytes lost: ");
VELOTRIX_MESSAGE(kSelfTestChanged, "Bytes ver\xE4ndert: ", "Bytes changed: ");
VELOTRIX_MESSAGE(kSelfTestParity, "Parit\xE4tsfehler: ", "Parity errors: ");
VELOTRIX_MESSAGE(kSelfTestFraming, "Rahmenfehler: ", "Framing errors: ");
VELOTRIX_MESSAGE(kSelfTestRate, "Rate: ", "Rate: ");
VELOTRIX_MESSAGE(kSelfTestBaudReached, " Baud erreicht, ", " baud reached, ");
VELOTRIX_MESSAGE(kSelfTestNotMeasured, "nicht messbar, ", "not measurable, ");
VELOTRIX_MESSAGE(kSelfTestBaudExpected, " Baud erwartet", " baud expected");
VELOTRIX_MESSAGE(kSelfTestPassed, "Schleifentest bestanden", "Loopback test passed");
VELOTRIX_MESSAGE(kSelfTestFailed, "Schleifentest fehlgeschlagen", "Loopback test failed");
// "Schleifentest: 256 Bytes kamen zu sp\xE4t zur\xFC" "ck und wurden verworfen"
VELOTRIX_MESSAGE(kSelfTestLateEchoPrefix, "Schleifentest: ", "Loopback test: ");
VELOTRIX_MESSAGE(kSelfTestLateEchoSuffix,
                 " Bytes kamen zu sp\xE4t zur\xFC"
                 "ck und wurden verworfen",
                 " bytes came back too late and were discarded");
VELOTRIX_MESSAGE(kSelfTestBusy, "Es l\xE4uft gerade ein Empfang. Bitte warten, bis er zu Ende ist.",
                 "A reception is running. Please wait until it has ended.");
// XMODEM: the start, the progress ("12 Bl\xF6" "cke \x96 1536 Bytes \x96 0 Wiederholungen") and
// each end.
VELOTRIX_MESSAGE(kXmodemSendMenu, "XMODEM senden", "Send XMODEM");
VELOTRIX_MESSAGE(kXmodemSend1kMenu, "XMODEM-1K senden", "Send XMODEM-1K");
VELOTRIX_MESSAGE(kXmodemReceiveMenu, "XMODEM empfangen", "Receive XMODEM");
VELOTRIX_MESSAGE(kXmodemCancelMenu, "XMODEM abbrechen", "Cancel XMODEM");
VELOTRIX_MESSAGE(kXmodemTrimMenu,
                 "F\xFC"
                 "llbytes (1Ah) am Ende entfernen",
                 "Remove padding bytes (1Ah) at the end");
VELOTRIX_MESSAGE(kXmodemSendStart, "XMODEM senden: ", "Sending XMODEM: ");
VELOTRIX_MESSAGE(kXmodemSendWaiting,
                 " Bytes, warte auf die Anfrage des Empf\xE4"
                 "ngers (C oder NAK)...",
                 " bytes, waiting for the receiver's request (C or NAK)...");
VELOTRIX_MESSAGE(kXmodemReceiveWaiting, "XMODEM empfangen: warte auf den Sender...",
                 "Receiving XMODEM: waiting for the sender...");
VELOTRIX_MESSAGE(kXmodemBlocks,
                 " Bl\xF6"
                 "cke",
                 " blocks");
VELOTRIX_MESSAGE(kXmodemBytes, " Bytes", " bytes");
VELOTRIX_MESSAGE(kXmodemRetries, " Wiederholungen", " retries");
VELOTRIX_MESSAGE(kXmodemDash, " \x96 ", " \x96 ");
VELOTRIX_MESSAGE(kXmodemSent,
                 "XMODEM: Datei fertig \xFC"
                 "bertragen (",
                 "XMODEM: file transferred completely (");
VELOTRIX_MESSAGE(kXmodemReceived, "XMODEM: Datei fertig empfangen (",
                 "XMODEM: file received completely (");
VELOTRIX_MESSAGE(kXmodemCheckCrc, ", CRC-16)", ", CRC-16)");
VELOTRIX_MESSAGE(kXmodemCheckSum,
                 ", Pr\xFC"
                 "fsumme)",
                 ", checksum)");
VELOTRIX_MESSAGE(kXmodemCancelledByPeer, "XMODEM: von der Gegenseite abgebrochen (CAN)",
                 "XMODEM: cancelled by the other side (CAN)");
VELOTRIX_MESSAGE(kXmodemCancelledByUser, "XMODEM: abgebrochen, CAN gesendet",
                 "XMODEM: cancelled, CAN sent");
VELOTRIX_MESSAGE(kXmodemTooManyRetries, "XMODEM: zu viele Wiederholungen bei Block ",
                 "XMODEM: too many retries at block ");
VELOTRIX_MESSAGE(kXmodemCanSent, ", abgebrochen (CAN gesendet)", ", cancelled (CAN sent)");
VELOTRIX_MESSAGE(kXmodemNoStart,
                 "XMODEM: 60 s keine Antwort der Gegenseite, abgebrochen (CAN gesendet)",
                 "XMODEM: 60 s without an answer from the other side, cancelled (CAN sent)");
VELOTRIX_MESSAGE(kXmodemTimeout,
                 "XMODEM: 10 s Stille w\xE4hrend der \xDC"
                 "bertragung, abgebrochen (CAN gesendet)",
                 "XMODEM: 10 s of silence during the transfer, cancelled (CAN sent)");
VELOTRIX_MESSAGE(kXmodemLineLost, "XMODEM: Verbindung verloren bei Block ",
                 "XMODEM: connection lost at block ");
VELOTRIX_MESSAGE(kXmodemIncomplete, "Unvollst\xE4ndig: ", "Incomplete: ");
VELOTRIX_MESSAGE(kXmodemBytesArrived, " Bytes empfangen", " bytes received");
VELOTRIX_MESSAGE(kCliDtrRtsValue, "on|off", "on|off");
// "RTS l\xE4sst sich an diesem Ger\xE4t nicht setzen", below the OS's text.
VELOTRIX_MESSAGE(kModemLineRefused, " l\xE4sst sich an diesem Ger\xE4t nicht setzen",
                 " cannot be set on this device");
// Saving every reception ("Jeden Empfang sichern in ..." and velotrix-cli receive --all): the
// folder dialog's title, the question that switches it off ("Jeder Empfang wird gesichert in
// /x/y.\rAusschalten?") and the MessageList lines for each reception ("Gesichert als /x/y/A.Z80",
// "Nicht gesichert: /x/y/A.Z80: Zugriff verweigert (keine Berechtigung)").
VELOTRIX_MESSAGE(kSaveEveryTitle, "Jeden Empfang sichern in", "Save every reception in");
VELOTRIX_MESSAGE(kSaveEveryIn, "Jeder Empfang wird gesichert in ", "Every reception is saved in ");
VELOTRIX_MESSAGE(kSaveEverySwitchOff, ".\rAusschalten?", ".\rSwitch it off?");
VELOTRIX_MESSAGE(kSavedAs, "Gesichert als ", "Saved as ");
VELOTRIX_MESSAGE(kNotSavedPrefix, "Nicht gesichert: ", "Not saved: ");
// velotrix-cli info and receive: the labels of the header's lines ("Art: z80"); the addresses,
// the CRC and the length go by the window's own short names.
VELOTRIX_MESSAGE(kCliHeaderKind, "Art", "Kind");
VELOTRIX_MESSAGE(kCliHeaderName, "Name", "Name");
VELOTRIX_MESSAGE(kCliHeaderType, "Typ", "Type");

// velotrix-cli receive --all: what it says at its end ("Empf\xE4nge gesichert: 2 von 3").
VELOTRIX_MESSAGE(kCliReceptionsSaved,
                 "Empf\xE4"
                 "nge gesichert: ",
                 "Receptions saved: ");
VELOTRIX_MESSAGE(kCliOf, " von ", " of ");

// velotrix-cli: the hint after a usage error and the help text.
VELOTRIX_MESSAGE(
    kCliUsageHint,
    "Aufruf: velotrix-cli ports | info DATEI... | send DATEI --port PORT [Optionen] |\n"
    "        text TEXT|--file DATEI|--break --port PORT [Optionen] |\n"
    "        receive --port PORT [Optionen] | selftest --port PORT [Optionen]\n"
    "Mehr mit: velotrix-cli --help\n",
    "Usage: velotrix-cli ports | info FILE... | send FILE --port PORT [options] |\n"
    "        text TEXT|--file FILE|--break --port PORT [options] |\n"
    "        receive --port PORT [options] | selftest --port PORT [options]\n"
    "More with: velotrix-cli --help\n");
VELOTRIX_MESSAGE(
    kCliHelp,
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
    "  velotrix-cli send hello_4000.bin --port ttyUSB0 --baud 9600 --pause 500\n",
    "velotrix-cli: exchange files over RS-232 with Z80 home computers (AC1, LLC2),\n"
    "with the same rules and messages as the window of Velotrix.\n"
    "\n"
    "Commands:\n"
    "  ports                 all ports as in the window (name, adapter, why busy),\n"
    "                        followed by the device path; no ports: exit status 1\n"
    "  info FILE...          loads each file as \"Load BIN/Z80\" does and shows its\n"
    "                        header: kind, AADR, EADR, SADR, CRC, bytes, name, type;\n"
    "                        with several files each block starts with its name;\n"
    "                        .hex and .ihx are Intel HEX text (gaps filled with 00h)\n"
    "  send FILE             opens the port, loads the file and sends it once\n"
    "                        as \"Send file\" does, or with XMODEM\n"
    "  text TEXT             sends a text (at most 31 characters) as \"Send\" does\n"
    "                        in the dialog \"Send string\"\n"
    "  text --file FILE      sends a text file (UTF-8, e.g. a BASIC listing)\n"
    "                        line by line as \"Send text file\" does\n"
    "  receive               waits for a transmission, receives it up to one\n"
    "                        second of silence, shows its header and saves it\n"
    "  selftest              loopback test: connect TX and RX at the plug;\n"
    "                        sends every byte value and reports lost and changed\n"
    "                        bytes, parity and framing errors and the rate;\n"
    "                        exit status 0 when everything came back unchanged\n"
    "\n"
    "Line (send, text, receive, selftest):\n"
    "  -p, --port PORT       device name from \"ports\" (e.g. ttyUSB0) or device path\n"
    "  -b, --baud N          baud rate, default 4800; also rates outside the window's\n"
    "                        list (e.g. 8065) when the driver can do them\n"
    "  --parity none|even|odd   (keine|gerade|ungerade), default none\n"
    "  --data 7|8            data bits, default 8\n"
    "  --stop 1|2            stop bits, default 1\n"
    "  --flow none|cts       flow control (keine|CTS), default none\n"
    "  --dtr on|off          DTR after opening (an|aus), default on: opening raises\n"
    "                        DTR and RTS; off lowers them right after\n"
    "  --rts on|off          RTS after opening (an|aus), default on\n"
    "  -q, --quiet           no listing, only results and errors\n"
    "  --log FILE            log: every byte sent and received with the time of\n"
    "                        day, and opening, closing, settings and errors;\n"
    "                        appended to FILE\n"
    "\n"
    "send, text:\n"
    "  --endlos              as \"Send continuously\": repeats until Ctrl+C\n"
    "  --char-delay MS       character pause: silence after each byte in ms\n"
    "                        (0 to 10000)\n"
    "  --eol none|cr|crlf|lf line end: text after the text (default none) and each\n"
    "                        line of --file (default cr; a file of several lines\n"
    "                        is refused with none), send after --command\n"
    "                        (default and with none: CR) and after each HEX record\n"
    "                        (default and with none: CR+LF)\n"
    "  --line-delay MS       pause after each line end in ms (0 to 10000): text\n"
    "                        and send --as hex|hex32\n"
    "\n"
    "text:\n"
    "  --file FILE           the text file instead of TEXT; a character that code\n"
    "                        page 1252 does not have is never replaced: the file\n"
    "                        is refused\n"
    "  --break               first sends a BREAK (a quarter of a second); TEXT may\n"
    "                        then be left out\n"
    "\n"
    "send:\n"
    "  --as z80|bin|hex|hex32|xmodem|xmodem1k   how the file goes onto the line:\n"
    "                        z80 with header, pause and data (default); bin the data\n"
    "                        alone (as --bin); hex as Intel HEX text, 16 data bytes\n"
    "                        a line (hex32: 32), from AADR, with end record; xmodem\n"
    "                        as \"Send XMODEM\" in blocks of 128 bytes, xmodem1k in\n"
    "                        blocks of 1024 bytes when the\n"
    "                        receiver asks for CRC-16; a z80 file with its\n"
    "                        header, any other (and with --bin any) as its data\n"
    "  --bin                 send as BIN (without header)\n"
    "  --pause none|50|100|500|1000   pause after the header in ms, default none\n"
    "  --no-progress         without progress display: each block in one piece\n"
    "  --aadr HEX            load address (1-4 hex digits); EADR follows from the\n"
    "                        length\n"
    "  --sadr HEX            start address (1-4 hex digits)\n"
    "  --name TEXT           name in the header (at most 16 characters)\n"
    "  --type LETTER         type in the header: P B F Q T D A C U\n"
    "  --watch               as \"Send again on change\": sends the\n"
    "                        file again as soon as it has stayed unchanged for half\n"
    "                        a second after a change, with the same\n"
    "                        header values; until Ctrl+C\n"
    "  --command TEXT        first types TEXT and the line end (--eol, default CR),\n"
    "                        e.g. the monitor's load command\n"
    "  --expect TEXT         before sending waits for TEXT from the home computer\n"
    "                        (e.g. \">\") that comes after what was typed; the\n"
    "                        answers go to stdout\n"
    "  --timeout SECONDS     how long --expect waits, default 10; if it does not\n"
    "                        come, nothing is sent (exit status 1)\n"
    "\n"
    "receive:\n"
    "  -o FILE               saves under this name; without -o under the\n"
    "                        suggested name (NAME.Z80 or default.bin) in the\n"
    "                        current directory\n"
    "  --force               replaces a file that exists under -o\n"
    "  --timeout SECONDS     how long to wait for the first byte, default 60\n"
    "  --all                 saves every reception, until Ctrl+C or until nothing\n"
    "                        came for --timeout seconds; never over an existing file,\n"
    "                        but as NAME-2.Z80, NAME-3.Z80 ...; exit status 0\n"
    "                        (also after Ctrl+C) when every reception was saved whole\n"
    "  -d FOLDER             without -o saves in this folder instead of the current\n"
    "                        directory\n"
    "  --xmodem              receives a file with XMODEM as \"Receive XMODEM\" does:\n"
    "                        asks with C for CRC-16, after three tries with NAK for\n"
    "                        the checksum; waits 60 s for the sender\n"
    "  --trim                with --xmodem: removes the padding bytes (1Ah) at the\n"
    "                        end of the last block; without, the file stays as\n"
    "                        CP/M has it\n"
    "  --as hex              the reception is Intel HEX text: saves its data from\n"
    "                        AADR (without -o as default_AADR.bin); a reception\n"
    "                        that is no HEX text or has a wrong line is not saved\n"
    "                        but rescued (exit status 1)\n"
    "\n"
    "Options may also be written as --option=VALUE. The window's messages go\n"
    "to stdout, error messages to stderr; send shows the progress on stderr\n"
    "when stderr is a terminal.\n"
    "Messages in English or German: VELOTRIX_LANG=en|de, otherwise the locale\n"
    "(LC_ALL, LC_MESSAGES, LANG: de* German, anything else English).\n"
    "\n"
    "Exit status: 0 success, 1 transfer or file failed, 2 wrong usage,\n"
    "130 cancelled with Ctrl+C, 143 with SIGTERM (the port is closed cleanly,\n"
    "what was received until then is saved).\n"
    "--version shows the version.\n"
    "\n"
    "Example:\n"
    "  velotrix-cli send hello_4000.bin --port ttyUSB0 --baud 9600 --pause 500\n");

// velotrix-cli: why a command line is refused. A refused value reads
// "--baud erwartet eine positive Zahl, nicht "x"".
VELOTRIX_MESSAGE(kCliExpects, " erwartet ", " expects ");
VELOTRIX_MESSAGE(kCliNot, ", nicht ", ", not ");
VELOTRIX_MESSAGE(kCliPositiveNumber, "eine positive Zahl", "a positive number");
VELOTRIX_MESSAGE(kCliHexDigits, "1 bis 4 Hex-Ziffern", "1 to 4 hex digits");
VELOTRIX_MESSAGE(kCliOneLetterOf, "einen der Buchstaben ", "one of the letters ");
VELOTRIX_MESSAGE(kCliTimeoutSeconds, "Sekunden (1 bis 86400)", "seconds (1 to 86400)");
VELOTRIX_MESSAGE(kCliPortExpects, "--port erwartet einen Ger\xE4tenamen oder -pfad",
                 "--port expects a device name or path");
VELOTRIX_MESSAGE(kCliOutputExpects, "-o erwartet einen Dateinamen", "-o expects a file name");
VELOTRIX_MESSAGE(kCliFolderExpects, "-d erwartet einen Ordner", "-d expects a folder");
// "-o und --all schlie\xDF" "en sich aus"
VELOTRIX_MESSAGE(kCliAnd, " und ", " and ");
VELOTRIX_MESSAGE(kCliExcludeEachOther,
                 " schlie\xDF"
                 "en sich aus",
                 " exclude each other");
VELOTRIX_MESSAGE(kCliNameTooLong,
                 "--name erlaubt h\xF6"
                 "chstens 16 Zeichen",
                 "--name allows at most 16 characters");
// "--trim gilt nur mit --xmodem"
VELOTRIX_MESSAGE(kCliOnlyWith, " gilt nur mit ", " only goes with ");
VELOTRIX_MESSAGE(kCliUnexpectedArgument, "unerwartetes Argument ", "unexpected argument ");
VELOTRIX_MESSAGE(kCliInfoNeedsFiles, "info erwartet mindestens eine Datei",
                 "info expects at least one file");
VELOTRIX_MESSAGE(kCliSendNeedsFile, "send erwartet genau eine Datei",
                 "send expects exactly one file");
VELOTRIX_MESSAGE(kCliTextNeedsText, "text erwartet genau einen Text",
                 "text expects exactly one text");
VELOTRIX_MESSAGE(kCliTextTooLong,
                 "text erlaubt h\xF6"
                 "chstens 31 Zeichen",
                 "text allows at most 31 characters");
VELOTRIX_MESSAGE(kCliNoCommand, "kein Befehl angegeben", "no command given");
VELOTRIX_MESSAGE(kCliUnknownCommand, "unbekannter Befehl ", "unknown command ");
// "Option --x gibt es f\xFCr diesen Befehl nicht" and its kin.
VELOTRIX_MESSAGE(kCliOption, "Option ", "Option ");
VELOTRIX_MESSAGE(kCliNotForCommand, " gibt es f\xFCr diesen Befehl nicht",
                 " does not exist for this command");
VELOTRIX_MESSAGE(kCliTakesNoValue, " nimmt keinen Wert", " takes no value");
VELOTRIX_MESSAGE(kCliNeedsValue, " erwartet einen Wert", " expects a value");
VELOTRIX_MESSAGE(kCliPortMissing, "--port fehlt", "--port is missing");
VELOTRIX_MESSAGE(kCliDelayMs, "Millisekunden (0 bis 10000)", "milliseconds (0 to 10000)");
VELOTRIX_MESSAGE(kCliFileExpects, "--file erwartet einen Dateinamen", "--file expects a file name");
VELOTRIX_MESSAGE(kCliFileNotContinuous, "--endlos gilt nicht mit --file",
                 "--endlos does not go with --file");
VELOTRIX_MESSAGE(kCliCommandText, "einen Text in Codepage 1252", "a text in code page 1252");

// velotrix-cli: what it says while it works ("Die Baudrate 8065 kann der Treiber ...",
// "Warte bis zu 60 s auf Daten an ttyUSB0...", "120 / 512 Bytes  23 %  960 Bytes/s").
VELOTRIX_MESSAGE(kCliTheBaudRate, "Die Baudrate ", "The baud rate ");
VELOTRIX_MESSAGE(kCliWaitingFor, " s auf Daten an ", " s for data on ");
VELOTRIX_MESSAGE(kCliBytes, " Bytes", " bytes");
