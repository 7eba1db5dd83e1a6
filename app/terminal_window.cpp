// The terminal window's presenter: its screen, what is typed and sent from it, and its memory.
#include "app/terminal_window.h"

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "app/header_editor.h"
#include "app/screen.h"
#include "app/send_command.h"
#include "app/text_sending.h"
#include "app/window_memory.h"
#include "app/xmodem_commands.h"
#include "serial/engine.h"
#include "serial/terminal_keys.h"
#include "text/hex_dump.h"
#include "text/terminal_screen.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr int kLongestPromptWait = 3600;  // seconds

// The entries of the format box, in the order of msg::kTerminalFormats.
enum Format { kZ80, kBin, kXmodem, kXmodem1k, kHex16, kHex32 };

class TerminalWindow final : public WindowFeature {
  public:
    explicit TerminalWindow(const WindowParts& parts)
        : parts_(parts), memory_(parts.stateFile.SettingsPath(), kTerminalKeys) {}

    ~TerminalWindow() override { parts_.loop.StopTimer(ids::kTerminalTimer); }

    void Start() override {
        DialogView& view = parts_.view;
        view.SetTerminalInputHandler([this](const TerminalInput& input) { Input(input); });
        view.ComboClear(ids::kTerminalFormat);
        for (std::string_view format : msg::kTerminalFormats) {
            view.ComboAdd(ids::kTerminalFormat, format);
        }
        view.ComboSelect(ids::kTerminalFormat, 0);
    }

    void Stop() override {
        if (parts_.view.IsTerminalOpen()) {
            memory_.RememberPlacement(parts_.view.TerminalPlacement());
        }
    }

    bool OnCommand(int id, int code) override {
        const bool clicked = code == ids::kNotifyClicked;
        switch (id) {
            case ids::kMenuTerminal:
                Open();
                return true;
            case ids::kTerminalCloseBox:
                Close();
                return true;
            case ids::kTerminalCopy:
                Copy();
                return true;
            case ids::kTerminalClear:
                screen_.Clear();
                parts_.view.TerminalChanged();
                return true;
            case ids::kTerminalBreak:
                parts_.screen.ShowResult(parts_.engine.SendBreak());
                return true;
            case ids::kTerminalHexSend:
                SendHex();
                return true;
            case ids::kTerminalReceive:
                Receive();
                return true;
            case ids::kTerminalSendFile:
                if (clicked) {
                    SendFile();
                }
                return true;
            case ids::kTerminalHex:
            case ids::kTerminalFormat:
            case ids::kTerminalExpectCheck:
            case ids::kTerminalExpect:
            case ids::kTerminalTimeout:
                // Read when a send starts.
                return true;
            default:
                return false;
        }
    }

    void OnEvent(const EngineEvent& event) override {
        if (const auto* bytes = std::get_if<TerminalBytesEvent>(&event)) {
            screen_.Feed(bytes->bytes);
            if (screen_.TakeBells() > 0) {
                parts_.view.Beep();
            }
            Draw();
        } else if (const auto* prompt = std::get_if<PromptEvent>(&event)) {
            ShowPrompt(*prompt);
        } else if (const auto* xmodem = std::get_if<XmodemProgressEvent>(&event)) {
            xmodemReceiving_ = !xmodem->sending;
            ShowReception();
        } else if (std::holds_alternative<XmodemEndedEvent>(event) ||
                   std::holds_alternative<ReceptionFinishedEvent>(event) ||
                   std::holds_alternative<ModemLinesEvent>(event) ||
                   std::holds_alternative<LineLostEvent>(event)) {
            xmodemReceiving_ = xmodemReceiving_ && parts_.engine.XmodemRunning();
            ShowReception();
        }
    }

  private:
    void Open() {
        DialogView& view = parts_.view;
        if (!view.IsTerminalOpen()) {
            if (const auto placement = memory_.Placement()) {
                view.PlaceTerminal(*placement);
            }
            // The format shown is the one the main window's switches chose.
            const int hex = view.ComboSelection(ids::kHexSendCombo);
            view.ComboSelect(ids::kTerminalFormat, hex > 0 ? kHex16 + hex - 1
                                                   : parts_.engine.Switches().binMode ? kBin
                                                                                      : kZ80);
        }
        view.OpenTerminal(screen_);
        parts_.engine.SetTerminal(true);
        ShowReception();
    }

    void Close() {
        memory_.RememberPlacement(parts_.view.TerminalPlacement());
        parts_.view.CloseTerminal();
        parts_.engine.SetTerminal(false);
        ShowReception();
    }

    void Input(const TerminalInput& input) {
        const LineEnd lineEnd = parts_.engine.Switches().lineEnd;
        switch (input.kind) {
            case TerminalInput::Kind::kText:
                if (const std::optional<std::string> typed = TypedBytes(input.text)) {
                    Type(*typed);
                } else {
                    parts_.view.Beep();
                }
                break;
            case TerminalInput::Kind::kKey:
                Type(KeyBytes(input.key, lineEnd));
                break;
            case TerminalInput::Kind::kPaste: {
                std::string pasted;
                const EngineResult refused = PasteBytes(input.text, lineEnd, pasted);
                refused.ok() ? Type(pasted) : parts_.screen.ShowResult(refused);
                break;
            }
            case TerminalInput::Kind::kRows:
                screen_.SetRows(static_cast<std::size_t>(std::max(input.rows, 1)));
                parts_.view.TerminalChanged();
                break;
        }
    }

