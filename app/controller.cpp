// The main dialog's controller: start-up, the dispatch of every command, and the display reset.
#include "app/controller.h"

#include <array>
#include <string_view>

#include "ui-resources/ids.h"
#include "app/preferences.h"
#include "app/screen.h"
#include "app/header_editor.h"
#include "image/rx_save.h"
#include "image/tx_image.h"
#include "app/type_combo.h"
#include "platform/files.h"
#include "serial/port_control.h"
#include "serial/receive_engine.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"

namespace velotrix {

namespace {

constexpr std::string_view kWindowTitle = "V.24 Velotrix V. 0.8";
constexpr std::string_view kSettingsFileName = "Velotrix.ini";

constexpr std::array<std::string_view, 11> kInfoLines = {
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

// The lines of a message box are separated by a carriage return alone.
std::string InfoText() {
    std::string text;
    for (std::size_t i = 0; i < kInfoLines.size(); ++i) {
        if (i > 0) {
            text += '\r';
        }
        text += kInfoLines[i];
    }
    return text;
}

constexpr int kTxFieldsBlankedOnReset[] = {ids::kTxKind, ids::kTxAadr, ids::kTxEadr, ids::kTxSadr,
                                           ids::kTxName, ids::kTxCrc,  ids::kTxBytes};

}  // namespace

std::string DefaultSettingsPath() {
    const std::string directory = ProgramDirectory();
    std::string path = directory + std::string(kSettingsFileName);
    if (FileExists(path) || DirectoryWritable(directory)) {
        return path;
    }
    return UserConfigDirectory() + "velotrix/" + std::string(kSettingsFileName);
}

struct MainController::State {
    State(DialogView& v, UiLoop& l, ControllerEnvironment e)
        : view(v),
          loop(l),
          environment(std::move(e)),
          screen(v),
          receiver(screen, l),
          portControl(screen, l, port, receiver, environment.listPorts, environment.openDevice),
          sends(screen, l, port, options, tx),
          editor(screen, tx) {}

