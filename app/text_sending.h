// The window's pauses and text line ends for home computers without handshake: "Zeichenpause",
// "Zeilenpause", the menu "Zeilenende", "Textdatei senden", and a file sent as Intel HEX text.
#pragma once

#include <string_view>

#include "app/window_feature.h"

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
    void ChooseLineEnd(int index);
    void ShowLineEnd(int index);  // the check mark and the engine's line end
    void ShowHexSend(int index);  // the send format's entry and the engine's record size
    void SendTextFile();

    WindowParts parts_;
    int filterIndex_ = 0;
};

}  // namespace velotrix
