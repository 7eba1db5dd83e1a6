// The passive view of the main window and the text dialog: every control is addressed by its ID.
// The controller decides, the view shows. All texts are code page 1252; paths are native.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/combo_boxes.h"
#include "text/hex_dump.h"
#include "text/terminal_input.h"
#include "text/terminal_screen.h"
#include "ui-resources/dialog_units.h"

namespace velotrix {

enum class MessageIcon { kNone, kError, kInformation };

struct FileFilter {
    std::string description;  // e.g. "alle Dateien (*.*)"
    std::string patterns;     // e.g. "*.bin;*z80;*.COM"; matched regardless of case
};

// Which file dialogs a folder is for.
enum class FileDialogUse { kOpen, kSave };

class DialogView : public ComboBoxes {
  public:
    // Receives every command of both dialogs on the UI thread: control or menu ID and the
    // notification code (ids::kNotifyClicked, kNotifySelChange, kNotifyEditChange).
    using CommandHandler = std::function<void(int id, int code)>;

    virtual void SetCommandHandler(CommandHandler handler) = 0;

    virtual void SetWindowTitle(std::string_view text) = 0;

    // Text of an edit field, button or label. Writing an edit field raises its kNotifyEditChange
    // synchronously, as the user's typing does.
    virtual void SetText(int id, std::string_view text) = 0;
    virtual std::string GetText(int id) const = 0;

    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void Show(int id, bool visible) = 0;
    virtual bool IsVisible(int id) const = 0;
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;
    // Moves the keyboard focus to the control once the current command has been handled.
    virtual void SetFocus(int id) = 0;

    // Combo boxes (the read side and ComboSelect come from ComboBoxes). A sorted box keeps its
    // entries in order whatever order they were added in.
    virtual void ComboClear(int id) = 0;
    virtual void ComboAdd(int id, std::string_view text) = 0;

    // The MessageList and any other list box: lines are only appended.
    virtual void ListClear(int id) = 0;
    virtual void ListAdd(int id, std::string_view line) = 0;
    virtual int ListCount(int id) const = 0;
    // Selects a line and scrolls it into view; -1 removes the selection.
    virtual void ListSelect(int id, int index) = 0;

    // Status bar panes 0 to 3, and the progress bar laid over pane 3 during a send.
    virtual void SetPaneText(int pane, std::string_view text) = 0;
    virtual void ShowProgress(std::uint32_t maximum) = 0;
    virtual void SetProgress(std::uint32_t value) = 0;
    virtual void HideProgress() = 0;
    // The text beside the progress bar, over the right of pane 3: percent, rate and time left of
    // a send or reception. An empty text removes it.
    virtual void SetProgressText(std::string_view text) = 0;

    virtual void EnableMenuItem(int id, bool enabled) = 0;
    // Shows or removes the check mark of a menu item.
    virtual void CheckMenuItem(int id, bool checked) = 0;
    // Draws pending changes at once (the view may coalesce repaints).
    virtual void Repaint() = 0;

    // Modal boxes and file dialogs. They return when the user has answered.
    virtual void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
    // A question with the buttons "Ja" and "Nein"; true for "Ja".
    virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
    // filterIndex (0-based) selects the filter shown first and receives the one the user used.
    // Returns the chosen native path, or nothing when the user cancelled.
    virtual std::optional<std::string> AskOpenFile(std::string_view title,
                                                   const std::vector<FileFilter>& filters,
                                                   int& filterIndex) = 0;
    virtual std::optional<std::string> AskSaveFile(std::string_view title,
                                                   std::string_view suggestedName,
                                                   const std::vector<FileFilter>& filters) = 0;
    // A folder (native path) the user chooses, the dialog opening in folder when it is not empty;
    // nothing when the user cancelled.
    virtual std::optional<std::string> AskFolder(std::string_view title,
                                                 std::string_view folder) = 0;
    // The folder (native path) the open dialogs, or the save dialogs, open in; empty: where the
    // system chooses. Each remembers its own: loading and saving seldom happen in one place.
    virtual void SetDialogFolder(FileDialogUse use, std::string_view folder) = 0;

    // Files dropped on the main window arrive here, one call each with its native path.
    using FileDropHandler = std::function<void(const std::string& path)>;
    virtual void SetFileDropHandler(FileDropHandler handler) = 0;

    // The text dialog "String senden", modal to the main window. Opening returns at once; its
    // controls 5001 to 5003 are addressed like the others and their commands reach the handler.
    virtual void OpenTextDialog() = 0;
    virtual void CloseTextDialog() = 0;
    virtual bool IsTextDialogOpen() const = 0;

    // The main window's frame on the screen, in the screen's pixels. It starts at the template's
    // size, which is also the least a person can make it; the MessageList and the status bar take
    // what is more.
    virtual layout::Rect MainWindowPlacement() const = 0;
    // Moves and sizes the main window to a remembered placement: never below the template's size,
    // and centred at the remembered size when no screen shows the remembered place any more.
    virtual void PlaceMainWindow(const layout::Rect& placement) = 0;

    // The window "Ansicht": the bytes as rows with their addresses and characters, the header
    // marked, a search and "Kopieren". Opens it, or shows the new bytes in the open one.
    virtual void ShowReceptionView(const HexDump& dump) = 0;

    // The window "Terminal": a console on the open port, modeless beside the main window and
    // resizable. Its bar (layout::TerminalBar()) holds controls addressed by ID like the main
    // window's, whose commands reach the command handler; its close box sends
    // ids::kTerminalCloseBox. Below the bar, the screen draws the TerminalScreen given (until
    // CloseTerminal) in a fixed-pitch font, placeholders set apart, and scrolls through its
    // scrollback. What a person types, presses or pastes there, and the number of lines the screen
    // shows whenever it changes, go to the input handler. Opening shows the window or brings it to
    // the front.
    virtual void OpenTerminal(const TerminalScreen& screen) = 0;
    virtual void CloseTerminal() = 0;
    virtual bool IsTerminalOpen() const = 0;
    // The screen changed: it is drawn anew, following the cursor when its line was in view.
    virtual void TerminalChanged() = 0;
    using TerminalInputHandler = std::function<void(const TerminalInput& input)>;
    virtual void SetTerminalInputHandler(TerminalInputHandler handler) = 0;
    // What the person selected with the mouse, as places of the screen's text (from before to);
    // nothing when nothing is selected.
    virtual std::optional<std::pair<TerminalPlace, TerminalPlace>> TerminalSelection() const = 0;
    // The terminal window's frame on the screen, as MainWindowPlacement; placing it keeps it
    // where a screen shows it.
    virtual layout::Rect TerminalPlacement() const = 0;
    virtual void PlaceTerminal(const layout::Rect& placement) = 0;

    // Puts the text (code page 1252) on the system's clipboard.
    virtual void CopyToClipboard(std::string_view text) = 0;
    // The system's warning sound (a bell, a key refused).
    virtual void Beep() = 0;

    // Ends the main dialog: the program's event loop stops afterwards.
    virtual void CloseMainWindow() = 0;
};

}  // namespace velotrix
