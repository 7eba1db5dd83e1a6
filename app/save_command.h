// "SICHERN": the finished reception into a file the user chooses.
#pragma once

#include "app/window_feature.h"

namespace velotrix {

// Asks for the file under the suggested name, asks before it replaces one, saves, and shows the
// result in a box; a saved reception no longer counts as unsaved.
void SaveReceptionCommand(const WindowParts& parts);

}  // namespace velotrix
