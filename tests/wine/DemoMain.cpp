// tarnwick-win32-demo.exe: the tests' small window, for looking at the Win32
// window by eye (run-wine-tests.sh takes a screenshot of it).
#include "toolkit/win32/Win32Backend.h"

#include "toolkit/TestForm.h"

int main() {
    tw::toolkit::test::TestForm t;
    tw::toolkit::Win32Backend backend(t.form);
    t.cbUsername.SetListIndex(2);
    t.txtServer.SetText(u"SERVER01");
    t.txtPasswordAge.SetText(u"42");
    t.chkDisabled.SetValue(1);
    t.optLocal.SetValue(true);
    t.form.Show();
    t.form.UserFocus(t.txtPasswordAge); // shows the plus and minus images beside the field
    return backend.Run();
}
