// <windows.h> and the network-management headers, for the real backend only.
// Include it after the program's own headers: WinTypes.h declares constants
// under the names that <windows.h> defines as macros.
#pragma once

// The rest of the Windows defines (UNICODE, _WIN32_WINNT, WINVER) come from
// cmake/Win32.cmake, with the targets that link the Windows libraries.
#if !defined(UNICODE) || !defined(_WIN32_WINNT) || !defined(WINVER)
#error                                                                                             \
    "WinHeaders.h needs the defines of cmake/Win32.cmake: link tw_platform_win32 or tw_toolkit_win32"
#endif

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#include <lm.h>
