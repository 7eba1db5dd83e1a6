// Runs one velotrix-cli command: the controller on the in-memory window and a real-clock loop,
// driven with the clicks, keys and selections a person would give, its MessageList on stdout.
#include "frontends/cli/cli_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/controller.h"
#include "ui-resources/ids.h"
#include "app/preferences.h"
#include "app/screen.h"
#include "image/z80_header.h"
#include "platform/files.h"
#include "platform/headless/headless_view.h"
#include "platform/headless/manual_loop.h"
#include "text/cp1252.h"

namespace velotrix::cli {

namespace {

using std::chrono::milliseconds;

constexpr std::string_view kOpenButtonCaption =
    "COM schlie\xDF"
    "en";
constexpr std::string_view kFileSentLine =
    "Datei fertig \xFC"
    "bertragen";
// The boxes by which the program refuses or reports a failure.
constexpr std::array<std::string_view, 3> kErrorCaptions = {"Meldung:", "Fehler!", "Info"};
// How often a wait looks at the interrupt flag and redraws the progress line.
constexpr milliseconds kPumpSlice{100};

// The fields of one header group, in the order the output lists them.
struct HeaderGroup {
    int kind;
    int aadr;
    int eadr;
    int sadr;
    int crc;
    int bytes;
    int name;
    int type;
};
constexpr HeaderGroup kTxGroup = {ids::kTxKind, ids::kTxAadr,  ids::kTxEadr, ids::kTxSadr,
                                  ids::kTxCrc,  ids::kTxBytes, ids::kTxName, ids::kTxType};
constexpr HeaderGroup kRxGroup = {ids::kRxKind, ids::kRxAadr,  ids::kRxEadr, ids::kRxSadr,
                                  ids::kRxCrc,  ids::kRxBytes, ids::kRxName, ids::kRxType};

std::string ForTerminal(std::string_view cp1252) {
    std::string text = Cp1252ToUtf8(cp1252);
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

std::string WithoutTrailingSpaces(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// "Geladen: z80" and "Empfangen: BIN" show the kind behind the colon.
std::string KindWord(const std::string& field) {
    const std::size_t colon = field.find(": ");
    return WithoutTrailingSpaces(colon == std::string::npos ? field : field.substr(colon + 2));
}

// A header name may come from the line; control characters in it must not reach the terminal,
// nor the C1 controls that stand for the five bytes code page 1252 leaves undefined.
std::string Printable(std::string text) {
    constexpr std::string_view kC1 = "\x81\x8D\x8F\x90\x9D";
    std::replace_if(
        text.begin(), text.end(),
        [&](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == '\x7F' ||
                   kC1.find(c) != std::string_view::npos;
        },
        '.');
    return text;
}

// The suggested name of the save dialog as a file in the current directory: the name comes from
// the line, so it may not lead anywhere else.
std::string FileInCurrentDirectory(std::string_view suggestedName) {
    std::string name = Cp1252ToUtf8(Printable(std::string(suggestedName)));
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

// Why a file could not be loaded when the program showed no box for it: the OS's own text.
std::string CannotOpenReason(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return OsErrorText(errno);
    }
    struct stat info {};
    const bool directory = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    return directory ? OsErrorText(EISDIR)
                     : "Die Datei ist keine gew\xF6hnliche Datei oder nicht lesbar";
}

bool IsListedBaud(std::string_view baud) {
    const auto& rates = BaudRateOptions();
    return std::find(rates.begin(), rates.end(), baud) != rates.end();
}

// The port as the probe lists it: a path stays a path; a name is looked up among the serial
// devices and is otherwise taken from /dev.
PortInfo ResolvePort(const std::string& port) {
    if (port.find('/') != std::string::npos) {
        return {port, port};
    }
    for (const PortInfo& info : ListSerialDevices()) {
        if (info.name == port) {
            return info;
        }
    }
    return {port, "/dev/" + port};
}

// The window with a save dialog that answers by itself: with the chosen file, or with the name the
// program suggests.
class CliView final : public HeadlessView {
  public:
    std::optional<std::string> saveTarget;

    std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggestedName,
                                           const std::vector<FileFilter>& filters) override {
        QueueSaveFileAnswer(saveTarget ? *saveTarget : FileInCurrentDirectory(suggestedName));
        return HeadlessView::AskSaveFile(title, suggestedName, filters);
    }
};

enum class WaitResult { kDone, kTimedOut, kInterrupted };

class Session {
  public:
    // Without a port the probe finds nothing, so no device is touched.
    Session(const Terminal& terminal, std::optional<PortInfo> port)
        : terminal_(terminal), port_(std::move(port)) {
        view_.onListAdd = [this](int id, const std::string& line) {
            if (id == ids::kMessageList) {
                PrintOut(ForTerminal(line));
                if (line == kFileSentLine) {
                    fileSent_ = true;
                }
            }
        };
        view_.onMessageBox = [this](const HeadlessView::Message& message) { ShowBox(message); };

        ControllerEnvironment environment;
        // The command line names every setting itself; the window's saved settings play no part.
        environment.settingsPath.clear();
        environment.listPorts = [this] {
            return port_ ? std::vector<PortInfo>{*port_} : std::vector<PortInfo>{};
        };
        environment.openDevice = [this](const std::string& path) {
            OsResult<std::unique_ptr<SerialDevice>> opened = OpenSerialDevice(path);
            lastOpenError_ = opened.error;
            return opened;
        };
        controller_ = std::make_unique<MainController>(view_, loop_, std::move(environment));
        controller_->Start();
    }

    ~Session() { Quit(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    CliView& View() { return view_; }
    bool Failed() const { return errorCount_ > 0; }
    bool FileSent() const { return fileSent_; }

    void PrintOut(const std::string& utf8) {
        ClearProgress();
        terminal_.out << utf8 << '\n' << std::flush;
    }

    void PrintError(const std::string& cp1252) {
        ClearProgress();
        terminal_.err << ForTerminal(errorPrefix_ + cp1252) << '\n' << std::flush;
        ++errorCount_;
    }

    // Selects the port and the line settings in the combo boxes and presses "COM öffnen".
    bool OpenPort(const LineOptions& line) {
        const std::vector<PortInfo>& ports = controller_->Ports();
        const auto found = std::find_if(ports.begin(), ports.end(), [this](const PortInfo& info) {
            return port_ && info.path == port_->path;
        });
        // Errors of the port name it, as the window's port list does.
        errorPrefix_ = Utf8ToCp1252(port_ ? port_->name : std::string()) + ": ";
        if (found == ports.end()) {
            // The probe could not open it: the same box the COM button shows for that error.
            Screen(view_).ShowSystemError(lastOpenError_ ? lastOpenError_.code : ENODEV,
                                          lastOpenError_.hint);
            errorPrefix_.clear();
            return false;
        }
        view_.UserSelect(ids::kPortCombo, static_cast<int>(found - ports.begin()));
        // A rate that the window does not offer becomes one more entry of its list.
        if (!SelectEntry(ids::kBaudCombo, line.baud)) {
            view_.ComboAdd(ids::kBaudCombo, line.baud);
            SelectEntry(ids::kBaudCombo, line.baud);
        }
        SelectEntry(ids::kParityCombo, line.parity);
        SelectEntry(ids::kDataBitsCombo, line.dataBits);
        SelectEntry(ids::kStopBitsCombo, line.stopBits);
        SelectEntry(ids::kFlowCombo, line.flow);

        lastOpenError_ = {};
        view_.Click(ids::kComButton);
        const bool open = view_.Text(ids::kComButton) == kOpenButtonCaption;
        // The device opened, but the driver refused the settings.
        if (!open && !lastOpenError_ && !IsListedBaud(line.baud)) {
            PrintError("Die Baudrate " + line.baud + " kann der Treiber nicht einstellen.");
        }
        errorPrefix_.clear();
        return open;
    }

    // "BIN/Z80 laden" with the open dialog answered by path; true when the file was loaded.
    bool Load(const std::string& path, bool throughButton) {
        const int errorsBefore = errorCount_;
        errorPrefix_ = Utf8ToCp1252(path) + ": ";
        view_.QueueOpenFileAnswer(path);
        if (throughButton) {
            view_.Click(ids::kLoadButton);
        } else {
            controller_->OnCommand(ids::kLoadButton, ids::kNotifyClicked);
        }
        // The status bar shows the path of a loaded file and one blank after a failed load.
        const bool loaded = view_.PaneText(ids::kPanePath) != " ";
        if (!loaded && errorCount_ == errorsBefore) {
            PrintError(CannotOpenReason(path));
        }
        errorPrefix_.clear();
        return loaded;
    }

    void PrintHeaderGroup(const HeaderGroup& group, bool transmit) {
        const std::string kind = KindWord(view_.GetText(group.kind));
        const bool withHeader = transmit || kind == "z80";
        const auto field = [this](std::string_view label, int id) {
            PrintOut(std::string(label) + ": " +
                     ForTerminal(Printable(WithoutTrailingSpaces(view_.GetText(id)))));
        };
        PrintOut("Art: " + ForTerminal(kind));
        if (withHeader) {
            field("AADR", group.aadr);
            field("EADR", group.eadr);
            field("SADR", group.sadr);
        }
        field("CRC", group.crc);
        field("Bytes", group.bytes);
        if (withHeader) {
            field("Name", group.name);
            if (view_.ComboSelection(group.type) >= 0) {
                field("Typ", group.type);
            }
        }
    }

    // Pumps the loop until done holds, an error box came, the time is up or the user interrupted.
    WaitResult WaitFor(const std::function<bool()>& done, std::optional<milliseconds> limit) {
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            const bool ended = loop_.RunUntil([&] { return done() || Interrupted(); }, kPumpSlice);
            DrawProgress();
            if (ended) {
                return Interrupted() && !done() ? WaitResult::kInterrupted : WaitResult::kDone;
            }
            if (limit && std::chrono::steady_clock::now() - start >= *limit) {
                return WaitResult::kTimedOut;
            }
        }
    }

    // Waits for the send that was just started; true when it ended well.
    bool WaitForSend() {
        const WaitResult result = WaitFor([this] { return !controller_->Sending(); }, std::nullopt);
        loop_.RunPending();
        if (result == WaitResult::kInterrupted) {
            Quit();
            PrintError("Abgebrochen.");
        }
        return result == WaitResult::kDone && !Failed();
    }

    void SetChecked(int id, bool checked) {
        if (view_.IsChecked(id) != checked) {
            view_.Click(id);
        }
    }

    bool Interrupted() const {
        return terminal_.interrupted != nullptr && terminal_.interrupted->load();
    }

    // Quits as "Beenden" does, which closes the port and stops any send.
    void Quit() {
        if (controller_->Finished()) {
            return;
        }
        if (view_.TextDialogOpen()) {
            view_.Click(ids::kTextClose);
        }
        view_.PressEscape();
        // What the workers posted before they were joined still belongs to the listing.
        loop_.RunPending();
        ClearProgress();
    }

  private:
    bool SelectEntry(int id, std::string_view text) {
        for (int i = 0; i < view_.ComboCount(id); ++i) {
            if (view_.ComboItem(id, i) == text) {
                view_.UserSelect(id, i);
                return true;
            }
        }
        return false;
    }

    void ShowBox(const HeadlessView::Message& message) {
        const bool error = std::find(kErrorCaptions.begin(), kErrorCaptions.end(),
                                     message.caption) != kErrorCaptions.end();
        if (error) {
            PrintError(message.text);
        } else {
            PrintOut(ForTerminal(message.caption + " " + message.text));
        }
    }

    void DrawProgress() {
        if (!terminal_.showProgress) {
            return;
        }
        std::string line;
        if (view_.ProgressVisible()) {
            line = view_.PaneText(ids::kPaneSent) + " / " +
                   std::to_string(view_.ProgressMaximum()) + " Bytes";
        }
        if (line != progressLine_) {
            terminal_.err << "\r" << line << "\x1b[K" << std::flush;
            progressLine_ = line;
        }
    }

    void ClearProgress() {
        if (!progressLine_.empty()) {
            terminal_.err << "\r\x1b[K" << std::flush;
            progressLine_.clear();
        }
    }

    const Terminal& terminal_;
    std::optional<PortInfo> port_;
    CliView view_;
    ManualLoop loop_{ManualLoop::Clock::kReal};
    std::unique_ptr<MainController> controller_;
    OsError lastOpenError_;
    std::string errorPrefix_;
    std::string progressLine_;
    int errorCount_ = 0;
    bool fileSent_ = false;
};

int ExitStatus(bool ok) {
    return ok ? kExitOk : kExitFailure;
}

int RunPorts(const Terminal& terminal) {
    // The probe of the window, over every serial device there is.
    std::vector<PortInfo> free;
    {
        ControllerEnvironment environment;
        HeadlessView view;
        ManualLoop loop(ManualLoop::Clock::kReal);
        MainController controller(view, loop, environment);
        controller.Start();
        free = controller.Ports();
    }
    for (const PortInfo& port : free) {
        terminal.out << port.name << '\t' << port.path << '\n';
    }
    terminal.out << std::flush;
    return kExitOk;
}

int RunInfo(const Options& options, const Terminal& terminal) {
    bool ok = true;
    bool first = true;
    for (const std::string& file : options.files) {
        // Each file in a window of its own, so that nothing of the previous one shows through.
        Session session(terminal, std::nullopt);
        if (!session.Load(file, false)) {
            ok = false;
            continue;
        }
        if (!first) {
            session.PrintOut("");
        }
        first = false;
        session.PrintHeaderGroup(kTxGroup, true);
    }
    return ExitStatus(ok);
}

int RunSend(const Options& options, const Terminal& terminal) {
    Session session(terminal, ResolvePort(options.port));
    CliView& view = session.View();
    if (!session.OpenPort(options.line) || !session.Load(options.files.front(), true)) {
        return kExitFailure;
    }
    if (options.aadr) {
        view.Type(ids::kTxAadr, *options.aadr);
    }
    if (options.sadr) {
        view.Type(ids::kTxSadr, *options.sadr);
    }
    if (options.name) {
        view.Type(ids::kTxName, *options.name);
    }
    if (options.typeLetter) {
        view.UserSelect(ids::kTxType, TypeIndexOfLetter(*options.typeLetter));
    }
    session.SetChecked(ids::kBinModeCheck, options.binMode);
    session.SetChecked(ids::kProgressCheck, options.showProgress);
    view.UserSelect(ids::kPauseCombo, options.pauseIndex);
    view.Click(ids::kSendFileButton);
    const bool sent = session.WaitForSend() && session.FileSent();
    session.Quit();
    return ExitStatus(sent && !session.Failed());
}

int RunText(const Options& options, const Terminal& terminal) {
    Session session(terminal, ResolvePort(options.port));
    CliView& view = session.View();
    if (!session.OpenPort(options.line)) {
        return kExitFailure;
    }
    view.Click(ids::kMenuSendText);
    view.Type(ids::kTextEdit, options.text);
    view.Click(ids::kTextSend);
    const bool sent = session.WaitForSend();
    session.Quit();
    return ExitStatus(sent && !session.Failed());
}

int RunReceive(const Options& options, const Terminal& terminal) {
    Session session(terminal, ResolvePort(options.port));
    CliView& view = session.View();
    view.saveTarget = options.output;
    if (!session.OpenPort(options.line)) {
        return kExitFailure;
    }
    terminal.err << "Warte bis zu " << options.timeoutSeconds << " s auf Daten an " << options.port
                 << "..." << std::endl;
    const auto finished = [&view] { return view.IsEnabled(ids::kSaveButton); };
    const auto arrived = [&] {
        return finished() || view.PaneText(ids::kPaneReceived) != " " || session.Failed();
    };
    WaitResult result = session.WaitFor(arrived, std::chrono::seconds(options.timeoutSeconds));
    if (result == WaitResult::kDone && !session.Failed()) {
        result = session.WaitFor([&] { return finished() || session.Failed(); }, std::nullopt);
    }
    if (result != WaitResult::kDone || session.Failed()) {
        session.Quit();
        if (result == WaitResult::kTimedOut) {
            session.PrintError("Nichts empfangen in " + std::to_string(options.timeoutSeconds) +
                               " s.");
        } else if (result == WaitResult::kInterrupted) {
            session.PrintError("Abgebrochen.");
        }
        return kExitFailure;
    }
    session.PrintHeaderGroup(kRxGroup, false);
    view.Click(ids::kSaveButton);
    session.Quit();
    return ExitStatus(!session.Failed());
}

}  // namespace

int RunCommand(const Options& options, const Terminal& terminal) {
    switch (options.command) {
        case Command::kPorts:
            return RunPorts(terminal);
        case Command::kInfo:
            return RunInfo(options, terminal);
        case Command::kSend:
            return RunSend(options, terminal);
        case Command::kText:
            return RunText(options, terminal);
        case Command::kReceive:
            return RunReceive(options, terminal);
        case Command::kHelp:
            break;
    }
    return kExitUsage;
}

}  // namespace velotrix::cli
