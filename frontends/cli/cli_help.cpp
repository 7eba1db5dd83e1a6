// The help text of velotrix-cli and the hint that follows a usage error.
#include "frontends/cli/cli_options.h"

namespace velotrix::cli {

std::string VersionText() {
    return "velotrix-cli " VELOTRIX_VERSION;
}

std::string UsageHint() {
    return "Aufruf: velotrix-cli ports | info DATEI... | send DATEI --port PORT [Optionen] |\n"
           "        text TEXT --port PORT [Optionen] | receive --port PORT [Optionen]\n"
           "Mehr mit: velotrix-cli --help\n";
}

std::string HelpText() {
    return "velotrix-cli: Dateien \xFC"
           "ber RS-232 mit Z80-Heimcomputern (AC1, LLC2) austauschen,\n"
           "mit denselben Regeln und Meldungen wie das Fenster von Velotrix.\n"
           "\n"
           "Befehle:\n"
           "  ports                 alle Ports wie im Fenster (Name, Adapter, warum belegt),\n"
           "                        dahinter der Ger\xE4tepfad; keine Ports: Exit-Status 1\n"
           "  info DATEI...         l\xE4"
           "dt jede Datei wie \"BIN/Z80 laden\" und zeigt ihren\n"
           "                        Header: Art, AADR, EADR, SADR, CRC, Bytes, Name, Typ;\n"
           "                        bei mehreren Dateien steht vor jedem Block ihr Name\n"
           "  send DATEI            \xF6"
           "ffnet den Port, l\xE4"
           "dt die Datei und sendet sie einmal\n"
           "                        wie \"Datei senden\"\n"
           "  text TEXT             sendet einen Text (h\xF6"
           "chstens 31 Zeichen) wie \"Senden\"\n"
           "                        im Dialog \"String senden\"\n"
           "  receive               wartet auf eine Sendung, empf\xE4ngt sie bis zu einer\n"
           "                        Sekunde Stille, zeigt ihren Header und sichert sie\n"
           "\n"
           "Leitung (send, text, receive):\n"
           "  -p, --port PORT       Ger\xE4tename aus \"ports\" (z. B. ttyUSB0) oder "
           "Ger\xE4tepfad\n"
           "  -b, --baud N          Baudrate, Vorgabe 4800; auch Raten au\xDF"
           "erhalb der Liste\n"
           "                        des Fensters (z. B. 8065), wenn der Treiber sie kann\n"
           "  --parity keine|gerade|ungerade   (none|even|odd), Vorgabe keine\n"
           "  --data 7|8            Datenbits, Vorgabe 8\n"
           "  --stop 1|2            Stoppbits, Vorgabe 1\n"
           "  --flow keine|CTS      Flusskontrolle (none|cts), Vorgabe keine\n"
           "  -q, --quiet           keine Auflistung, nur Ergebnisse und Fehler\n"
           "\n"
           "send, text:\n"
           "  --endlos              wie \"Endlos senden\": wiederholt, bis Strg+C\n"
           "\n"
           "send:\n"
           "  --bin                 als BIN senden (ohne Header)\n"
           "  --pause keine|50|100|500|1000   Pause nach dem Header in ms, Vorgabe keine\n"
           "  --no-progress         ohne Fortschrittsanzeige: jeder Block in einem St\xFC"
           "ck\n"
           "  --aadr HEX            Ladeadresse (1-4 Hex-Ziffern); EADR folgt aus der L\xE4nge\n"
           "  --sadr HEX            Startadresse (1-4 Hex-Ziffern)\n"
           "  --name TEXT           Name im Header (h\xF6"
           "chstens 16 Zeichen)\n"
           "  --type BUCHSTABE      Typ im Header: P B F Q T D A C U\n"
           "\n"
           "receive:\n"
           "  -o DATEI              sichert unter diesem Namen; ohne -o unter dem\n"
           "                        vorgeschlagenen Namen (NAME.Z80 oder default.bin) im\n"
           "                        aktuellen Verzeichnis\n"
           "  --force               ersetzt eine Datei, die es unter -o schon gibt\n"
           "  --timeout SEKUNDEN    wie lange auf das erste Byte gewartet wird, Vorgabe 60\n"
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
}

}  // namespace velotrix::cli
