// The main dialog's presenter: start-up, the command table, the port commands, the display reset.
#include "app/controller.h"

#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>

#include "app/event_presenter.h"
#include "app/header_editor.h"
#include "app/more_settings.h"
#include "app/port_combo.h"
#include "app/preferences.h"
#include "app/save_command.h"
#include "app/screen.h"
#include "app/send_command.h"
#include "app/type_combo.h"
#include "app/window_feature.h"
#include "app/window_memory.h"
#include "serial/line_options.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr int kTxFieldsBlankedOnReset[] = {ids::kTxKind, ids::kTxAadr, ids::kTxEadr, ids::kTxSadr,
                                           ids::kTxName, ids::kTxCrc,  ids::kTxBytes};

}  // namespace

struct MainController::State {
    State(DialogView& v, UiLoop& l, ControllerEnvironment e)
        : view(v),
          settingsPath(std::move(e.settingsPath)),
          stateFile(settingsPath),
          screen(v),
          presenter(screen, l),
          engine(l, std::move(e.devices),
                 [this](const EngineEvent& event) {
                     presenter.Show(event);
                     if (std::holds_alternative<ReopenedEvent>(event)) {
                         SelectOpenPort();
                     }
                     for (const auto& feature : features) {
                         feature->OnEvent(event);
                     }
                     // The button is offered where a reception is left to it, not where it was
                     // saved already ("Jeden Empfang sichern in ...").
                     if (std::holds_alternative<ReceptionFinishedEvent>(event) &&
                         presenter.UnsavedReception()) {
                         screen.AddMessage(msg::kSaveByButton);
                         screen.ScrollMessageListToEnd();
                     }
                 }),
          editor(screen, engine),
          memory(settingsPath),
          parts{v, l, screen, presenter, engine, editor, stateFile},
          features(MakeWindowFeatures(parts)) {}

    using Handler = void (State::*)();

    DialogView& view;
    std::string settingsPath;
    StateFile stateFile;
    Screen screen;
    EventPresenter presenter;
    Engine engine;
    HeaderEditor editor;
    WindowMemory memory;
    WindowParts parts;
    std::vector<std::unique_ptr<WindowFeature>> features;
    std::vector<PortRow> ports;
    // A file given at start or dropped while the port is closed, loaded again once the port is
    // open (opening clears the display and the loaded file).
    std::string pendingFile;
    bool autoReopen = true;
    bool finished = false;

    void Quit() {
        if (!MayQuit()) {
            return;
        }
        engine.Close();
        EndDialog();
    }

    // The close box ends the dialog without closing the port; the destructor stops the workers.
    void CloseBox() {
        if (MayQuit()) {
            EndDialog();
        }
    }

    // A send cut short or a finished reception never saved would be lost: the user decides.
    bool MayQuit() {
        return (!engine.Sending() || view.AskYesNo(msg::kSendRunningQuit, msg::kWindowTitle)) &&
               (!presenter.UnsavedReception() ||
                view.AskYesNo(msg::kUnsavedQuit, msg::kWindowTitle));
    }

    void EndDialog() {
        finished = true;
        memory.RememberPlacement(view.MainWindowPlacement());
        for (const auto& feature : features) {
            feature->Stop();
        }
        view.CloseMainWindow();
    }

    // Clears the display for a port opened or closed. An unsaved reception stays listed, shown and
    // savable: no click throws away what came over the line.
    void ResetDisplayState() {
        // loaded drops first, so that blanking the editable TX fields below changes no header.
        engine.Unload();
        const bool keepReception = presenter.UnsavedReception();
        if (!keepReception) {
            screen.ClearMessages();
            engine.ResetReception();
            presenter.ClearRxFields();
            view.Enable(ids::kSaveButton, false);
            view.EnableMenuItem(ids::kMenuReceptionView, false);
        }
        for (int id : kTxFieldsBlankedOnReset) {
            view.SetText(id, " ");
        }
        view.SetPaneText(ids::kPanePath, " ");
        view.SetPaneText(ids::kPaneSent, " ");
        view.SetPaneText(ids::kPaneReceived, " ");
        view.Repaint();
    }

    // The open port stays selected, else the one the user chose.
    void EnumeratePorts(bool probe) {
        const PortRow* chosen = SelectedPortRow(view, ports);
        const std::string keep =
            engine.IsOpen() ? engine.OpenPath() : (chosen != nullptr ? chosen->port.path : "");
        // Only the user's "Ports testen" opens the devices: opening resets many boards.
        ports = probe ? engine.ProbePorts() : engine.ListPorts();
        std::string result = FillPortCombo(view, ports, keep);
        if (!probe) {
            return;
        }
        TrimText(result);
        if (result.empty()) {
            result = msg::kNoPorts;
        }
        view.MessageBox(result, msg::kProbeCaption, MessageIcon::kNone);
    }

