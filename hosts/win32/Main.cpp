// Tarnwick.exe: the program's one window, FUserInfo, in the Win32 window on
// the real Windows platform.
#include "platform/TextConvert.h"
#include "platform/win32/WinPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Backend.h"

#include "Version.h"

#if TW_WITH_FUSERINFO
#include "app/FUserInfo.h"
#endif

namespace {

tw::toolkit::VersionInfo ProgramVersion() {
    tw::toolkit::VersionInfo version;
    version.Title = tw::FromUtf8(TW_TITLE);
    version.Major = TW_VERSION_MAJOR;
    version.Minor = TW_VERSION_MINOR;
    version.Revision = TW_VERSION_REVISION;
    version.LegalCopyright = tw::FromUtf8(TW_LEGAL_COPYRIGHT);
    version.WebAddress = tw::FromUtf8(TW_WEB_ADDRESS);
    return version;
}

} // namespace

int main() {
    tw::win32::WinPlatform platform;
    tw::toolkit::Application app(ProgramVersion(), tw::toolkit::Win32ExecutableFolder());
#if TW_WITH_FUSERINFO
    tw::app::FUserInfo window(app, platform.platform());
    tw::toolkit::Win32Backend backend(window.Form());
    // Initialization, load, show; an unsupported system has ended the program by now.
    window.Start();
    return backend.Run();
#else
    // TODO(lead): app/ has no sources yet. Until FUserInfo links in, the
    // program shows its empty window with the title, so the build, the
    // resources and a start under Wine can be checked.
    tw::toolkit::Form form(app);
    form.SetCaption(app.Version().Title);
    form.SetClientSize(9300, 6300);
    tw::toolkit::Win32Backend backend(form);
    form.Show();
    return backend.Run();
#endif
}
