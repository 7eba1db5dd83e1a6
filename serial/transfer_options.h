// The switches that shape a send, set by the check boxes and the send commands.
#pragma once

#include <atomic>

namespace velotrix {

// Written on the UI thread, read by the sender thread: atomics, so a change is seen at once.
struct TransferOptions {
    std::atomic<bool> continuousSend{false};  // "Endlos senden"
    std::atomic<bool> binMode{false};         // "als BIN senden (o. Header)"
    std::atomic<bool> showProgress{true};     // "Fortschrittsanzeige"
    std::atomic<bool> textMode{false};        // the current send comes from the text dialog
};

}  // namespace velotrix
