// "Datei senden": the loaded file sent as the switches say, the controls held while it runs.
#pragma once

#include "app/window_feature.h"

namespace velotrix {

// Starts the send, or shows why it cannot start; true when it started. The MessageList starts
// afresh for the send's lines.
bool SendFileCommand(const WindowParts& parts);
// The same without the box: why it did not start is returned.
EngineResult StartFileSend(const WindowParts& parts);

}  // namespace velotrix
