// The spinner beside a numeric field: a minus and a plus image with
// press-and-hold auto-repeat. The window has one instance and attaches it to
// whichever numeric text box has the focus; the spinner knows nothing about
// numbers and only asks for a step down or up.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/UserControl.h"

#include <functional>
#include <string>

namespace tw::controls {

class ucPlusMinus : public toolkit::UserControl {
public:
    // Hidden and unlinked until the first LinkTo, at its design position.
    ucPlusMinus(toolkit::Form& form, std::string name);

    // Places the spinner around `box` (minus image just left of it, plus image
    // just right of it), shows it and sends it behind the text box.
    void LinkTo(toolkit::TextBox& box);
    // Forgets the text box and hides the spinner. A press still running goes
    // on raising events until its left-button release.
    void Unlink();
    // The attached text box, or null.
    toolkit::TextBox* LinkedControl() const { return linked_; }

    // The spinner never validates the control that loses the focus to it:
    // reads are always false and writes are ignored. The base flag is kept
    // false too, because the form reads it through Control.
    bool CausesValidation() const { return false; }
    void SetCausesValidation(bool) {}

    // Pressing the images must leave the focus in the linked text box, whose
    // lost-focus handler would otherwise unlink the spinner mid-press.
    bool TakesFocus() const override { return false; }

    // What a screen reader calls the two images, which act as buttons:
    // "Decrease" and "Increase" until the window names them in its language.
    void SetButtonNames(const std::u16string& decrease, const std::u16string& increase);

    // Raised synchronously from the mouse and timer handlers.
    std::function<void()> MinusClick;
    std::function<void()> PlusClick;

private:
    using Event = std::function<void()> ucPlusMinus::*;

    void placeImages();
    void wirePressAndHold(toolkit::Image& image, toolkit::Timer& delay, toolkit::Timer& repeat,
                          Event event);
    void raise(Event event);

    toolkit::Image& imgMinus;
    toolkit::Image& imgPlus;
    toolkit::Timer& tmrDelayMinus;
    toolkit::Timer& tmrRepeatMinus;
    toolkit::Timer& tmrDelayPlus;
    toolkit::Timer& tmrRepeatPlus;
    toolkit::TextBox* linked_ = nullptr;
};

} // namespace tw::controls
