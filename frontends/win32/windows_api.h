// windows.h (and shellapi.h, for dropped files and the command line) for the Win32 window's files:
// the MessageBox macro (for MessageBoxW) would rename the view's own MessageBox method wherever
// windows.h came first, so the macro goes.
#pragma once

#include <windows.h>

#include <shellapi.h>

#undef MessageBox
