// The pauses of a send, the line end of a text and the send of a text file, in the window.
#include "app/text_sending.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/more_settings.h"
#include "app/screen.h"
#include "app/state_file.h"
#include "serial/engine.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::array<std::string_view, 6> kCharDelays = {"0", "1", "2", "5", "10", "20"};
constexpr std::array<std::string_view, 7> kLineDelays = {"0",   "10",  "20", "50",
                                                         "100", "200", "500"};
// The two line end menus, their items in the order of LineEnd, what they start with and where
// the choice is remembered: the typed text's and the text file's.
struct LineEndMenu {
    std::array<int, 4> items;
    LineEnd start;
    std::string_view key;
};
constexpr LineEndMenu kLineEndMenus[] = {
    {{ids::kMenuLineEndNone, ids::kMenuLineEndCr, ids::kMenuLineEndCrLf, ids::kMenuLineEndLf},
     LineEnd::kNone,
     state_key::kLineEnd},
    {{ids::kMenuFileLineEndNone, ids::kMenuFileLineEndCr, ids::kMenuFileLineEndCrLf,
      ids::kMenuFileLineEndLf},
     LineEnd::kCr,
     state_key::kFileLineEnd},
};
constexpr int kTextMenu = 0;
constexpr int kFileMenu = 1;

// The data bytes a record of each entry of the send format; 0: the file as it was loaded.
constexpr std::array<int, 3> kHexRecordBytes = {0, 16, 32};
static_assert(std::size(msg::kHexSendEntries) == kHexRecordBytes.size());

struct DelayCombo {
    int id;
    std::span<const std::string_view> entries;
    std::string_view key;
    void (Engine::*setDelay)(int ms);
};

const DelayCombo kDelayCombos[] = {
    {ids::kCharDelayCombo, kCharDelays, state_key::kCharDelay, &Engine::SetCharDelay},
    {ids::kLineDelayCombo, kLineDelays, state_key::kLineDelay, &Engine::SetLineDelay},
};

const DelayCombo* ComboOf(int id) {
    const auto found = std::find_if(std::begin(kDelayCombos), std::end(kDelayCombos),
                                    [id](const DelayCombo& combo) { return combo.id == id; });
    return found == std::end(kDelayCombos) ? nullptr : found;
}

// Selects the entry of that value; a typed value of an earlier day becomes an entry of its own.
void SelectDelay(DialogView& view, int id, int delay) {
    const std::string text = std::to_string(delay);
    for (int i = 0; i < view.ComboCount(id); ++i) {
        if (view.ComboItem(id, i) == text) {
            view.ComboSelect(id, i);
            return;
        }
    }
    view.ComboAdd(id, text);
    view.ComboSelect(id, view.ComboCount(id) - 1);
}

}  // namespace

int DelayOf(std::string_view text) {
    long long delay = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            delay = std::min<long long>(delay * 10 + (c - '0'), kMaxDelayMs);
        }
    }
    return static_cast<int>(delay);
}

void TextSending::Start() {
    DialogView& view = parts_.view;
    for (const DelayCombo& combo : kDelayCombos) {
        view.ComboClear(combo.id);
        for (std::string_view entry : combo.entries) {
            view.ComboAdd(combo.id, entry);
        }
        const int delay = DelayOf(parts_.stateFile.ReadString(combo.key));
        SelectDelay(view, combo.id, delay);
        (parts_.engine.*combo.setDelay)(delay);
    }
    for (int menu : {kTextMenu, kFileMenu}) {
        const LineEndMenu& m = kLineEndMenus[menu];
        const std::optional<std::string> stored = parts_.stateFile.Read(m.key);
        const int lineEnd = stored ? DecimalToInt(*stored) : -1;
        ShowLineEnd(menu, lineEnd >= 0 && lineEnd < static_cast<int>(m.items.size())
                              ? lineEnd
                              : static_cast<int>(m.start));
    }
    view.ComboClear(ids::kHexSendCombo);
    for (std::string_view entry : msg::kHexSendEntries) {
        view.ComboAdd(ids::kHexSendCombo, entry);
    }
    const int hex = DecimalToInt(parts_.stateFile.ReadString(state_key::kHexSend));
    ChooseHexSend(parts_, hex >= 0 && hex < static_cast<int>(kHexRecordBytes.size()) ? hex : 0,
                  false);
    view.EnableMenuItem(ids::kMenuSendTextFile, parts_.engine.IsOpen());
}

