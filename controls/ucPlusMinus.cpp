#include "ucPlusMinus.h"

#include "PlusMinusGlyph.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace tw::controls {

namespace {

using toolkit::Picture;

constexpr int iconSize = kPlusMinusDesignSize;
using IconRows = std::array<std::string_view, iconSize>;

// '.' transparent, S silver, W white, R red, B blue.
constexpr IconRows minusIcon = {
    ".SSSSSS.", "SWWWWWWS", "SWWWWWWS", "SBBBBBBS", "SBBBBBBS", "SWWWWWWS", "SWWWWWWS", ".SSSSSS.",
};
constexpr IconRows plusIcon = {
    ".SSSSSS.", "SWWRRWWS", "SWWRRWWS", "SRRRRRRS", "SRRRRRRS", "SWWRRWWS", "SWWRRWWS", ".SSSSSS.",
};

std::uint32_t pixelOf(char code) {
    switch (code) {
    case 'S':
        return 0xC0C0C0u;
    case 'W':
        return 0xFFFFFFu;
    case 'R':
        return 0xFF0000u;
    case 'B':
        return 0x0000FFu;
    default:
        return Picture::Transparent;
    }
}

Picture drawIcon(const IconRows& rows) {
    Picture picture;
    picture.width = iconSize;
    picture.height = iconSize;
    picture.pixels.reserve(iconSize * iconSize);
    for (std::string_view row : rows) {
        for (char code : row)
            picture.pixels.push_back(pixelOf(code));
    }
    return picture;
}

} // namespace

ucPlusMinus::ucPlusMinus(toolkit::Form& form, std::string name)
    : UserControl(form, std::move(name)), imgMinus(AddPart<toolkit::Image>("imgMinus")),
      imgPlus(AddPart<toolkit::Image>("imgPlus")),
      tmrDelayMinus(AddPart<toolkit::Timer>("tmrDelayMinus")),
      tmrRepeatMinus(AddPart<toolkit::Timer>("tmrRepeatMinus")),
      tmrDelayPlus(AddPart<toolkit::Timer>("tmrDelayPlus")),
      tmrRepeatPlus(AddPart<toolkit::Timer>("tmrRepeatPlus")) {
    imgMinus.Move(0, 0, 120, 120);
    imgMinus.SetPicture(drawIcon(minusIcon));
    imgPlus.Move(840, 0, 120, 120);
    imgPlus.SetPicture(drawIcon(plusIcon));
    // At every other size the glyphs are drawn afresh, as sharp as the icons.
    imgMinus.SetDrawing([](int width, int height) {
        return DrawPlusMinusGlyph(PlusMinusGlyph::Minus, width, height);
    });
    imgPlus.SetDrawing([](int width, int height) {
        return DrawPlusMinusGlyph(PlusMinusGlyph::Plus, width, height);
    });

    for (toolkit::Timer* delay : {&tmrDelayMinus, &tmrDelayPlus}) {
        delay->SetEnabled(false);
        delay->SetInterval(1000);
    }
    for (toolkit::Timer* repeat : {&tmrRepeatMinus, &tmrRepeatPlus}) {
        repeat->SetEnabled(false);
        repeat->SetInterval(200);
    }

    wirePressAndHold(imgMinus, tmrDelayMinus, tmrRepeatMinus, &ucPlusMinus::MinusClick);
    wirePressAndHold(imgPlus, tmrDelayPlus, tmrRepeatPlus, &ucPlusMinus::PlusClick);

    Control::SetCausesValidation(false);
    SetButtonNames(u"Decrease", u"Increase");
    Resize = [this] { placeImages(); };

    // Sited on the window at its design place; nothing is linked yet, so it
    // stays hidden as after Unlink.
    SetVisible(false);
    Move(5160, 5160, 735, 255);
}

void ucPlusMinus::SetButtonNames(const std::u16string& decrease, const std::u16string& increase) {
    imgMinus.SetAccessibleName(decrease);
    imgPlus.SetAccessibleName(increase);
}

void ucPlusMinus::LinkTo(toolkit::TextBox& box) {
    const float m = imgMinus.Width();
    const float p = imgPlus.Width();
    linked_ = &box;
    Move(box.Left() - m, box.Top(), box.Width() + m + p, box.Height());
    SetVisible(true);
    // Behind the text box, so only the two images show beside it.
    ZOrder(1);
}

void ucPlusMinus::Unlink() {
    linked_ = nullptr;
    SetVisible(false);
}

void ucPlusMinus::placeImages() {
    const float w = Width();
    const float h = Height();
    imgMinus.Move(imgMinus.Left(), (h - imgMinus.Height()) / 2.0f, imgMinus.Width(),
                  imgMinus.Height());
    imgPlus.Move(w - imgPlus.Width(), (h - imgPlus.Height()) / 2.0f, imgPlus.Width(),
                 imgPlus.Height());
}

// Idle (both timers off) -> waiting (delay on) -> repeating (repeat on) -> idle
// at release. A release while waiting is a plain click: one event.
void ucPlusMinus::wirePressAndHold(toolkit::Image& image, toolkit::Timer& delay,
                                   toolkit::Timer& repeat, Event event) {
    image.MouseDown = [&delay](int Button) {
        if (Button == toolkit::vbLeftButton)
            delay.SetEnabled(true);
    };
    image.MouseUp = [this, &delay, &repeat, event](int Button) {
        if (Button != toolkit::vbLeftButton)
            return;
        delay.SetEnabled(false);
        if (repeat.Enabled())
            repeat.SetEnabled(false);
        else
            raise(event);
    };
    delay.Tick = [this, &delay, &repeat, event] {
        if (!delay.Enabled())
            return;
        delay.SetEnabled(false);
        repeat.SetEnabled(true);
        raise(event);
    };
    repeat.Tick = [this, &repeat, event] {
        if (repeat.Enabled())
            raise(event);
    };
}

void ucPlusMinus::raise(Event event) {
    if (this->*event)
        (this->*event)();
}

} // namespace tw::controls
