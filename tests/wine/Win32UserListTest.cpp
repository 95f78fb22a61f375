// The program's user list in the Win32 window: the combo box shows the
// entry the model chose, also after its account failed to load, the busy
// window was enabled again and the user panel was cleared.
// The program's headers before <windows.h>, whose macros would take their names.
#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include "Win32WindowFixture.h"

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

TEST(Win32UserList, AnAccountThatFailsToLoadStaysChosenInTheList) {
    sim::SimPlatform sim(sim::loadMachineText(
        R"({"system": {"userName": "alice"},
            "computers": {"WS01": {"accounts": [{"name": "alice"}, {"name": "bob"}],
                                   "fail": {"NetUserGetInfo#2": 2221}}}})"));
    Application app(VersionInfo{u"Brenholt", 1, 0, 12, u"", u""},
                    sim.machine().system.executableFolder);
    app::FUserInfo window(app, sim.platform());
    Win32Backend backend(window.Form(), test::Win32Window::Options());
    Win32Input input(backend);
    window.Start();
    backend.PumpMessages();
    auto& list = static_cast<ComboBox&>(*window.Form().Find("cbUsername"));
    const HWND combo = backend.HandleOf(list);
    input.Focus(list);
    input.Select(list, 1);
    EXPECT_EQ(list.Text(), u"bob");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(test::TextOf(combo), u"bob");
    EXPECT_TRUE(::IsWindowEnabled(combo));
}

} // namespace
} // namespace tw::winetests
