// The spinner beside a numeric field: where it stands, its images at each
// size, and a press that outlives the link. Clicks, holding both images and
// the right button: scenarios/spinner/*.json.
#include "controls/ucPlusMinus.h"
#include "controls/PlusMinusGlyph.h"
#include "toolkit/Form.h"
#include "toolkit/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace tw::toolkit;
using tw::controls::DrawPlusMinusGlyph;
using tw::controls::PlusMinusGlyph;
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

// The spinner's images, as the window's one instance has them.
using SpinnerImages = PlusMinusTest;

TEST_F(SpinnerImages, AtTheDesignSizeTheDrawingIsTheDesignIconPixelForPixel) {
    for (const char* name : {"imgMinus", "imgPlus"}) {
        Image& image = part(name);
        ASSERT_TRUE(image.HasDrawing()) << name;
        EXPECT_EQ(image.Picture().width, 8) << name;
        EXPECT_EQ(image.PictureAt(8, 8), image.Picture()) << name;
    }
}

TEST_F(SpinnerImages, LargerSizesAreDrawnNotStretched) {
    Image& plus = part("imgPlus");
    EXPECT_EQ(plus.PictureAt(16, 16), DrawPlusMinusGlyph(PlusMinusGlyph::Plus, 16, 16));
    EXPECT_NE(plus.PictureAt(12, 12), ScalePicture(plus.Picture(), 12, 12));
}

// The window's handlers step only the linked field, so what a press raises
// once the field has lost the focus is seen here alone.
using PlusMinusPress = PlusMinusTest;

TEST_F(PlusMinusPress, PressGoesOnAfterUnlinkUntilTheLeftRelease) {
    form.Show(); // focus to txtNumber, which links the spinner
    ASSERT_EQ(spinner->LinkedControl(), number);
    form.UserMouseDown(part("imgMinus"), vbLeftButton);
    wait(500);
    ASSERT_TRUE(form.UserFocus(*other)); // the field loses the focus mid-press
    ASSERT_EQ(spinner->LinkedControl(), nullptr);
    wait(1000);
    const std::vector<Event> held = {{'-', 1000}, {'-', 1200}, {'-', 1400}};
    EXPECT_EQ(events, held);
    ASSERT_TRUE(form.UserFocus(*number)); // shown again beside the field
    wait(50);
    form.UserMouseUp(part("imgMinus"), vbLeftButton);
    wait(3000);
    EXPECT_EQ(events, held);
}
