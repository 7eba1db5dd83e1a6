// The window and loop contract on the in-memory view and the owner-pumped loop (virtual clock).
#include "contract/view_contract.h"
#include "platform/headless/headless_view.h"
#include "platform/manual_loop.h"

namespace velotrix::contract {
namespace {

class HeadlessRig : public Rig {
  public:
    DialogView& View() override { return view_; }
    UiLoop& Loop() override { return loop_; }
    void Click(int id) override { view_.Click(id); }
    void Type(int id, std::string_view text) override { view_.Type(id, text); }
    void Pick(int id, int index) override { view_.UserSelect(id, index); }
    void Press(Key key, int focusId) override {
        if (focusId != 0) {
            view_.SetFocus(focusId);
        }
        if (key == Key::kTab) {
            view_.PressTab();
        } else if (key == Key::kEnter) {
            view_.PressEnter();
        } else if (key == Key::kEscape) {
            view_.PressEscape();
        } else {
            view_.PressCloseBox();
        }
    }
    int FocusId() override { return view_.FocusId(); }
    layout::Rect ControlRect(int id) override { return view_.ControlRect(id); }
    bool MainWindowOpen() override { return !view_.MainWindowClosed(); }
    std::string PaneText(int pane) override { return view_.PaneText(pane); }
    bool MenuChecked(int id) override { return view_.MenuChecked(id); }
    void Let(milliseconds time) override { loop_.Advance(time); }
    void TypeInTerminal(std::string_view utf8) override { view_.TypeInTerminal(utf8); }
    void PressInTerminal(TerminalKey key) override { view_.PressInTerminal(key); }
    void PasteInTerminal(std::string_view utf8) override { view_.PasteInTerminal(utf8); }
    void DragInTerminal(TerminalPlace from, TerminalPlace to) override {
        view_.SelectInTerminal(std::pair(from, to));
    }
    void CloseTerminalByUser() override { view_.CloseTerminalByUser(); }
    std::vector<std::string> TerminalShownLines() override { return view_.TerminalShownLines(); }
    std::string Clipboard() override { return view_.Clipboard(); }

  private:
    HeadlessView view_;
    ManualLoop loop_;
};

std::unique_ptr<Rig> MakeHeadlessRig() {
    return std::make_unique<HeadlessRig>();
}

VELOTRIX_VIEW_CONTRACT(Headless, MakeHeadlessRig);

}  // namespace
}  // namespace velotrix::contract
