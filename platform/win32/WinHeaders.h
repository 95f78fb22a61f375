// <windows.h> and the network-management headers, for the real backend only.
// Include it after the program's own headers: WinTypes.h declares constants
// under the names that <windows.h> defines as macros.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#include <lm.h>
