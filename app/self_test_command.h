// The window's "Schleifentest": the adapter self-test from the Test menu, its result in a box.
#pragma once

#include <memory>

#include "app/window_feature.h"

namespace velotrix {

std::unique_ptr<WindowFeature> MakeSelfTestFeature(const WindowParts& parts);

}  // namespace velotrix
