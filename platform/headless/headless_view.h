// The in-memory window: the main dialog and the text dialog as plain records that the tests read
// and drive like a person at the keyboard would.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_view.h"
#include "ui-resources/layout.h"

namespace velotrix {

// A terminal screen's lines, scrollback and screen, without the empty ones below the last written.
std::vector<std::string> WrittenLines(const TerminalScreen& screen);

// Built from the layout tables, so every control of both dialogs and every menu command exists with
// its template state. IDs that name nothing are ignored by setters and read as empty, false or -1.
//
// Thread rule: like a real window, the view belongs to the UI thread. Nothing in it is locked;
// other threads reach it only through UiLoop::Post.
class HeadlessView : public DialogView {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    enum class FileDialogKind { kOpen, kSave, kFolder };
    struct FileDialogCall {
        FileDialogKind kind;
        std::string suggestedName;  // save dialogs: the name; folder dialogs: the start folder
        std::optional<std::string> answer;
        std::string folder = {};  // file dialogs: the folder they opened in
    };

    HeadlessView();

    // DialogView.
    void SetCommandHandler(CommandHandler handler) override { handler_ = std::move(handler); }
    void SetWindowTitle(std::string_view) override {}
    void SetText(int id, std::string_view text) override;
    std::string GetText(int id) const override;
    void Enable(int id, bool enabled) override { SetFlag(id, &Control::enabled, enabled); }
    bool IsEnabled(int id) const override { return Flag(id, &Control::enabled); }
    void Show(int id, bool visible) override { SetFlag(id, &Control::visible, visible); }
    bool IsVisible(int id) const override;
    void SetCheck(int id, bool checked) override;
    bool IsChecked(int id) const override { return Flag(id, &Control::checked); }
    void SetFocus(int id) override;
    int ComboCount(int id) const override;
    std::string ComboItem(int id, int index) const override;
    int ComboSelection(int id) const override;
    void ComboSelect(int id, int index) override;
    void ComboClear(int id) override;
    void ComboAdd(int id, std::string_view text) override;
    void ListClear(int id) override;
    void ListAdd(int id, std::string_view line) override;
    int ListCount(int id) const override;
    void ListSelect(int id, int index) override;
    void SetPaneText(int pane, std::string_view text) override;
    // The progress bar shows nothing a test reads: the rig reads progress from the engine's events.
    void ShowProgress(std::uint32_t) override {}
    void SetProgress(std::uint32_t) override {}
    void HideProgress() override {}
    void SetProgressText(std::string_view text) override { progressText_ = text; }
    layout::Rect MainWindowPlacement() const override { return placement_; }
    void PlaceMainWindow(const layout::Rect& placement) override;
    void ShowReceptionView(const HexDump& dump) override { receptionView_ = dump; }
    void EnableMenuItem(int id, bool enabled) override;
    void CheckMenuItem(int id, bool checked) override;
    void SetDialogFolder(FileDialogUse use, std::string_view folder) override {
        dialogFolders_[static_cast<int>(use)] = folder;
    }
    void SetFileDropHandler(FileDropHandler) override {}
    void Repaint() override {}
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    // Recorded among the messages; answered from the queue, "Ja" when nothing is queued.
    bool AskYesNo(std::string_view text, std::string_view caption) override;
    std::optional<std::string> AskOpenFile(std::string_view title,
                                           const std::vector<FileFilter>& filters,
                                           int& filterIndex) override;
    std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggestedName,
                                           const std::vector<FileFilter>& filters) override;
    std::optional<std::string> AskFolder(std::string_view title, std::string_view folder) override;
    void OpenTextDialog() override;
    void CloseTextDialog() override;
    bool IsTextDialogOpen() const override { return textDialogOpen_; }
    void OpenTerminal(const TerminalScreen& screen) override;
    void CloseTerminal() override;
    bool IsTerminalOpen() const override { return terminal_ != nullptr; }
    void TerminalChanged() override {}
    void SetTerminalInputHandler(TerminalInputHandler handler) override {
        terminalInput_ = std::move(handler);
    }
    std::optional<std::pair<TerminalPlace, TerminalPlace>> TerminalSelection() const override {
        return selection_;
    }
    layout::Rect TerminalPlacement() const override { return terminalPlacement_; }
    void PlaceTerminal(const layout::Rect& placement) override;
    void CopyToClipboard(std::string_view text) override { clipboard_ = text; }
    void Beep() override { ++beeps_; }
    void CloseMainWindow() override;

