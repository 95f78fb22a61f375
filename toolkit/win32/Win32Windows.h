// <windows.h> (through WinHeaders.h, with the program's defines) and the
// common controls for the Win32 window, included after the toolkit's own
// headers.
#pragma once

#include "platform/win32/WinHeaders.h"

#include <commctrl.h>
#include <windowsx.h>
