// The dialog templates as Windows reads them from a resource file, built at run time from the
// same tables the other views use, so the layout is native and exact.
#include "frontends/win32/dialog_template.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

using layout::ItemKind;

// The predefined window classes, by the atoms a template names them with.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kListBoxClass = 0x0083;
constexpr WORD kComboBoxClass = 0x0085;

bool Has(const layout::Item& item, std::uint32_t style) {
    return (item.style & style) != 0;
}

class TemplateWriter {
  public:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(std::string_view cp1252) {
        for (wchar_t c : Cp1252ToWide(cp1252)) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    // Every item starts on a DWORD boundary.
    void Align() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

  private:
    std::vector<WORD> words_;
};

struct ItemClass {
    WORD atom;
    DWORD style;
    DWORD exStyle;
};

DWORD TextAlignment(const layout::Item& item) {
    if (Has(item, layout::kCentered)) {
        return ES_CENTER;
    }
    return Has(item, layout::kRightAligned) ? ES_RIGHT : ES_LEFT;
}

DWORD CheckStyle(const layout::Item& item) {
    const bool automatic = Has(item, layout::kAutoCheck);
    DWORD style = item.kind == ItemKind::kRadioButton
                      ? (automatic ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON)
                      : (automatic ? BS_AUTOCHECKBOX : BS_CHECKBOX);
    return Has(item, layout::kLeftText) ? style | BS_LEFTTEXT : style;
}

ItemClass ClassOf(const layout::Item& item, bool defaultButton) {
    const DWORD sunken = Has(item, layout::kSunken) ? WS_EX_CLIENTEDGE : 0;
    switch (item.kind) {
        case ItemKind::kPushButton:
            return {kButtonClass,
                    Has(item, layout::kDefaultButton) && defaultButton ? DWORD{BS_DEFPUSHBUTTON}
                                                                       : DWORD{BS_PUSHBUTTON},
                    0};
        case ItemKind::kRadioButton:
        case ItemKind::kCheckBox:
            return {kButtonClass, CheckStyle(item), 0};
        case ItemKind::kDropDownList:
            // No CBS_SORT: sorted boxes insert in the program's own order, as every view does.
            return {
                kComboBoxClass,
                static_cast<DWORD>((Has(item, layout::kEditable) ? CBS_DROPDOWN | CBS_AUTOHSCROLL
                                                                 : CBS_DROPDOWNLIST) |
                                   WS_VSCROLL),
                0};
        case ItemKind::kEdit:
            return {kEditClass,
                    TextAlignment(item) | (Has(item, layout::kReadOnly) ? ES_READONLY : 0) |
                        (Has(item, layout::kNoAutoHScroll) ? 0 : ES_AUTOHSCROLL),
                    sunken};
        case ItemKind::kListBox:
            return {kListBoxClass,
                    static_cast<DWORD>(LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NODATA |
                                       (Has(item, layout::kVScroll) ? WS_VSCROLL : 0)),
                    sunken};
        case ItemKind::kLabel:
            return {kStaticClass,
                    (Has(item, layout::kRightAligned) ? DWORD{SS_RIGHT} : DWORD{SS_LEFT}) |
                        (Has(item, layout::kVCentered) ? SS_CENTERIMAGE : 0) | SS_NOPREFIX,
                    0};
        case ItemKind::kGroupBox:
            return {kButtonClass,
                    static_cast<DWORD>(BS_GROUPBOX | (Has(item, layout::kFlat) ? BS_FLAT : 0)), 0};
        case ItemKind::kFrame:
            break;
    }
    return {kStaticClass, SS_ETCHEDFRAME, 0};
}

DWORD DialogStyle(const layout::DialogLayout& dialog) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME | DS_3DLOOK;
    if (dialog.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    if (dialog.maximizeBox) {
        style |= WS_MAXIMIZEBOX;
    }
    if (dialog.sizingBorder) {
        style |= WS_THICKFRAME;
    }
    return style;
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const layout::DialogLayout& dialog, bool defaultButton) {
    TemplateWriter out;
    out.Word(1);       // dlgVer
    out.Word(0xFFFF);  // signature of the extended template
    out.Dword(0);      // help ID
    out.Dword(0);      // extended style
    out.Dword(DialogStyle(dialog));
    out.Word(static_cast<WORD>(dialog.items.size()));
    for (int value : {0, 0, dialog.width, dialog.height}) {
        out.Word(static_cast<WORD>(value));
    }
    out.Word(0);  // no menu in the template: the main dialog gets it when it is made
    out.Word(0);  // the standard dialog class
    out.Text(dialog.caption);
    out.Word(static_cast<WORD>(dialog.fontPointSize));
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
    out.Text(dialog.fontName);

    for (const layout::Item& item : dialog.items) {
        const ItemClass itemClass = ClassOf(item, defaultButton);
        DWORD style = WS_CHILD | itemClass.style;
        if (!Has(item, layout::kHidden)) {
            style |= WS_VISIBLE;
        }
        if (Has(item, layout::kDisabled)) {
            style |= WS_DISABLED;
        }
        // Each control is a group of its own, so the arrow keys never move the focus, as in the
        // other views.
        if (item.id != layout::kNoId) {
            style |= WS_GROUP | (layout::IsTabStop(item) ? WS_TABSTOP : 0);
        }
        out.Align();
        out.Dword(0);  // help ID
        out.Dword(itemClass.exStyle);
        out.Dword(style);
        for (int value : {item.x, item.y, item.width, item.height}) {
            out.Word(static_cast<WORD>(value));
        }
        out.Dword(static_cast<DWORD>(item.id));
        out.Word(0xFFFF);
        out.Word(itemClass.atom);
        out.Text(item.caption);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

HMENU BuildMenu() {
    std::vector<HMENU> open{CreateMenu()};
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        switch (entry.kind) {
            case layout::MenuKind::kPopup: {
                const HMENU popup = CreatePopupMenu();
                AppendMenuW(open.back(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                            Cp1252ToWide(entry.caption).c_str());
                open.push_back(popup);
                break;
            }
            case layout::MenuKind::kItem:
                AppendMenuW(open.back(), MF_STRING, static_cast<UINT_PTR>(entry.commandId),
                            Cp1252ToWide(entry.caption).c_str());
                break;
            case layout::MenuKind::kSeparator:
                AppendMenuW(open.back(), MF_SEPARATOR, 0, nullptr);
                break;
            case layout::MenuKind::kEnd:
                if (open.size() > 1) {
                    open.pop_back();
                }
                break;
        }
    }
    return open.front();
}

}  // namespace velotrix