    // Reading the window.
    // The entries of a list box or combo box.
    std::vector<std::string> Lines(int id) const;
    std::string PaneText(int pane) const;
    // The selected line of a list box, -1 for none.
    int ListSelection(int id) const;
    // The window "Ansicht" as last shown; nullptr while it was never opened.
    const HexDump* ReceptionView() const { return receptionView_ ? &*receptionView_ : nullptr; }
    // The screen the in-memory window lives on, and a control's rectangle in its window.
    static constexpr layout::Rect kScreen{0, 0, 1920, 1080};
    layout::Rect ControlRect(int id) const;
    // Keys that a field refused, each with a beep.
    int Beeps() const { return beeps_; }
    bool MenuEnabled(int id) const { return menu_.count(id) != 0 && menu_.at(id); }
    const std::string& DialogFolder(FileDialogUse use) const {
        return dialogFolders_[static_cast<int>(use)];
    }
    bool MenuChecked(int id) const { return menuChecked_.count(id) != 0 && menuChecked_.at(id); }
    // 0 while no control has the focus.
    int FocusId() const { return focusId_; }
    const std::vector<Message>& Messages() const { return messages_; }
    const std::vector<FileDialogCall>& FileDialogCalls() const { return fileDialogCalls_; }
    bool MainWindowClosed() const { return mainClosed_; }
    // The terminal's screen as its lines (scrollback and screen, the empty ones below the last
    // written left out), and the clipboard.
    std::vector<std::string> TerminalLines() const;
    // The screen's own lines (below the scrollback), as a window as high as the screen shows them.
    std::vector<std::string> TerminalShownLines() const;
    // The screen the open terminal draws; nullptr while it is closed.
    const TerminalScreen* Terminal() const { return terminal_; }
    const std::string& Clipboard() const { return clipboard_; }

    // Answers for the next file dialogs of the kind, in order; nothing queued answers "cancel".
    void QueueAnswer(FileDialogKind kind, std::optional<std::string> path) {
        answers_[static_cast<int>(kind)].push_back(std::move(path));
    }
    void QueueYesNoAnswer(bool yes) { yesNoAnswers_.push_back(yes); }

    // A person's actions. Each does nothing where the person could not act: on a disabled or hidden
    // control, on the main window while the modal text dialog is open, on the text dialog while it
    // is closed, on a grayed menu item, and on anything after the main window has closed.
    //
    // Clicks a button, check box, radio button or menu item. The control takes the focus; an
    // automatic check box toggles before its command goes out; a plain radio button keeps its
    // state, as only the program sets it.
    void Click(int id);
    // Selects all of an editable field and types text over it, one key at a time: each key that
    // changes the text raises the field's change notification, and keys beyond its limit are
    // refused as Windows refuses them.
    void Type(int id, std::string_view text);
    // Picks an entry of a combo box or list box; the selection-change notification follows.
    void UserSelect(int id, int index);
    // Enter: the focused push button if one has the focus, otherwise the dialog's default button:
    // "Senden" in the text dialog. In an edit field of the main dialog it only ends the edit.
    void PressEnter();
    // Escape: the main dialog's cancel command; in the text dialog its close command.
    void PressEscape();
    // Tab: the focus moves to the next control of the dialog in front that a person can change.
    void PressTab();
    // The close box of the dialog in front; the text dialog's procedure treats its own like its
    // close button.
    void PressCloseBox();
    // In the terminal's screen: typed characters (UTF-8, one key each), a key, a paste, a selection
    // made with the mouse (nothing: none); and its close box.
    void TypeInTerminal(std::string_view utf8);
    void PressInTerminal(TerminalKey key);
    void PasteInTerminal(std::string_view utf8);
    void SelectInTerminal(std::optional<std::pair<TerminalPlace, TerminalPlace>> selection);
    void CloseTerminalByUser();
    // A command that reaches the window whatever the state of its control, as a keyboard
    // accelerator's or another program's does.
    void SendCommand(int id);