    // A port opened again by itself may have come back under another name: the list is made anew.
    void SelectOpenPort() {
        const PortRow* chosen = SelectedPortRow(view, ports);
        if (chosen == nullptr || chosen->port.path != engine.OpenPath())
            EnumeratePorts(false);
    }

    void OpenPort() {
        if (!presenter.UnsavedReception()) {
            screen.ClearMessages();
        }
        LineSettings settings = LineSettingsFromCombos(view);
        const PortInfo port = PortToOpen(view, ports);
        settings.port = port.path;
        const EngineResult opened = engine.Open(settings);
        if (!opened.ok()) {
            screen.ShowResult(opened, port.name.empty() ? std::string() : port.name + ": ");
            return;
        }
        presenter.ShowPortOpen(settings.ctsFlow, engine.Cts());
    }

    void ComButton() {
        if (engine.IsOpen()) {
            // The workers stop before anything on the screen changes, so that no byte follows
            // the click.
            engine.Close();
            presenter.ShowPortClosed();
        } else {
            OpenPort();
        }
        ResetDisplayState();
        if (engine.IsOpen() && !pendingFile.empty()) {
            editor.LoadPath(std::exchange(pendingFile, {}));
        }
    }

    // A file to send that did not come through the open dialog (start-up, a drop).
    void LoadGivenFile(const std::string& path) {
        editor.LoadPath(path);
        if (!engine.IsOpen()) {
            pendingFile = path;
            // Sending waits for the open port, as it does after "BIN/Z80 laden".
            screen.SetControlMode(ControlMode::ModeClosed);
        }
    }

    void AutoReopen() {
        autoReopen = !autoReopen;
        view.CheckMenuItem(ids::kMenuAutoReopen, autoReopen);
        engine.SetAutoReopen(autoReopen);
        SaveAutoReopen(stateFile, autoReopen);
    }

    void Save() { SaveReceptionCommand(parts); }

    void SendFile() { SendFileCommand(parts); }

    void SendText() {
        const bool continuous = engine.Switches().continuous;
        const EngineResult started = engine.SendText(view.GetText(ids::kTextEdit));
        if (!started.ok()) {
            screen.ShowResult(started);
        } else if (continuous) {
            screen.SetControlMode(ControlMode::ModeBusy);
        }
    }

    void OpenTextDialog() {
        if (engine.Sending()) {
            screen.ShowResult(BusyResult());
        } else {
            view.OpenTextDialog();
        }
    }

    void FlowSelected() {
        if (view.ComboSelection(ids::kFlowCombo) == 1) {
            screen.AddMessage(msg::kCtsWarning[0]);
            screen.ScrollMessageListToEnd();
            screen.AddMessage(msg::kCtsWarning[1]);
            screen.AddMessage(msg::kCtsWarning[2]);
        } else {
            screen.ClearMessages();
        }
    }

    void Info() { view.MessageBox(InfoText(), msg::kWindowTitle, MessageIcon::kNone); }
    void ReceptionView() {
        if (!engine.Reception().empty()) {
            view.ShowReceptionView(ReceptionDump(engine));
        }
    }
    void ProbePorts() { EnumeratePorts(true); }
    void SavePrefs() { SaveAllPreferences(screen, settingsPath, stateFile, ports); }
    void LoadPrefs() {
        LoadAllPreferences();
        view.Repaint();
    }
    void LoadAllPreferences() {
        velotrix::LoadAllPreferences(view, settingsPath, stateFile, ports);
        PauseSelected();
    }
    // The pause after the header is a setting of the next pass of a send.
    void PauseSelected() { engine.SetPause(view.ComboSelection(ids::kPauseCombo)); }
    void Load() { editor.LoadCommand(); }
    void Refresh() { editor.RefreshTxFile(); }
    void Continuous() { engine.SetContinuousSend(view.IsChecked(ids::kContinuousCheck)); }
    void BinMode() { engine.SetBinMode(view.IsChecked(ids::kBinModeCheck)); }
    void Progress() { engine.SetShowProgress(view.IsChecked(ids::kProgressCheck)); }
    void CloseTextDialog() { view.CloseTextDialog(); }

