// The program's user list in the Win32 window: the combo box shows the
// entry the model chose, also after its account failed to load, the busy
// window was enabled again and the user panel was cleared.
#include "ProgramWindow.h"

namespace tw::winetests {
namespace {

using namespace tw::toolkit;

TEST(Win32UserList, AnAccountThatFailsToLoadStaysChosenInTheList) {
    ProgramWindow w(R"({"system": {"userName": "alice"},
                        "computers": {"WS01": {"accounts": [{"name": "alice"}, {"name": "bob"}],
                                               "fail": {"NetUserGetInfo#2": 2221}}}})");
    auto& list = w.Find<ComboBox>("cbUsername");
    const HWND combo = w.backend.HandleOf(list);
    w.input.Focus(list);
    w.input.Select(list, 1);
    EXPECT_EQ(list.Text(), u"bob");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(test::TextOf(combo), u"bob");
    EXPECT_TRUE(::IsWindowEnabled(combo));
}

} // namespace
} // namespace tw::winetests
