// The user's interrupt (Ctrl+C, or the system asking the program to end) as a flag to poll.
#pragma once

#include <atomic>

namespace velotrix {

// From now on an interrupt sets flag instead of ending the process, so that the program can close
// the port cleanly. The flag must live as long as the process.
void CatchInterrupts(std::atomic<bool>& flag);

// True when the standard error stream is a terminal that a person watches.
bool ErrorStreamIsTerminal();

}  // namespace velotrix
