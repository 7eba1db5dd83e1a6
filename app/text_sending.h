// The window's pauses and text line ends for home computers without handshake: "Zeichenpause",
// "Zeilenpause", the line ends of a text and of a text file, and "Textdatei senden".
#pragma once

#include <string_view>

#include "app/window_feature.h"
#include "serial/transfer_options.h"

namespace velotrix {

// A typed or chosen pause in ms: its digits, at most kMaxDelayMs; no digits is no pause.
int DelayOf(std::string_view text);

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
