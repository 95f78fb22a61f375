// Small Windows services for the tests, so that the test sources can use the
// program's own names for Windows constants (which <windows.h> would turn
// into macros).
#pragma once

#include <string>

struct HWND__;

namespace tw::winetests {

// Deletes a key (without subkeys) under HKEY_CURRENT_USER.
void RemoveUserKey(const std::u16string& path);
void SetEnvironmentVariableForTest(const std::u16string& name, const std::u16string& value);
// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunningUnderWine();
// A hidden pop-up STATIC control with that text; null when it cannot be made.
HWND__* CreateStaticWindow(const std::u16string& text);
void DestroyTestWindow(HWND__* hwnd);

} // namespace tw::winetests
