// The window's pauses and text line ends for home computers without handshake: "Zeichenpause",
// "Zeilenpause", the line ends of a text and of a text file, "Textdatei senden", and a file sent
// as Intel HEX text.
#pragma once

#include <string_view>

#include "app/window_feature.h"
#include "serial/transfer_options.h"

namespace velotrix {

// A typed or chosen pause in ms: its digits, at most kMaxDelayMs; no digits is no pause.
int DelayOf(std::string_view text);

// The HEX send choice (an index of msg::kHexSendEntries, 0: no HEX) shown, taken by the engine
// and, when remember is set, kept for the next start. Also the terminal's format list sets it.
void ChooseHexSend(const WindowParts& parts, int index, bool remember);

class TextSending : public WindowFeature {
  public:
    explicit TextSending(const WindowParts& parts) : parts_(parts) {}

    void Start() override;
    bool OnCommand(int id, int code) override;

  private:
    void DelayChanged(int id);
    // The check marks of a line end menu; the typed text's goes to the engine.
    void ShowLineEnd(int menu, int index);
    void SendTextFile();

    WindowParts parts_;
    int filterIndex_ = 0;
    LineEnd fileLineEnd_ = LineEnd::kCr;
};

}  // namespace velotrix
