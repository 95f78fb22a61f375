// The window's labels and the controls they name. The Win32 window stacks
// each such label directly in front of its control (so the system finds the
// control's name there too), which is only safe while no label covers any
// part of its control: a label in front would paint over it.
#include "app/FUserInfo.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

using namespace tw;
using toolkit::ControlKind;

bool Overlap(const toolkit::Control& a, const toolkit::Control& b) {
    return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() &&
           a.Top() < b.Top() + b.Height() && b.Top() < a.Top() + a.Height();
}

TEST(LabelPlacement, NoLabelThatNamesAControlOverlapsIt) {
    sim::SimPlatform sim(sim::loadMachineText(
        R"({"system": {"userName": "alice"},
            "computers": {"WS01": {"accounts": [{"name": "alice"}]}}})"));
    toolkit::Application app({u"Brenholt", 1, 0, 12, u"", u""},
                             sim.machine().system.executableFolder);
    toolkit::HeadlessBackend backend;
    app::FUserInfo window(app, sim.platform());
    app.SetBackend(&backend);
    window.Form().SetView(&backend);
    window.Form().SetHandle(toolkit::HeadlessBackend::WindowHandle());
    window.Start();

    int labelled = 0;
    for (const auto& control : window.Form().Controls()) {
        const toolkit::Control* label = control->LabelledBy();
        if (label == nullptr || label->Kind() != ControlKind::Label)
            continue;
        ++labelled;
        EXPECT_EQ(label->Container(), control->Container()) << control->Name();
        EXPECT_FALSE(Overlap(*label, *control)) << label->Name() << " over " << control->Name();
    }
    // Every field but the server's, which its option button names.
    EXPECT_EQ(labelled, 13);
}

} // namespace
