// The window "Terminal" (menu "Ansicht", Ctrl+T): a console on the open port beside the main
// window. What the machine sends shows on its screen; keys, pastes and typed hex bytes go out;
// "Datei senden" sends the loaded file, after the machine's prompt when asked to wait for one;
// "Empfang starten" lets the next bytes form a reception of the main window.
#pragma once

#include <chrono>
#include <memory>

#include "app/window_feature.h"

namespace velotrix {

// The screen is drawn at most this often while text pours in, and the last byte shows within it.
inline constexpr std::chrono::milliseconds kTerminalDrawInterval{30};
// How long a send waits for the prompt when no time is given.
inline constexpr int kDefaultPromptSeconds = 10;

std::unique_ptr<WindowFeature> MakeTerminalWindow(const WindowParts& parts);

}  // namespace velotrix
