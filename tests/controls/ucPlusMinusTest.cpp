#include "controls/ucPlusMinus.h"
#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace tw::toolkit;
using tw::controls::ucPlusMinus;

namespace {

// A window with two text boxes and the spinner, wired as the main window
// wires its numeric fields: the spinner follows the focus of txtNumber.
class PlusMinusTest : public ::testing::Test {
protected:
    PlusMinusTest() {
        app.SetBackend(&backend);
        form.SetView(&backend);
        number = &form.Add<TextBox>("txtNumber");
        number->SetTabIndex(0);
        number->Move(7080, 4560, 855, 285);
        other = &form.Add<TextBox>("txtOther");
        other->SetTabIndex(1);
        other->Move(600, 600, 2000, 285);
        spinner = &form.Add<ucPlusMinus>("ctlPlusMinus");
        spinner->MinusClick = [this] { events.push_back({'-', backend.Clock().Now()}); };
        spinner->PlusClick = [this] { events.push_back({'+', backend.Clock().Now()}); };
        number->GotFocus = [this] { spinner->LinkTo(*number); };
        number->LostFocus = [this] { spinner->Unlink(); };
    }

    Image& part(const std::string& name) {
        return static_cast<Image&>(*form.Find("ctlPlusMinus." + name));
    }
    void wait(int ms) { backend.Clock().Advance(ms); }

    struct Event {
        char kind; // '-' MinusClick, '+' PlusClick
        std::int64_t at;
        bool operator==(const Event&) const = default;
        friend void PrintTo(const Event& e, std::ostream* os) { *os << e.kind << '@' << e.at; }
    };

    HeadlessBackend backend;
    Application app{{}, u""};
    Form form{app};
    TextBox* number = nullptr;
    TextBox* other = nullptr;
    ucPlusMinus* spinner = nullptr;
    std::vector<Event> events;
};

} // namespace

struct Placement {
    float boxLeft, boxTop, boxWidth, boxHeight;
    float left, top, width, height;
    float minusTop, plusLeft, plusTop;
    friend void PrintTo(const Placement& p, std::ostream* os) {
        *os << "box " << p.boxLeft << ", " << p.boxTop << ", " << p.boxWidth << " x "
            << p.boxHeight;
    }
};

class PlusMinusPlacement : public PlusMinusTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlusMinusPlacement, LinkToSurroundsTheBoxWithCentredImages) {
    const Placement& p = GetParam();
    other->Move(p.boxLeft, p.boxTop, p.boxWidth, p.boxHeight);
    spinner->LinkTo(*number); // moved on from another box
    spinner->LinkTo(*other);
    EXPECT_LT(spinner->ZRank(), 0); // sent to the back
    EXPECT_EQ(spinner->Left(), p.left);
    EXPECT_EQ(spinner->Top(), p.top);
    EXPECT_EQ(spinner->Width(), p.width);
    EXPECT_EQ(spinner->Height(), p.height);
    EXPECT_EQ(part("imgMinus").Left(), 0);
    EXPECT_EQ(part("imgMinus").Top(), p.minusTop);
    EXPECT_EQ(part("imgPlus").Left(), p.plusLeft);
    EXPECT_EQ(part("imgPlus").Top(), p.plusTop);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, PlusMinusPlacement,
    ::testing::Values(Placement{1200, 300, 2000, 420, 1080, 300, 2240, 420, 150, 2120, 150},
                      Placement{500, 900, 600, 315, 380, 900, 840, 315, 97.5f, 720, 97.5f},
                      Placement{0, 0, 400, 90, -120, 0, 640, 90, -15, 520, -15}));

TEST_F(PlusMinusTest, CausesValidationIsAlwaysFalse) {
    spinner->SetCausesValidation(true);
    EXPECT_FALSE(spinner->CausesValidation());
    // The form reads the flag through the base class.
    const Control& asControl = *spinner;
    EXPECT_FALSE(asControl.CausesValidation());
}

// Press and hold, shown on the minus image: both images share the code, and
// ButtonsHaveSeparateTimers and scenarios/spinner/press-and-hold.json hold
// both of them down.
class PlusMinusPress : public PlusMinusTest {
protected:
    void SetUp() override {
        form.Show(); // focus to txtNumber, which links the spinner
        ASSERT_EQ(spinner->LinkedControl(), number);
    }
    Image& image() { return part("imgMinus"); }
    std::vector<Event> at(std::initializer_list<std::int64_t> times) {
        std::vector<Event> expected;
        for (auto t : times)
            expected.push_back({'-', t});
        return expected;
    }
};

TEST_F(PlusMinusPress, FormClickGivesOneEvent) {
    form.UserClick(image());
    wait(3000);
    EXPECT_EQ(events, at({0}));
}

TEST_F(PlusMinusPress, RightButtonReleaseDoesNotEndALeftPress) {
    form.UserMouseDown(image(), vbLeftButton);
    wait(500);
    form.UserMouseUp(image(), vbRightButton);
    wait(700);
    form.UserMouseUp(image(), vbLeftButton);
    EXPECT_EQ(events, at({1000, 1200}));
}

TEST_F(PlusMinusPress, PressGoesOnAfterUnlinkUntilTheLeftRelease) {
    form.UserMouseDown(image(), vbLeftButton);
    wait(500);
    ASSERT_TRUE(form.UserFocus(*other)); // the field loses the focus mid-press
    ASSERT_EQ(spinner->LinkedControl(), nullptr);
    wait(1000);
    EXPECT_EQ(events, at({1000, 1200, 1400}));
    ASSERT_TRUE(form.UserFocus(*number)); // shown again beside the field
    wait(50);
    form.UserMouseUp(image(), vbLeftButton);
    wait(3000);
    EXPECT_EQ(events, at({1000, 1200, 1400}));
}

TEST_F(PlusMinusTest, ButtonsHaveSeparateTimers) {
    form.Show();
    Image& minus = part("imgMinus");
    Image& plus = part("imgPlus");
    form.UserMouseDown(minus, vbLeftButton);
    wait(300);
    form.UserMouseDown(plus, vbLeftButton);
    wait(200);
    form.UserMouseUp(plus, vbLeftButton); // a plain click on plus at 500
    wait(750);
    form.UserMouseDown(plus, vbLeftButton); // plus held from 1250
    wait(1050);
    form.UserMouseUp(minus, vbLeftButton); // minus released at 2300, plus still held
    wait(200);
    form.UserMouseUp(plus, vbLeftButton); // at 2500
    wait(2000);
    const std::vector<Event> expected = {
        {'+', 500},  {'-', 1000}, {'-', 1200}, {'-', 1400}, {'-', 1600},
        {'-', 1800}, {'-', 2000}, {'-', 2200}, {'+', 2250}, {'+', 2450},
    };
    EXPECT_EQ(events, expected);
}
