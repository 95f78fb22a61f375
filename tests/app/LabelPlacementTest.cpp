// The window's labels and the controls they name. The Win32 window stacks
// each such label directly in front of its control (so the system finds the
// control's name there too), and so in front of every window below that
// control: this is only safe while no such label covers any part of a
// window beside it, its own control or the spinner linked to it, which the
// label would paint over.
#include "HeadlessProgram.h"

#include <gtest/gtest.h>

namespace {

using namespace tw;
using toolkit::ControlKind;

// Shapes, lines, labels and images are drawn on the window beneath them.
bool IsWindowOfItsOwn(const toolkit::Control& control) {
    return toolkit::StackingLayer(control.Kind()) == toolkit::StackingLayer(ControlKind::TextBox) &&
           control.Kind() != ControlKind::Timer;
}

bool Overlap(const toolkit::Control& a, const toolkit::Control& b) {
    return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() &&
           a.Top() < b.Top() + b.Height() && b.Top() < a.Top() + a.Height();
}

TEST(LabelPlacement, NoLabelThatNamesAControlOverlapsAWindowBesideIt) {
    test::HeadlessProgram program(sim::loadMachineText(R"({"system": {"userName": "alice"},
            "computers": {"WS01": {"accounts": [{"name": "alice"}]}}})"));
    program.window.Start();

    toolkit::Form& form = program.Form();
    int labelled = 0;
    for (const auto& control : form.Controls()) {
        const toolkit::Control* label = control->LabelledBy();
        if (label == nullptr || label->Kind() != ControlKind::Label)
            continue;
        ++labelled;
        EXPECT_EQ(label->Container(), control->Container()) << control->Name();
        // Focused, a numeric field has the spinner linked beside it.
        if (control->Enabled() && control->TakesFocus())
            form.UserFocus(*control);
        for (const auto& other : form.Controls()) {
            if (other.get() == label || other->Container() != label->Container() ||
                !other->Visible() || !IsWindowOfItsOwn(*other))
                continue;
            EXPECT_FALSE(Overlap(*label, *other)) << label->Name() << " over " << other->Name()
                                                  << " (naming " << control->Name() << ")";
        }
    }
    // Every field but the server's, which its option button names.
    EXPECT_EQ(labelled, 13);
}

} // namespace
