// Tarnwick.exe: the program's one window, FUserInfo, in the Win32 window on
// the real Windows platform.
#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "platform/win32/WinPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Backend.h"

int main() {
    tw::win32::WinPlatform platform;
    tw::toolkit::Application app(tw::hosts::ProgramVersion(), tw::toolkit::Win32ExecutableFolder());
    tw::app::FUserInfo window(app, platform.platform());
    tw::toolkit::Win32Backend backend(window.Form());
    // Initialization, load, show; an unsupported system has ended the program by now.
    window.Start();
    return backend.Run();
}
