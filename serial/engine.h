// The engine in the user's terms, for every face of the program: open and close a port, load a
// file into the transmit image, send it or a text, save the finished reception. Calls return
// results; what happens later arrives as events on the UI thread.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "image/tx_image.h"
#include "platform/file_watch.h"
#include "platform/serial_device.h"
#include "platform/ui_loop.h"
#include "serial/engine_events.h"
#include "serial/engine_types.h"

namespace velotrix {

class ReceivedBytesSlot;

class Engine {
  public:
    // Every call runs on the UI thread of loop; events reach the subscriber there.
    Engine(UiLoop& loop, DeviceAccess devices, EngineSubscriber subscriber);
    ~Engine();  // closes the port: stops and joins every worker first
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The port. A driver that refuses the settings leaves the port closed; the kernel's console
    // is never opened.
    EngineResult Open(const LineSettings& settings);
    // Stops every worker and closes the device; a reception it cuts off is finished at once, cut
    // short, and can be saved.
    void Close();
    bool IsOpen() const;
    bool Cts();
    // Every port there is, in list order, with the reason why it cannot be opened now as far as
    // the system tells without opening any device.
    std::vector<PortRow> ListPorts();
    // The same, each port tried by opening it ("Ports testen"); the kernel's console and the
    // port open here are not tried.
    std::vector<PortRow> ProbePorts();
    // The path of the open port (after an automatic reopen perhaps another than was chosen).
    const std::string& OpenPath() const;

    // The transmit image, changed only through these calls (see TransmitImage): each change
    // reaches the next pass of a send, also of a continuous send that runs.
    LoadOutcome LoadFile(const std::string& path);
    LoadOutcome ReloadFile();
    void Unload();
    std::uint16_t SetLoadAddress(std::uint32_t aadr);  // returns the end address that follows
    void SetStartAddress(std::uint32_t sadr);
    void SetName(const std::string& name);
    void SetTypeLetter(char letter);
    void SetPause(int pauseIndex);  // an index into PauseEntries; outside: no pause entry chosen
    const TxImage& Image() const;

    // The switches of a send: they may change while a continuous send runs and take effect at
    // its next block or pass (the pauses at the next byte).
    void SetContinuousSend(bool on);
    void SetBinMode(bool on);
    void SetShowProgress(bool on);
    void SetCharDelay(int ms);
    void SetLineDelay(int ms);
    void SetLineEnd(LineEnd end);
    SendSwitches Switches() const;

    // SendFile takes the image as it is now.
    EngineResult SendFile();
    // The text with the line end chosen.
    EngineResult SendText(const std::string& text);
    // A UTF-8 text file, line by line with the line end given, in code page 1252 (see TextFile); a
    // file that cannot be sent as it is is refused with the reason, naming the line. The lines of
    // a file are never joined by accident: a file of more than one line without a line end is
    // refused (kLinesWouldJoin) unless joinLines says that the person wants them joined.
    EngineResult SendTextFile(const std::string& path, LineEnd end, bool joinLines = false);
    bool Sending() const;

    // XMODEM. The loaded file goes out as it was loaded (a z80 file with its header, any other
    // file as its data; with the BIN switch the data alone) in blocks of 128 bytes, or of 1024
    // with longBlocks when the receiver asks for CRC-16. A reception that holds only the
    // receiver's requests is its start; any other running reception, a send, the self-test or
    // another transfer refuse it. XmodemProgressEvent and XmodemEndedEvent tell how it goes.
    EngineResult SendXmodem(bool longBlocks);
    // Receives a file by XMODEM, asking for CRC-16 first; it becomes the finished reception (cut
    // short unless the transfer was done). trimPadding: the fill bytes (1Ah) at the end of the
    // last block are taken off; CP/M keeps them.
    EngineResult ReceiveXmodem(bool trimPadding);
    // The user ends a running transfer; the other side is told with CAN.
    void CancelXmodem();
    bool XmodemRunning() const;

    // Sending the loaded file again each time it is rewritten: once the file has been still for
    // half a second while the port is open, it is loaded again keeping the header edits as far as
    // they still apply, and the handler shows it and starts the send. A rewrite during a send
    // waits for its end; a continuous send takes it at its next pass. The file loaded later is
    // followed; an empty handler ends the watching. The result: why the file cannot be watched.
    EngineResult WatchLoadedFile(RewriteHandler handler);
    // Replaces the system's file watch (tests).
    void SetFileWatchStarter(FileWatchStarter starter);

