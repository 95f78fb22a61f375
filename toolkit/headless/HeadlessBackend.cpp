#include "HeadlessBackend.h"

#include "../DateFormat.h"

namespace tw::toolkit {

void HeadlessBackend::ControlChanged(Control& control, Property what) {
    if (control.Kind() == ControlKind::Timer &&
        (what == Property::Enabled || what == Property::TimerState))
        clock_.TimerChanged(static_cast<Timer&>(control));
}

std::u16string HeadlessBackend::FormatLongDate(double serial) {
    return FormatDatePicture(serial, longDatePicture_);
}

void HeadlessInput::Key(int keyAscii) {
    if (Control* active = form_.ActiveControl())
        form_.UserCharTo(*active, keyAscii);
}

void HeadlessInput::KeyDown(int keyCode, int shift) {
    if (Control* active = form_.ActiveControl())
        form_.UserKeyDown(*active, keyCode, shift);
    else
        form_.UserKeyDown(keyCode, shift);
}

} // namespace tw::toolkit
