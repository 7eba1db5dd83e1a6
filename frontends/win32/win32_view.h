// The Win32 window: the main dialog and the text dialog made from in-memory templates built from
// the layout tables, with the menu, the status bar and its progress bar.
#pragma once

#include "frontends/win32/windows_api.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dialog_view.h"
#include "ui-resources/layout.h"

namespace velotrix {

class ReceptionWindow;
class TerminalScreenWindow;

// Pixels at 96 dpi as many at the screen's dpi (the program is DPI-aware).
int Scaled(HWND window, int pixels);
// The fixed-pitch font of the listing and the terminal, at the screen's dpi; the caller deletes
// it. And what a font measures in the window.
HFONT CreateFixedPitchFont(HWND window, int points);
TEXTMETRICW MeasureFont(HWND window, HFONT font);
// The window rectangle whose client area is the dialog's template size.
RECT TemplateWindowRect(HWND dialog, const layout::DialogLayout& layout, bool hasMenu);
// Centres the window on the work area of the monitor it is on.
void Centre(HWND window, int width, int height);
// Moves and sizes a window to a remembered placement: never below least (a window rectangle),
// and centred at the remembered size when no screen shows the remembered place any more.
void PlaceWindow(HWND window, const layout::Rect& placement, const RECT& least);

// Owns both dialogs; every call belongs to the thread that made the view (the UI thread).
class Win32View : public DialogView {
  public:
    Win32View();
    ~Win32View() override;
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    void SetCommandHandler(CommandHandler handler) override;
    void SetWindowTitle(std::string_view text) override;
    void SetText(int id, std::string_view text) override;
    std::string GetText(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool visible) override;
    bool IsVisible(int id) const override;
    void SetCheck(int id, bool checked) override;
    bool IsChecked(int id) const override;
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
    void ShowProgress(std::uint32_t maximum) override;
    void SetProgress(std::uint32_t value) override;
    void HideProgress() override;
    void SetProgressText(std::string_view text) override;
    layout::Rect MainWindowPlacement() const override;
    void PlaceMainWindow(const layout::Rect& placement) override;
    void ShowReceptionView(const HexDump& dump) override;
    void EnableMenuItem(int id, bool enabled) override;
    void CheckMenuItem(int id, bool checked) override;
    void Repaint() override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    bool AskYesNo(std::string_view text, std::string_view caption) override;
    std::optional<std::string> AskOpenFile(std::string_view title,
                                           const std::vector<FileFilter>& filters,
                                           int& filterIndex) override;
    std::optional<std::string> AskFolder(std::string_view title, std::string_view folder) override;
    std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggestedName,
                                           const std::vector<FileFilter>& filters) override;
    void SetDialogFolder(FileDialogUse use, std::string_view folder) override;
    void SetFileDropHandler(FileDropHandler handler) override;
    void OpenTextDialog() override;
    void CloseTextDialog() override;
    bool IsTextDialogOpen() const override;
    void OpenTerminal(const TerminalScreen& screen) override;
    void CloseTerminal() override;
    bool IsTerminalOpen() const override;
    void TerminalChanged() override;
    void SetTerminalInputHandler(TerminalInputHandler handler) override;
    std::optional<std::pair<TerminalPlace, TerminalPlace>> TerminalSelection() const override;
    layout::Rect TerminalPlacement() const override;
    void PlaceTerminal(const layout::Rect& placement) override;
    void CopyToClipboard(std::string_view text) override;
    void Beep() override;
    void CloseMainWindow() override;

    // The message loop until CloseMainWindow(); returns the program's exit code.
    int Run(int showCommand);
    // The dialog keys (Tab, Escape, Enter, access keys) of both dialogs; true when msg was one.
    // Enter in an edit field is swallowed: it must not press the default button.
    bool PreTranslate(MSG& msg);