    // The finished reception: its bytes, whether it began with a header, and the header's name.
    std::span<const std::uint8_t> Reception() const;
    bool ReceptionHasHeader() const;
    const std::string& ReceptionName() const;
    // True from a reception's first byte until it is finished.
    bool Receiving() const;
    // Finishes a running reception now, as a second of silence would (the user ends the wait);
    // it counts as cut short.
    void FinishReception();
    // Saves the finished reception where the target says: "Sichern", each reception into the
    // chosen folder, and velotrix-cli's receive.
    SavedReception SaveReception(const SaveTarget& target);
    // Forgets the listing line being built and the finished reception (a display reset).
    void ResetReception();

    // Who takes the received bytes now (see ByteTaker in serial/byte_taker.h): the reception,
    // unless the self-test or another taker installed here holds the slot.
    ReceivedBytesSlot& ReceivedBytes();

    // DTR and RTS: raised or dropped now when the port is open, and so after every later open (the
    // open raises both; one wanted low is dropped right after). Both raised by default.
    EngineResult SetModemLine(ModemLine line, bool on);
    bool ModemLineOn(ModemLine line) const;

    // The adapter self-test, with TX and RX bridged at the plug: every byte value goes out at the
    // open port's settings and what comes back is compared instead of being received, until all
    // came back or the line stays silent (kSelfTestNoAnswer when nothing came); SelfTestEndedEvent
    // tells the result. Refused while a send, a reception or another taker of the received bytes
    // runs; sends are refused while it runs.
    EngineResult StartSelfTest();
    bool SelfTesting() const;

    // The terminal. While it is open, received bytes that no transfer takes arrive as
    // TerminalBytesEvent; a z80 reception starts only through AskReception (one that runs when
    // the terminal opens goes on to its end); and no send throws away what arrives meanwhile.
    void SetTerminal(bool open);
    bool TerminalOpen() const;
    // With the terminal open: the next bytes form a z80 reception ("Empfang starten") until its
    // silence, then the terminal takes them again; refused while a transfer or the self-test
    // holds the line. asked false: no longer, and a reception that runs ends now (cut short).
    EngineResult AskReception(bool asked);
    bool ReceptionAsked() const;
    // Keys typed and text pasted in the terminal (code page 1252): out at once behind those
    // still going out, with the character and line pauses; refused while another send runs.
    EngineResult Type(std::string bytes);
    // BREAK: the line held in the break state for a quarter of a second.
    EngineResult SendBreak();
    // Starts send once the prompt has come from the line since the last bytes typed (at once when
    // it has already); PromptEvent tells of the answer or of the timeout. The terminal must be
    // open (it sees the answer).
    EngineResult SendAfterPrompt(const std::string& prompt, std::chrono::milliseconds timeout,
                                 std::function<EngineResult()> send);
    void CancelPrompt();
    bool AwaitingPrompt() const;

    // After the line is lost, watch for the same device (same adapter serial number, or the same
    // link name) and open it again with the same settings. On by default.
    void SetAutoReopen(bool on);

    // The line log: every byte sent and received with its time and direction, and the port's
    // opening, settings, line errors, loss and closing, appended to the file at path as lines a
    // person reads, by a thread of its own. A log that runs stops first. A write that fails
    // later stops the log and lists why.
    EngineResult StartLog(const std::string& path);
    void StopLog();
    bool Logging() const;
    // Why the last log stopped by itself; no error when it did not.
    OsError LogFailure() const;
    // The log's clock (local wall time); tests give it the loop's virtual one.
    void SetLogClock(LogClock clock);

    // Replaces the receive thread's pause after a line error (tests observe it instead of
    // sleeping); takes effect at the next Open.
    void SetLineErrorPause(ReceivePause pause);

  private:
    std::vector<PortRow> Rows(bool probe);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The MessageList lines of these events, for every face that lists them.
std::string BaudChangedLine(const BaudChangedEvent& event);
// "Senden abgebrochen nach 40 von 132 Bytes"; "Dauersenden abgebrochen im 3. Durchgang nach ...".
std::string SendAbortedLine(const SendAbortedEvent& event);
std::string FrameNotTakenLine(const FrameNotTakenEvent& event);
std::string ReopenedLine(const ReopenedEvent& event);
// "Keine Antwort: ">" kam nicht innerhalb von 10 s, nichts gesendet"
std::string PromptTimeoutLine(const PromptEvent& event);

}  // namespace velotrix
