// What the program sets in the model shows the same in every real window,
// written once and read back from the widgets through each backend's probe.
// The Qt and the Win32 test binaries instantiate the suite with a maker of
// their window.
#pragma once

#include "toolkit/UserInputConformance.h"

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tw::toolkit::test {

// A rectangle in pixels, in the client coordinates of the widget's parent.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

// A real window showing the form, and what its widgets show.
class WindowUnderTest : public ToolkitUnderTest {
public:
    // The window's title and its client area in pixels.
    virtual std::u16string Caption() = 0;
    virtual PixelRect Client() = 0;
    // The widget's own text (a button's or check box's caption, a text box's text).
    virtual std::u16string Text(const Control& control) = 0;
    // What a user reads on a label: access-key marks taken out unless it shows them.
    virtual std::u16string LabelReads(const Label& label) = 0;
    // 0 clear, 1 checked, 2 the third (greyed) state.
    virtual int CheckState(const Control& control) = 0;
    virtual bool Enabled(const Control& control) = 0;
    virtual bool Visible(const Control& control) = 0;
    virtual bool ReadOnly(const TextBox& box) = 0;
    virtual std::u16string ToolTip(const Control& control) = 0;
    virtual PixelRect Place(const Control& control) = 0;
    virtual int Dpi() = 0;
    int Px(float twips) { return static_cast<int>(std::lround(twips * Dpi() / 1440.0)); }
    virtual std::vector<std::u16string> Entries(const ComboBox& list) = 0;
    virtual int ListIndex(const ComboBox& list) = 0;
    // The selected characters: first and one past the last.
    virtual std::pair<int, int> Selection(const TextBox& box) = 0;
    // Place among the widget's siblings, 0 at the back.
    virtual int StackIndex(const Control& control) = 0;
    // Opens the list, counts the rows it shows, closes it.
    virtual int OpenedRows(const ComboBox& list) = 0;
};

class WindowMirror : public ShownFormTest<WindowUnderTest> {
protected:
    WindowUnderTest& W() { return *shown_; }
    int Px(float twips) { return W().Px(twips); }
};

} // namespace tw::toolkit::test
