// The order the windows stand in, front to back, is the model's: by layer,
// then as ZOrder placed a control, then in control order.
#include "TestForm.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tw::toolkit::test {
namespace {

int Place(const std::vector<Control*>& order, const Control& control) {
    return static_cast<int>(std::find(order.begin(), order.end(), &control) - order.begin());
}

TEST(StackingOrder, LayersFirstThenZOrderThenControlOrder) {
    TestForm t;
    t.LinkSpinner(); // sends the spinner to the back
    auto order = t.form.StackingOrder(nullptr);
    ASSERT_EQ(order.size(), t.form.Controls().size());
    EXPECT_LT(Place(order, t.shaPane), Place(order, t.lnStatus)) << "rectangles beneath lines";
    EXPECT_LT(Place(order, t.lnStatus), Place(order, t.lblUsername)) << "lines beneath labels";
    EXPECT_LT(Place(order, t.lblUsername), Place(order, t.ctlPlusMinus))
        << "a control sent to the back stays above the graphical ones";
    EXPECT_LT(Place(order, t.ctlPlusMinus), Place(order, t.txtServer));
    EXPECT_LT(Place(order, t.txtServer), Place(order, t.cbUsername)) << "control order";

    t.txtServer.ZOrder(0);
    t.shaPane.ZOrder(0);
    order = t.form.StackingOrder(nullptr);
    EXPECT_EQ(order.back(), &t.txtServer) << "brought to the front";
    EXPECT_LT(Place(order, t.shaPane), Place(order, t.lnStatus)) << "but within its layer";
    t.txtServer.ZOrder(1);
    order = t.form.StackingOrder(nullptr);
    EXPECT_LT(Place(order, t.txtServer), Place(order, t.ctlPlusMinus)) << "the later ZOrder wins";

    const auto parts = t.form.StackingOrder(&t.ctlPlusMinus);
    ASSERT_EQ(parts.size(), t.ctlPlusMinus.Parts().size());
    EXPECT_EQ(parts.front(), t.ctlPlusMinus.Parts().front().get());
}

} // namespace
} // namespace tw::toolkit::test
