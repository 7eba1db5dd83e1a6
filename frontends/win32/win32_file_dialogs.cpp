// The Win32 window's modal boxes: message boxes, the common open and save dialogs, the folder
// dialog.
#include "frontends/win32/win32_view.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

// Room for the longest path the W functions take.
constexpr std::size_t kPathCapacity = 32768;

// "description\0patterns\0...\0\0"; the common dialogs match the patterns regardless of case.
std::wstring FilterList(const std::vector<FileFilter>& filters) {
    std::wstring list;
    for (const FileFilter& filter : filters) {
        list += Cp1252ToWide(filter.description);
        list.push_back(L'\0');
        list += Cp1252ToWide(filter.patterns);
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

// The core separates lines with a lone carriage return; a message box wants CR LF.
std::wstring BoxText(std::string_view cp1252) {
    std::wstring text;
    const std::wstring wide = Cp1252ToWide(cp1252);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        text.push_back(wide[i]);
        if (wide[i] == L'\r' && (i + 1 == wide.size() || wide[i + 1] != L'\n')) {
            text.push_back(L'\n');
        }
    }
    return text;
}

UINT BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kError:
            return MB_ICONERROR;
        case MessageIcon::kInformation:
            return MB_ICONINFORMATION;
        case MessageIcon::kNone:
            break;
    }
    return 0;
}

struct FileDialog {
    FileDialog(HWND owner, std::string_view title, const std::vector<FileFilter>& filters,
               std::string_view suggestedName, const std::wstring& folder)
        : titleText(Cp1252ToWide(title)), filterList(FilterList(filters)), path(kPathCapacity) {
        const std::wstring name = Cp1252ToWide(suggestedName);
        std::copy_n(name.begin(), std::min(name.size(), kPathCapacity - 1), path.begin());
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filterList.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = path.data();
        dialog.nMaxFile = static_cast<DWORD>(path.size());
        dialog.lpstrTitle = titleText.c_str();
        dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        // The working directory stays where it was; the program's files are found by full paths.
        dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    }

    std::string ChosenPath() const { return WideToUtf8(path.data()); }

    std::wstring titleText;
    std::wstring filterList;
    std::vector<wchar_t> path;
    OPENFILENAMEW dialog{};
};

// The folder dialog opens at the folder its data names.
int CALLBACK StartInFolder(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

}  // namespace

void Win32View::SetDialogFolder(FileDialogUse use, std::string_view folder) {
    dialogFolders_[static_cast<int>(use)] = Utf8ToWide(folder);
}

void Win32View::MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    ::MessageBoxW(Owner(), BoxText(text).c_str(), Cp1252ToWide(caption).c_str(),
                  MB_OK | BoxIcon(icon));
}

bool Win32View::AskYesNo(std::string_view text, std::string_view caption) {
    return ::MessageBoxW(Owner(), BoxText(text).c_str(), Cp1252ToWide(caption).c_str(),
                         MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::string> Win32View::AskOpenFile(std::string_view title,
                                                  const std::vector<FileFilter>& filters,
                                                  int& filterIndex) {
    FileDialog file(Owner(), title, filters, {},
                    dialogFolders_[static_cast<int>(FileDialogUse::kOpen)]);
    if (filterIndex >= 0 && static_cast<std::size_t>(filterIndex) < filters.size()) {
        file.dialog.nFilterIndex = static_cast<DWORD>(filterIndex) + 1;
    }
    file.dialog.Flags |= OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&file.dialog)) {
        return std::nullopt;
    }
    filterIndex = static_cast<int>(file.dialog.nFilterIndex) - 1;
    return file.ChosenPath();
}

std::optional<std::string> Win32View::AskSaveFile(std::string_view title,
                                                  std::string_view suggestedName,
                                                  const std::vector<FileFilter>& filters) {
    // No overwrite question, as in the other views: saving replaces the file.
    FileDialog file(Owner(), title, filters, suggestedName,
                    dialogFolders_[static_cast<int>(FileDialogUse::kSave)]);
    if (!GetSaveFileNameW(&file.dialog)) {
        return std::nullopt;
    }
    return file.ChosenPath();
}

std::optional<std::string> Win32View::AskFolder(std::string_view title, std::string_view folder) {
    const std::wstring titleText = Cp1252ToWide(title);
    const std::wstring start = Utf8ToWide(folder);
    BROWSEINFOW browse{};
    browse.hwndOwner = Owner();
    browse.lpszTitle = titleText.c_str();
    // The classic style: the newer one needs OLE, which the program does not load otherwise.
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = StartInFolder;
    browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    std::optional<std::string> chosen;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&browse)) {
        std::vector<wchar_t> path(kPathCapacity);
        if (SHGetPathFromIDListEx(list, path.data(), static_cast<DWORD>(path.size()),
                                  GPFIDL_DEFAULT)) {
            chosen = WideToUtf8(path.data());
        }
        ILFree(list);
    }
    return chosen;
}

}  // namespace velotrix
