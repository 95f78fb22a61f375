// The resolution a window is shown at, and the system's sizes at a
// resolution. The per-monitor functions came with Windows 10; on older
// systems (and where Wine lacks one) the system-wide answer stands in.
#pragma once

#include "Win32Windows.h"

namespace tw::toolkit::win32dpi {

// Dots per inch of the system: the screen's LOGPIXELSX, 96 if none answers.
int SystemDpi();
// Dots per inch of the monitor the window is on; SystemDpi() without
// GetDpiForWindow.
int WindowDpi(HWND hwnd);
// GetSystemMetrics at a resolution: GetSystemMetricsForDpi, or the system
// metric scaled from SystemDpi() to `dpi`.
int SystemMetric(int index, int dpi);
// The window rectangle around a client rectangle at a resolution.
void AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// The system's tool tip (status) font at a resolution: a font to delete,
// or null when the system gives none.
HFONT CreateToolTipFont(int dpi);

} // namespace tw::toolkit::win32dpi
