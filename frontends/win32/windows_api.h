// windows.h for the Win32 window's files: its MessageBox macro (for MessageBoxW) would rename the
// view's own MessageBox method wherever windows.h came first, so the macro goes.
#pragma once

#include <windows.h>

#undef MessageBox