    // What the person did, by the IDs of the controls, menu commands and keys (Escape is kCancel,
    // the close box kCloseBox, Tab and Enter the two below), and the one of them that does nothing
    // when the person uses it: what a table's row shows without it.
    static constexpr int kTabKey = -2;
    static constexpr int kEnterKey = -3;
    struct PersonTrace {
        std::set<int> used;
        int ignored = 0;
    };
    const PersonTrace& Trace() const { return trace_; }
    void SetTrace(PersonTrace trace) { trace_ = std::move(trace); }

  private:
    enum class Window { kMain, kText, kTerminal };
    struct Control {
        const layout::Item* item = nullptr;
        Window window = Window::kMain;
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        std::vector<std::string> entries;  // combo and list boxes
        int selection = -1;
    };

    static Control FromTemplate(const layout::Item& item, Window window);
    // Where a window asked at placement is put on the screen, at least as large as least.
    static layout::Rect Placed(const layout::Rect& placement, const layout::Rect& least);
    // Whether the window of the control is on the screen now.
    bool WindowOpen(Window window) const;
    void Input(const TerminalInput& input);
    Control* Find(int id);
    const Control* Find(int id) const;
    Control* FindOfKind(int id, layout::ItemKind kind);
    const Control* FindOfKind(int id, layout::ItemKind kind) const;
    // A combo or list box (nullptr: none) emptied, or given an entry.
    static void ClearEntries(Control* box);
    static void AddEntry(Control* box, std::string_view text);
    // A flag of the control; false, and nothing set, for an ID that names nothing.
    bool Flag(int id, bool Control::*flag) const;
    void SetFlag(int id, bool Control::*flag, bool on);
    // The box's entry at index; empty for none.
    static std::string EntryAt(const Control* box, int index);
    // The control when a person can reach it now, else nullptr.
    Control* Reachable(int id);
    // Notes the person's use of id; false when the person's use of it is to do nothing.
    bool PersonUses(int id);
    bool MainWindowReachable() const { return !mainClosed_ && !textDialogOpen_; }
    void Raise(int id, int code);
    std::optional<std::string> Answer(FileDialogKind kind, std::string_view suggested,
                                      std::string_view folder = {});

    CommandHandler handler_;
    std::map<int, Control> controls_;
    std::map<int, bool> menu_;  // command ID -> enabled
    std::map<int, bool> menuChecked_;
    std::string dialogFolders_[2];  // by FileDialogUse
    std::array<std::string, 4> panes_;
    std::string progressText_;
    layout::Rect placement_;
    std::optional<HexDump> receptionView_;
    int beeps_ = 0;
    int focusId_ = 0;
    int focusBeforeTextDialog_ = 0;
    bool textDialogOpen_ = false;
    bool mainClosed_ = false;
    const TerminalScreen* terminal_ = nullptr;
    TerminalInputHandler terminalInput_;
    std::optional<std::pair<TerminalPlace, TerminalPlace>> selection_;
    layout::Rect terminalPlacement_{0, 0, 640, 480};
    std::string clipboard_;
    std::vector<Message> messages_;
    std::vector<FileDialogCall> fileDialogCalls_;
    std::array<std::deque<std::optional<std::string>>, 3> answers_;  // by FileDialogKind
    std::deque<bool> yesNoAnswers_;
    PersonTrace trace_;
};

}  // namespace velotrix
