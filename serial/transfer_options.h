// The switches that shape a send, set by the check boxes and the send commands.
#pragma once

#include <atomic>

#include "serial/engine_types.h"

namespace velotrix {

// Written on the UI thread, read by the sender thread: atomics, so a change is seen at once.
struct TransferOptions {
    std::atomic<bool> continuousSend{false};  // "Endlos senden"
    std::atomic<bool> binMode{false};         // "als BIN senden (o. Header)"
    std::atomic<bool> showProgress{true};     // "Fortschrittsanzeige"

    // For home computers without handshake: silence on the line after each byte of a send, and
    // after each line end of a text, so that the machine keeps up.
    std::atomic<int> charDelayMs{0};
    std::atomic<int> lineDelayMs{0};
    // Appended to the text of "String senden" (and to each line of a text file).
    std::atomic<LineEnd> lineEnd{LineEnd::kNone};
    // While the terminal is open, what arrives belongs to it: no send throws it away.
    std::atomic<bool> keepInput{false};
};

// The bytes of a line end: "", "\r", "\r\n" or "\n".
const char* LineEndBytes(LineEnd end);

}  // namespace velotrix