    // Every command of both dialogs and its handler.
    static const std::unordered_map<int, Handler>& Commands() {
        static const std::unordered_map<int, Handler> table = {
            {ids::kCancel, &State::Quit},
            {ids::kMenuQuit, &State::Quit},
            {ids::kCloseBox, &State::CloseBox},
            {ids::kMenuInfo, &State::Info},
            {ids::kMenuProbePorts, &State::ProbePorts},
            {ids::kMenuSendText, &State::OpenTextDialog},
            {ids::kMenuSavePrefs, &State::SavePrefs},
            {ids::kMenuLoadPrefs, &State::LoadPrefs},
            {ids::kSaveButton, &State::Save},
            {ids::kComButton, &State::ComButton},
            {ids::kLoadButton, &State::Load},
            {ids::kRefreshButton, &State::Refresh},
            {ids::kSendFileButton, &State::SendFile},
            {ids::kContinuousCheck, &State::Continuous},
            {ids::kBinModeCheck, &State::BinMode},
            {ids::kProgressCheck, &State::Progress},
            {ids::kTextSend, &State::SendText},
            {ids::kTextClose, &State::CloseTextDialog},
            {ids::kMenuAutoReopen, &State::AutoReopen},
            {ids::kMenuReceptionView, &State::ReceptionView},
        };
        return table;
    }

    void OnNotification(int id, int code) {
        for (const auto& feature : features) {
            if (feature->OnCommand(id, code)) {
                return;
            }
        }
        if (code == ids::kNotifySelChange) {
            if (id == ids::kTxType) {
                editor.TxTypeSelected();
            } else if (id == ids::kFlowCombo) {
                FlowSelected();
            } else if (id == ids::kPauseCombo) {
                PauseSelected();
            }
            return;
        }
        if (code == ids::kNotifyEditChange && engine.Image().loaded) {
            if (id == ids::kTxAadr) {
                editor.TxAadrChanged();
            } else if (id == ids::kTxSadr) {
                editor.TxSadrChanged();
            } else if (id == ids::kTxName) {
                editor.TxNameChanged();
            }
        }
    }
};

MainController::MainController(DialogView& view, UiLoop& loop, ControllerEnvironment environment)
    : state_(std::make_unique<State>(view, loop, std::move(environment))) {}

MainController::~MainController() = default;

void MainController::Start() {
    State& s = *state_;
    DialogView& view = s.view;
    view.SetCommandHandler([this](int id, int code) { OnCommand(id, code); });
    view.SetWindowTitle(msg::kWindowTitle);
    s.memory.RestorePlacement(view);
    view.SetPaneText(ids::kPaneLabel, msg::kBufferLabel);
    s.EnumeratePorts(false);
    FillOptionLists(view);
    FillTypeCombo(view, ids::kRxType);
    FillTypeCombo(view, ids::kTxType);
    // The transfer options start as the engine made them: only "Fortschrittsanzeige" is on.
    view.SetCheck(ids::kProgressCheck, true);
    view.EnableMenuItem(ids::kMenuSendText, false);
    s.screen.SetControlMode(ControlMode::ModeClosed);
    s.ResetDisplayState();
    view.ComboSelect(ids::kPauseCombo, 0);
    view.SetFocus(ids::kMessageList);
    s.LoadAllPreferences();
    s.autoReopen = LoadAutoReopen(s.stateFile);
    s.engine.SetAutoReopen(s.autoReopen);
    view.CheckMenuItem(ids::kMenuAutoReopen, s.autoReopen);
    LoadDialogFolders(view, s.stateFile);
    s.editor.SetFileChosenHandler([&s](const std::string& path) {
        RememberDialogFolder(s.view, s.stateFile, path, FileDialogUse::kOpen);
    });
    view.SetFileDropHandler([this](const std::string& path) {
        if (!state_->finished) {
            state_->LoadGivenFile(path);
        }
    });
    for (const auto& feature : s.features) {
        feature->Start();
    }
}

void MainController::LoadFile(const std::string& path) {
    state_->LoadGivenFile(path);
}

bool MainController::Finished() const {
    return state_->finished;
}

const std::vector<PortRow>& MainController::Ports() const {
    return state_->ports;
}

Engine& MainController::GetEngine() {
    return state_->engine;
}

void MainController::OnCommand(int id, int code) {
    State& s = *state_;
    if (s.finished) {
        return;
    }
    const auto& commands = State::Commands();
    if (const auto found = commands.find(id); found != commands.end()) {
        (s.*(found->second))();
    } else {
        s.OnNotification(id, code);
    }
}

}  // namespace velotrix
