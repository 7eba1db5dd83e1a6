// The Qt window: the main dialog and the text dialog built with Qt widgets from the layout tables.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include <QSize>
#include <string>
#include <string_view>
#include <vector>

#include "frontends/qt/dialog_builder.h"
#include "platform/dialog_view.h"

class QAction;
class QDialog;
class QWidget;

namespace velotrix {

class GrowingClient;
class MainFrame;
class ReceptionWindow;
class TerminalFrame;
class TextFrame;

// Owns both windows; every call belongs to the UI thread.
class QtView : public DialogView {
  public:
    QtView();
    ~QtView() override;
    QtView(const QtView&) = delete;
    QtView& operator=(const QtView&) = delete;

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
    void SetDialogFolder(FileDialogUse use, std::string_view folder) override;
    void SetFileDropHandler(FileDropHandler handler) override;
    void Repaint() override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    bool AskYesNo(std::string_view text, std::string_view caption) override;
    std::optional<std::string> AskOpenFile(std::string_view title,
                                           const std::vector<FileFilter>& filters,
                                           int& filterIndex) override;
    std::optional<std::string> AskFolder(std::string_view title, std::string_view folder) override;
    std::optional<std::string> AskSaveFile(std::string_view title, std::string_view suggestedName,
                                           const std::vector<FileFilter>& filters) override;
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

    // The widget of a control of either dialog, or the status bar (ids::kStatusBar); nullptr for
    // an unknown ID.
    QWidget* Widget(int id) const;
    QWidget* MainWindow() const;
    QDialog* TextDialogWidget() const;
    // The window "Ansicht"; nullptr until it was first shown.
    ReceptionWindow* ReceptionView() const { return receptionView_; }
    // The menu command's action; nullptr for an unknown ID.
    QAction* MenuAction(int id) const;
    // The window "Terminal", made with the main window and hidden until opened.
    TerminalFrame* Terminal() const;

  private:
    void BuildMainWindow();
    // The MessageList and the status bar follow the client's size.
    void LayOutMainWindow();
    // Builds the text dialog from its template, replacing the one before with its text and focus.
    void BuildTextDialog();
    template <class T>
    T* Find(int id) const;
    void Notify(int id, int code);
    NotifyFn Notifier();

    CommandHandler handler_;
    std::unique_ptr<MainFrame> window_;
    std::string dialogFolders_[2];     // by FileDialogUse
    TextFrame* textDialog_ = nullptr;  // a child of the main window
    GrowingClient* client_ = nullptr;
    QSize minimumClient_;
    ReceptionWindow* receptionView_ = nullptr;  // a child of the main window
    TerminalFrame* terminal_ = nullptr;         // a child of the main window
    StatusBar status_;
    std::uint32_t progressMaximum_ = 0;
    std::map<int, BuiltControl> controls_;
    std::map<int, QAction*> actions_;
};

}  // namespace velotrix
