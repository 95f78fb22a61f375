#include "mCommon.h"

namespace tw {

bool mCommon::CheckPlatform() {
    isWin2000OrLater_ = false;
    isXPOrLater_ = false;
    isWow64_ = false;

    // A failed call leaves the record zero, which reads as an unsupported platform.
    win::OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(win::OSVERSIONINFOA);
    system_.GetVersionExA(&version);
    if (version.dwPlatformId != win::VER_PLATFORM_WIN32_NT)
        return false;

    isWin2000OrLater_ = version.dwMajorVersion >= 5;
    isXPOrLater_ =
        version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);

    // IsWow64Process only exists from Windows XP SP2 on; without it the
    // program is taken to run natively.
    if (system_.HasIsWow64Process()) {
        win::BOOL wow64 = 0;
        if (system_.IsWow64Process(system_.GetCurrentProcess(), &wow64) != 0)
            isWow64_ = wow64 != 0;
    }
    return true;
}

} // namespace tw
