// "Jeden Empfang sichern in ...": every finished reception saved at once into a folder the user
// chose, beside the files there, never over one.
#pragma once

#include <memory>

#include "app/window_feature.h"

namespace velotrix {

// The menu item is checked while the feature is on; choosing it then asks whether to switch it
// off. The switch and the folder are remembered in the state file.
std::unique_ptr<WindowFeature> MakeSaveEveryReception(const WindowParts& parts);

}  // namespace velotrix
