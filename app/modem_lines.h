// The window's DTR and RTS: the menu items that raise or drop them, the indicators beside CTS.
#pragma once

#include <memory>

#include "app/window_feature.h"

namespace velotrix {

std::unique_ptr<WindowFeature> MakeModemLinesFeature(const WindowParts& parts);

}  // namespace velotrix