    DialogView& view;
    UiLoop& loop;
    ControllerEnvironment environment;
    Screen screen;
    TxImage tx;
    TransferOptions options;
    SerialPort port;
    ReceiveEngine receiver;
    PortControl portControl;
    SendSequences sends;
    HeaderEditor editor;
    bool finished = false;
};

MainController::MainController(DialogView& view, UiLoop& loop, ControllerEnvironment environment)
    : state_(std::make_unique<State>(view, loop, std::move(environment))) {
    state_->portControl.SetStopSender([this] { state_->sends.StopAndJoin(); });
}

MainController::~MainController() {
    // The close box ends the dialog without closing the port; the workers must still be stopped
    // and joined before the records they use go away.
    state_->portControl.ClosePort();
}

void MainController::Start() {
    State& s = *state_;
    DialogView& view = s.view;
    view.SetCommandHandler([this](int id, int code) { OnCommand(id, code); });
    view.SetWindowTitle(kWindowTitle);
    view.SetPaneText(ids::kPaneLabel, "Puffer:");

    s.portControl.EnumeratePorts(false);
    FillOptionLists(view);
    FillTypeCombo(view, ids::kRxType);
    FillTypeCombo(view, ids::kTxType);

    s.options.continuousSend = false;
    s.options.binMode = false;
    s.options.showProgress = true;
    view.SetCheck(ids::kProgressCheck, true);
    view.EnableMenuItem(ids::kMenuSendText, false);

    s.screen.SetControlMode(ModeClosed);
    ResetDisplayState();
    s.tx.loaded = false;
    view.ComboSelect(ids::kPauseCombo, 0);
    view.SetFocus(ids::kMessageList);
    LoadPreferences(view, s.environment.settingsPath);
    s.sends.RefreshSnapshot();
}

bool MainController::Finished() const {
    return state_->finished;
}

const std::vector<PortInfo>& MainController::Ports() const {
    return state_->portControl.Ports();
}

bool MainController::Sending() const {
    return state_->sends.Busy();
}

void MainController::Quit() {
    state_->portControl.ClosePort();
    EndDialog();
}

void MainController::EndDialog() {
    state_->finished = true;
    state_->view.CloseMainWindow();
}

void MainController::ResetDisplayState() {
    State& s = *state_;
    // loaded drops first, so that blanking the editable TX fields below changes no header.
    s.tx.loaded = false;
    s.screen.ClearMessages();
    s.receiver.ResetListing();
    for (int id : kTxFieldsBlankedOnReset) {
        s.view.SetText(id, " ");
    }
    s.view.Enable(ids::kSaveButton, false);
    s.view.SetPaneText(ids::kPanePath, " ");
    s.view.SetPaneText(ids::kPaneSent, " ");
    s.view.SetPaneText(ids::kPaneReceived, " ");
    s.view.Repaint();
}

void MainController::SaveCommand() {
    State& s = *state_;
    const auto bytes = s.receiver.SavableBytes();
    if (bytes.empty()) {
        s.view.MessageBox("Nix da zum sichern.", "Fehler!", MessageIcon::kNone);
        return;
    }
    const std::string suggested =
        SuggestedSaveName(s.view.GetText(ids::kRxName), s.receiver.SavableHasHeader());
    const auto path = s.view.AskSaveFile(suggested, suggested, {{"Alle Dateien", "*.*"}});
    if (!path) {
        return;
    }
    const SaveResult result = SaveRxBuffer(*path, bytes);
    s.view.MessageBox(result.message, result.caption, MessageIcon::kNone);
}

void MainController::FlowSelected() {
    State& s = *state_;
    if (s.view.ComboSelection(ids::kFlowCombo) == 1) {
        s.screen.AddMessage("Nur verwenden, wenn Gegenstation CTS-RTS-Handshake unterst\xFCtzt!");
        s.screen.ScrollMessageListToEnd();
        s.screen.AddMessage("Ansonsten nicht Senden!");
        s.screen.AddMessage("Dauersenden vermeiden!");
    } else {
        s.screen.ClearMessages();
    }
}

void MainController::OnCommand(int id, int code) {
    State& s = *state_;
    if (s.finished) {
        return;
    }
    switch (id) {
        case ids::kCancel:
        case ids::kMenuQuit:
            Quit();
            return;
        case ids::kCloseBox:
            EndDialog();
            return;
        case ids::kMenuInfo:
            s.view.MessageBox(InfoText(), kWindowTitle, MessageIcon::kNone);
            break;
        case ids::kMenuProbePorts:
            s.portControl.EnumeratePorts(true);
            break;
        case ids::kMenuSendText:
            if (!s.sends.RefuseWhileBusy()) {
                s.view.OpenTextDialog();
            }
            break;
        case ids::kMenuSavePrefs:
            SavePreferences(s.view, s.environment.settingsPath);
            break;
        case ids::kMenuLoadPrefs:
            LoadPreferences(s.view, s.environment.settingsPath);
            s.view.Repaint();
            break;
        case ids::kSaveButton:
            SaveCommand();
            break;
        case ids::kComButton:
            s.portControl.TogglePort();
            ResetDisplayState();
            break;
        case ids::kLoadButton:
            s.editor.LoadCommand();
            break;
        case ids::kRefreshButton:
            s.editor.RefreshTxFile();
            break;
        case ids::kSendFileButton:
            s.sends.FileSendCommand();
            break;
        case ids::kContinuousCheck:
            s.options.continuousSend = s.view.IsChecked(ids::kContinuousCheck);
            break;
        case ids::kBinModeCheck:
            s.options.binMode = s.view.IsChecked(ids::kBinModeCheck);
            break;
        case ids::kProgressCheck:
            s.options.showProgress = s.view.IsChecked(ids::kProgressCheck);
            break;
        case ids::kTextSend:
            s.sends.TextSendCommand();
            break;
        case ids::kTextClose:
            s.view.CloseTextDialog();
            break;
        default:
            OnNotification(id, code);
            break;
    }
    // Whatever the command changed (header edits, loads, the pause), the next pass of a send
    // takes it from here.
    s.sends.RefreshSnapshot();
}

void MainController::OnNotification(int id, int code) {
    State& s = *state_;
    if (code == ids::kNotifySelChange) {
        if (id == ids::kTxType) {
            s.editor.TxTypeSelected();
        } else if (id == ids::kFlowCombo) {
            FlowSelected();
        }
        return;
    }
    if (code == ids::kNotifyEditChange && s.tx.loaded) {
        if (id == ids::kTxAadr) {
            s.editor.TxAadrChanged();
        } else if (id == ids::kTxSadr) {
            s.editor.TxSadrChanged();
        } else if (id == ids::kTxName) {
            s.editor.TxNameChanged();
        }
    }
}

}  // namespace velotrix
