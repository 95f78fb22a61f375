#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

using namespace tw::toolkit;

TEST(FormEvents, Smoke) {
    HeadlessBackend backend;
    Application app({}, u"");
    app.SetBackend(&backend);
    Form form(app);
    form.SetView(&backend);
    auto& box = form.Add<TextBox>("txt");
    int changes = 0;
    box.Change = [&] { ++changes; };
    box.SetText(u"a");
    box.SetText(u"a");
    EXPECT_EQ(changes, 1);
}
