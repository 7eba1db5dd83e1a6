// The window's XMODEM menu: send the loaded file, receive one, cancel, and the fill-byte switch.
#pragma once

#include <memory>

#include "app/window_feature.h"

namespace velotrix {

std::unique_ptr<WindowFeature> MakeXmodemFeature(const WindowParts& parts);

}  // namespace velotrix