    HWND MainWindow() const { return main_; }
    HWND TextDialogWindow() const { return text_; }
    // The window "Terminal" (made with the main window, hidden until opened) and its screen.
    HWND TerminalWindow() const { return terminal_; }
    TerminalScreenWindow* TerminalScreenView() const { return screen_.get(); }
    // A control of either dialog by ID, the status bar (ids::kStatusBar) or nullptr.
    HWND Control(int id) const;
    HWND ProgressBar() const { return progress_; }
    // The window "Ansicht"; nullptr until it was first shown.
    ReceptionWindow* ReceptionView() const { return reception_.get(); }
    // True while lines given to ListAdd wait to be counted by their list box.
    bool ListingPending() const;

  private:
    // The progress bar's own scale: a 16-bit range could not show a 65,536-byte block.
    static constexpr int kProgressScale = 10000;
    // Posted to the main dialog by the first line of a batch: the batch is complete when it comes.
    static constexpr UINT kFlushListingMessage = WM_APP + 2;
    static constexpr UINT_PTR kRepaintTimer = 1;
    static constexpr UINT kRepaintInterval = 50;     // ms
    static constexpr ULONGLONG kRepaintLimit = 100;  // ms

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void InitializeControls(HWND dialog, const layout::DialogLayout& layout);
    // A dialog from its template, owned by owner; its controls are entered by ID.
    HWND CreateDialogFrom(const std::vector<WORD>& dialogTemplate,
                          const layout::DialogLayout& layout, HWND owner);
    HWND CreateTextDialog();
    void CreateTerminal();
    // The screen takes what the terminal's bar leaves of the window.
    void LayOutTerminal();
    // The window rectangle of the least terminal: its bar and a few lines.
    RECT LeastTerminalRect() const;
    // Ctrl with a letter of the main window's accelerators; true when msg was one.
    bool Accelerate(const MSG& msg);
    void OnDroppedFiles(HDROP drop);
    void AttachMenuAndStatusBar();
    void OnCommand(HWND dialog, int id, int code, HWND control);
    void Notify(int id, int code);
    // True when the edit field's text differs from what it was at its last report; remembers it.
    bool TakeTextChange(int id, HWND edit);
    HWND Owner() const;
    // Sizes the text dialog to its template and centres it, as a fresh dialog comes up.
    void PlaceTextDialog();
    // The MessageList and the status bar follow the main window's size.
    void LayOutMainWindow();
    void PlaceProgressParts();
    // A hex field refuses other keys and upper-cases what it takes.
    static void LimitKeys(HWND control, const layout::Item& item);
    // A list box holds no lines of its own (LBS_NODATA): the view keeps them and draws the ones
    // it shows. A reception's batch of thousands of lines then costs the list box one new count,
    // given after the batch (see FlushListing).
    void FlushListing();
    void FitListLineHeight(HWND list) const;
    // WM_DRAWITEM for a list box's line; false for any other control.
    bool DrawListLine(const DRAWITEMSTRUCT& item) const;
    // Repaints are bounded in rate: a reception lists its batches faster than a repaint of the
    // whole window takes.
    void ScheduleRepaint();
    void RepaintNow();

    CommandHandler handler_;
    FileDropHandler dropHandler_;
    std::wstring dialogFolders_[2];  // by FileDialogUse
    std::vector<WORD> mainTemplate_;
    std::vector<WORD> textTemplate_;
    std::vector<WORD> terminalTemplate_;
    // The layout of the dialog being made, for its WM_INITDIALOG.
    const layout::DialogLayout* creating_ = nullptr;
    HWND main_ = nullptr;
    HWND text_ = nullptr;
    HWND terminal_ = nullptr;
    std::unique_ptr<TerminalScreenWindow> screen_;
    HWND status_ = nullptr;
    HWND progress_ = nullptr;
    HWND progressText_ = nullptr;  // beside the bar, over the right of pane 3
    std::unique_ptr<ReceptionWindow> reception_;
    HMENU menu_ = nullptr;
    HFONT listFont_ = nullptr;
    std::uint32_t progressMaximum_ = 0;
    bool settingText_ = false;
    std::unordered_map<int, std::vector<std::wstring>> listLines_;  // by the list box's ID
    bool flushPosted_ = false;
    bool repaintTimer_ = false;
    ULONGLONG lastRepaint_ = 0;
    std::map<int, std::wstring> reportedTexts_;
    std::unordered_map<int, HWND> controls_;  // both dialogs' controls by ID
};

}  // namespace velotrix
