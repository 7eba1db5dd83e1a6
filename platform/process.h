// The process and its user: interrupts (Ctrl+C, or the system asking the program to end) as a
// flag to poll, the terminal, and the language of the system's texts.
#pragma once

#include <atomic>
#include <string>

#include "ui-resources/language.h"

namespace velotrix {

// From now on an interrupt sets status instead of ending the process, so that the program can
// close the port cleanly: to the exit status a shell reports for a command the signal ended (130
// for Ctrl+C, 143 when the system asks the program to end). It must live as long as the process.
// Before that, within the interrupt's handler, the open serial devices take no byte more to send
// and discard what they hold; after it, the waits that asked for it (WakeSignal) wake.
void CatchInterrupts(std::atomic<int>& status);

// True when the standard error stream is a terminal that a person watches.
bool ErrorStreamIsTerminal();

// The program's texts and the system's own (error messages) from now on in the user's language.
// Called once at start, before any thread.
void UseUserLanguage();

// The language the user asks for: VELOTRIX_LANG=de|en, otherwise the user's locale.
msg::Language UserLanguage();
// The user's locale for messages: on Linux the first of LC_ALL, LC_MESSAGES and LANG that is set
// (empty when none is), on Windows "de" or "en" after the user's UI language.
std::string UserLocaleName();

}  // namespace velotrix