bool TextSending::OnCommand(int id, int code) {
    if (ComboOf(id) != nullptr) {
        if (code == ids::kNotifySelChange || code == ids::kNotifyEditChange) {
            DelayChanged(id);
        }
        return true;
    }
    if (id == ids::kHexSendCombo) {
        if (code == ids::kNotifySelChange) {
            const int index = parts_.view.ComboSelection(id);
            ChooseHexSend(parts_, index >= 0 ? index : 0, true);
        }
        return true;
    }
    if (id == ids::kMenuSendTextFile) {
        SendTextFile();
        return true;
    }
    for (int menu : {kTextMenu, kFileMenu}) {
        const LineEndMenu& m = kLineEndMenus[menu];
        const auto item = std::find(m.items.begin(), m.items.end(), id);
        if (item != m.items.end()) {
            const auto index = static_cast<int>(item - m.items.begin());
            ShowLineEnd(menu, index);
            parts_.stateFile.Write(m.key, std::to_string(index));
            return true;
        }
    }
    return false;
}

// Takes effect at the next byte, also of a send that runs.
void TextSending::DelayChanged(int id) {
    const DelayCombo& combo = *ComboOf(id);
    const int delay = DelayOf(parts_.view.GetText(id));
    (parts_.engine.*combo.setDelay)(delay);
    parts_.stateFile.Write(combo.key, std::to_string(delay));
}

void TextSending::ShowLineEnd(int menu, int index) {
    const LineEndMenu& m = kLineEndMenus[menu];
    for (std::size_t i = 0; i < m.items.size(); ++i) {
        parts_.view.CheckMenuItem(m.items[i], static_cast<int>(i) == index);
    }
    if (menu == kTextMenu) {
        parts_.engine.SetLineEnd(static_cast<LineEnd>(index));
    } else {
        fileLineEnd_ = static_cast<LineEnd>(index);
    }
}

// Takes effect at the next pass of a send.
void ChooseHexSend(const WindowParts& parts, int index, bool remember) {
    parts.view.ComboSelect(ids::kHexSendCombo, index);
    parts.engine.SetHexRecords(kHexRecordBytes[static_cast<std::size_t>(index)]);
    if (remember) {
        parts.stateFile.Write(state_key::kHexSend, std::to_string(index));
    }
}

void TextSending::SendTextFile() {
    Engine& engine = parts_.engine;
    if (engine.Sending()) {
        parts_.screen.ShowResult(BusyResult());
        return;
    }
    const std::vector<FileFilter> filters = {
        {std::string(msg::kTextFiles), "*.txt;*.bas"},
        {std::string(msg::kAllFiles), "*.*"},
    };
    const auto path = parts_.view.AskOpenFile(msg::kTextFileTitle, filters, filterIndex_);
    if (!path || path->empty()) {
        return;
    }
    RememberDialogFolder(parts_.view, parts_.stateFile, *path, FileDialogUse::kOpen);
    EngineResult started = engine.SendTextFile(*path, fileLineEnd_);
    // Lines joined into one are what the person must have chosen, not what a default gave.
    if (started.kind == ErrorKind::kLinesWouldJoin) {
        if (!parts_.view.AskYesNo(started.text + "\r" + std::string(msg::kTextFileJoinAsk),
                                  started.caption)) {
            return;
        }
        started = engine.SendTextFile(*path, fileLineEnd_, true);
    }
    if (!started.ok()) {
        parts_.screen.ShowResult(started);
        return;
    }
    parts_.screen.ClearMessages();
    parts_.screen.SetControlMode(ControlMode::ModeBusy);
    parts_.view.Repaint();
}

}  // namespace velotrix