    // A key that cannot go out now (the port closed, a file on its way) only beeps: a box for
    // each key would bury the window.
    void Type(const std::string& bytes) {
        if (bytes.empty()) {
            return;
        }
        const EngineResult typed = parts_.engine.Type(bytes);
        if (typed.kind == ErrorKind::kBusy || typed.kind == ErrorKind::kNotOpen) {
            parts_.view.Beep();
        } else {
            parts_.screen.ShowResult(typed);
        }
    }

    void SendHex() {
        const auto bytes = HexBytes(parts_.view.GetText(ids::kTerminalHex));
        if (!bytes) {
            parts_.view.MessageBox(msg::kTerminalHexWanted, msg::kErrorCaption,
                                   MessageIcon::kError);
            return;
        }
        Type(std::string(bytes->begin(), bytes->end()));
    }

    void SendFile() {
        Engine& engine = parts_.engine;
        if (!engine.Image().loaded) {
            parts_.editor.LoadCommand();
            if (!engine.Image().loaded) {
                return;
            }
        }
        const int format = parts_.view.ComboSelection(ids::kTerminalFormat);
        std::function<EngineResult()> send = [this] { return StartFileSend(parts_); };
        if (format == kXmodem || format == kXmodem1k) {
            // The file goes as it was loaded, its header too unless the BIN switch is on.
            send = [this, format] { return StartXmodemSend(parts_, format == kXmodem1k); };
        } else {
            // The main window's switches follow, as if the person had set them there.
            engine.SetBinMode(format == kBin);
            parts_.view.SetCheck(ids::kBinModeCheck, format == kBin);
            ChooseHexSend(parts_, format >= kHex16 ? format - kHex16 + 1 : 0, true);
        }
        if (!parts_.view.IsChecked(ids::kTerminalExpectCheck)) {
            parts_.screen.ShowResult(send());
            return;
        }
        const int given = DecimalToInt(parts_.view.GetText(ids::kTerminalTimeout));
        const int seconds = given > 0 ? std::min(given, kLongestPromptWait) : kDefaultPromptSeconds;
        parts_.screen.ShowResult(engine.SendAfterPrompt(parts_.view.GetText(ids::kTerminalExpect),
                                                        std::chrono::seconds(seconds), send));
    }

    // "Empfang starten": the next bytes are a reception in the format chosen (a z80 or BIN
    // reception of the main window, or an XMODEM reception); "Empfang beenden" ends it.
    void Receive() {
        Engine& engine = parts_.engine;
        const int format = parts_.view.ComboSelection(ids::kTerminalFormat);
        if (xmodemReceiving_ && engine.XmodemRunning()) {
            engine.CancelXmodem();
        } else if (engine.ReceptionAsked()) {
            engine.AskReception(false);
        } else if (format == kXmodem || format == kXmodem1k) {
            parts_.screen.ShowResult(StartXmodemReceive(parts_));
        } else {
            parts_.screen.ShowResult(engine.AskReception(true));
        }
        ShowReception();
    }

    void ShowPrompt(const PromptEvent& prompt) {
        if (prompt.arrived) {
            parts_.screen.ShowResult(prompt.started);
            return;
        }
        const std::string line = PromptTimeoutLine(prompt);
        parts_.screen.AddMessage(line);
        parts_.screen.ScrollMessageListToEnd();
        parts_.view.MessageBox(line, msg::kInfoCaption, MessageIcon::kInformation);
    }

    // "Kopieren": the selection, or everything when nothing is selected.
    void Copy() {
        const auto selection = parts_.view.TerminalSelection();
        parts_.view.CopyToClipboard(
            selection ? screen_.Text(selection->first, selection->second)
                      : screen_.Text({screen_.FirstLine(), 0}, {screen_.EndLine(), 0}));
    }

    void ShowReception() {
        const bool receiving =
            parts_.engine.ReceptionAsked() || (xmodemReceiving_ && parts_.engine.XmodemRunning());
        parts_.view.SetText(ids::kTerminalReceive,
                            receiving ? msg::kTerminalReceiveStop : msg::kTerminalReceiveStart);
    }

    // At once when the screen was drawn a while ago, else at the end of the interval: a line that
    // brings a few bytes every few milliseconds costs a bounded number of draws.
    void Draw() {
        if (paced_) {
            drawPending_ = true;
            return;
        }
        parts_.view.TerminalChanged();
        paced_ = true;
        parts_.loop.StartTimer(ids::kTerminalTimer, kTerminalDrawInterval, [this] {
            paced_ = false;
            if (std::exchange(drawPending_, false)) {
                Draw();
            }
        });
    }

    WindowParts parts_;
    WindowMemory memory_;
    TerminalScreen screen_;
    bool paced_ = false;
    bool drawPending_ = false;
    bool xmodemReceiving_ = false;  // an XMODEM reception runs
};

}  // namespace

std::unique_ptr<WindowFeature> MakeTerminalWindow(const WindowParts& parts) {
    return std::make_unique<TerminalWindow>(parts);
}

}  // namespace velotrix
