// The Qt window's modal boxes: message boxes, the open and save file dialogs, the folder dialog.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_view.h"

class QWidget;

namespace velotrix {

// The Qt name filter for a file dialog: the description, then the patterns with every letter
// matching either case, since Qt matches them case-sensitively on Linux and the program's users
// expect HELLO.BIN under "*.bin".
QString NameFilter(const FileFilter& filter);

// Each is modal to owner and returns when the user has answered, as DialogView describes.
void ShowMessageBox(QWidget* owner, std::string_view text, std::string_view caption,
                    MessageIcon icon);
// "Ja" and "Nein", "Nein" the default; true for "Ja".
bool AskQuestion(QWidget* owner, std::string_view text, std::string_view caption);
// The file dialogs open in folder, when it is not empty.
std::optional<std::string> RunOpenFileDialog(QWidget* owner, std::string_view title,
                                             const std::vector<FileFilter>& filters,
                                             int& filterIndex, std::string_view folder);
std::optional<std::string> RunSaveFileDialog(QWidget* owner, std::string_view title,
                                             std::string_view suggestedName,
                                             const std::vector<FileFilter>& filters,
                                             std::string_view folder);
std::optional<std::string> RunFolderDialog(QWidget* owner, std::string_view title,
                                           std::string_view folder);

}  // namespace velotrix
