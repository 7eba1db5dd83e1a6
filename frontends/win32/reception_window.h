// The window "Ansicht" on Windows: a finished reception as rows of 16 bytes with addresses, hex
// and characters, the header's rows marked, a search for hex or text and "Kopieren" as hex.
#pragma once

#include "frontends/win32/windows_api.h"

#include "text/hex_dump.h"

namespace velotrix {

class ReceptionWindow {
  public:
    // owner: the main window, which the view stays in front of; font: the listing's font.
    ReceptionWindow(HWND owner, HFONT font);
    ~ReceptionWindow();
    ReceptionWindow(const ReceptionWindow&) = delete;
    ReceptionWindow& operator=(const ReceptionWindow&) = delete;

    // Shows the bytes (replacing those shown before) and brings the window to the front.
    void Show(const HexDump& dump);
    HWND Window() const { return window_; }
    HWND Rows() const { return rows_; }
    // The bytes under the selection of the rows.
    ByteRange Selection() const;
    // "Suchen" and "Kopieren", as their buttons do.
    void Search();
    void Copy();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut();

    HexDump dump_;
    HFONT font_;
    HWND window_ = nullptr;
    HWND rows_ = nullptr;
    HWND query_ = nullptr;
    HWND hex_ = nullptr;
    HWND search_ = nullptr;
    HWND note_ = nullptr;
    HWND copy_ = nullptr;
};

}  // namespace velotrix
