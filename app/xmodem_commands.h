// The window's XMODEM menu: send the loaded file, receive one, cancel, and the fill-byte switch.
#pragma once

#include <memory>

#include "app/window_feature.h"

namespace velotrix {

std::unique_ptr<WindowFeature> MakeXmodemFeature(const WindowParts& parts);

// A transfer started as the menu starts it (the terminal's sends and receptions too): the send
// controls held and "XMODEM abbrechen" offered while it runs; a receive takes the remembered
// fill-byte switch. Why it did not start is returned, not shown.
EngineResult StartXmodemSend(const WindowParts& parts, bool longBlocks);
EngineResult StartXmodemReceive(const WindowParts& parts);

}  // namespace velotrix
