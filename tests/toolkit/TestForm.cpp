#include "TestForm.h"

namespace tw::toolkit::test {

using namespace tw::toolkit;

PlusMinusPair::PlusMinusPair(Form& form, std::string name)
    : UserControl(form, std::move(name)), imgMinus(AddPart<Image>("imgMinus")),
      imgPlus(AddPart<Image>("imgPlus")) {
    imgMinus.Move(0, 0, 120, 120);
    imgPlus.Move(840, 0, 120, 120);
    imgMinus.SetPicture(ButtonPicture(false));
    imgPlus.SetPicture(ButtonPicture(true));
    Resize = [this] {
        imgMinus.Move(0, (Height() - 120) / 2, 120, 120);
        imgPlus.Move(Width() - 120, (Height() - 120) / 2, 120, 120);
    };
}

Picture ButtonPicture(bool plus) {
    constexpr std::uint32_t t = Picture::Transparent, s = 0xC0C0C0, w = 0xFFFFFF;
    const std::uint32_t bar = plus ? 0xFF0000 : 0x0000FF;
    Picture picture;
    picture.width = 8;
    picture.height = 8;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool edgeX = x == 0 || x == 7, edgeY = y == 0 || y == 7;
            std::uint32_t p = w;
            if (edgeX && edgeY)
                p = t;
            else if (edgeX || edgeY)
                p = s;
            else if (y == 3 || y == 4 || (plus && (x == 3 || x == 4)))
                p = bar;
            picture.pixels.push_back(p);
        }
    }
    return picture;
}

TestForm::TestForm()
    : app(VersionInfo{u"Brenholt", 1, 0, 12, u"Copyright (C) 2026 Quillmere.", u""}, u""),
      form(app), shaPane(form.Add<Shape>("shaPane")), lblHeader(form.Add<Label>("lblHeader")),
      optLocal(form.Add<OptionButton>("optLocal")), optServer(form.Add<OptionButton>("optServer")),
      txtServer(form.Add<TextBox>("txtServer")), lblUsername(form.Add<Label>("lblUsername")),
      cbUsername(form.Add<ComboBox>("cbUsername")),
      lblPasswordAge(form.Add<Label>("lblPasswordAge")),
      txtPasswordAge(form.Add<TextBox>("txtPasswordAge")),
      lblPasswordAge_u(form.Add<Label>("lblPasswordAge_u")),
      chkDisabled(form.Add<CheckBox>("chkDisabled")), chkLocked(form.Add<CheckBox>("chkLocked")),
      cmdSet(form.Add<CommandButton>("cmdSet")), lnStatus(form.Add<Line>("lnStatus")),
      lblStatus(form.Add<Label>("lblStatus")),
      ctlPlusMinus(form.Add<PlusMinusPair>("ctlPlusMinus")),
      tmrRepeat(form.Add<Timer>("tmrRepeat")) {
    form.SetCaption(u"Brenholt");
    form.SetClientSize(6000, 4200);

    // Place, caption (of a kind that has one) and tab index (-1: none).
    auto lay = [](Control& control, float left, float top, float width, float height,
                  const char16_t* caption = u"", int tab = -1) {
        control.Move(left, top, width, height);
        if (Captioned* captioned = AsCaptioned(control))
            captioned->SetCaption(caption);
        if (tab >= 0)
            control.SetTabIndex(tab);
    };
    lay(shaPane, 60, 540, 5880, 3000);
    lay(lblHeader, 120, 600, 5760, 330, u"User Parameters");
    lblHeader.SetAlignment(Alignment::Center);
    lblHeader.SetFont(Font{u"MS Sans Serif", 12, true, 0});
    lay(optLocal, 120, 150, 1700, 255, u"Local Computer", 0);
    lay(optServer, 1900, 150, 1000, 255, u"Server:", 1);
    lay(txtServer, 2900, 120, 2400, 285, u"", 2);
    txtServer.SetToolTipText(u"Server name");
    lay(lblUsername, 240, 1140, 1300, 255, u"Username:");
    lay(cbUsername, 1680, 1080, 2900, 315, u"", 3);
    for (const char16_t* name : {u"Administrator", u"Guest", u"mara"})
        cbUsername.AddItem(name);
    lay(lblPasswordAge, 240, 1620, 1400, 255, u"Password Age:");
    lay(txtPasswordAge, 1800, 1575, 855, 285, u"", 4);
    txtPasswordAge.SetToolTipText(u"The time since last password change");
    lay(lblPasswordAge_u, 2880, 1620, 600, 255, u"days");
    lay(chkDisabled, 240, 2100, 3000, 255, u"Account Disabled", 5);
    lay(chkLocked, 240, 2400, 3000, 255, u"Account Locked", 6);
    for (CheckBox* box : {&chkDisabled, &chkLocked})
        box->SetBackColor(SystemColor(5));
    lay(cmdSet, 4560, 3000, 1215, 375, u"Set", 7);
    cmdSet.SetToolTipText(u"Set above parameters");
    lnStatus.SetPoints(0, 3780, 6000, 3780);
    lay(lblStatus, 60, 3840, 5880, 315, u"Brenholt 1.00.012     Copyright (C) 2026 Quillmere.");

    ctlPlusMinus.Move(4000, 4000, 735, 255);
    ctlPlusMinus.SetVisible(false);
    tmrRepeat.SetInterval(200);

    auto record = [this](std::string text) { events.push_back(std::move(text)); };
    auto clicks = [&](auto&... controls) {
        ((controls.Click = [=, name = controls.Name()] { record(name + "_Click"); }), ...);
    };
    clicks(optLocal, optServer, cbUsername, chkDisabled, chkLocked, cmdSet);
    txtServer.Change = [=] { record("txtServer_Change"); };
    txtServer.KeyPress = [=](int& key) { record("txtServer_KeyPress " + std::to_string(key)); };
    txtPasswordAge.Change = [=] { record("txtPasswordAge_Change"); };
    txtPasswordAge.KeyPress = [this, record](int& key) {
        record("txtPasswordAge_KeyPress " + std::to_string(key));
        if ((key < '0' || key > '9') && key != vbKeyBack) {
            key = 0; // digits and Backspace only, as a numeric field has it
            app.Beep();
        }
    };
    txtPasswordAge.Validate = [this, record](bool& cancel) {
        record("txtPasswordAge_Validate");
        cancel = refuseLeavingAge;
    };
    txtPasswordAge.GotFocus = [this, record] {
        record("txtPasswordAge_GotFocus");
        LinkSpinner();
    };
    txtPasswordAge.LostFocus = [this, record] {
        record("txtPasswordAge_LostFocus");
        ctlPlusMinus.SetVisible(false);
    };
    for (Image* image : {&ctlPlusMinus.imgMinus, &ctlPlusMinus.imgPlus}) {
        const std::string name = image->Name();
        image->MouseDown = [=](int b) { record(name + "_MouseDown " + std::to_string(b)); };
        image->MouseUp = [=](int b) { record(name + "_MouseUp " + std::to_string(b)); };
    }
    tmrRepeat.Tick = [=] { record("tmrRepeat_Timer"); };
    form.Unload = [=] { record("Form_Unload"); };
    form.Terminate = [=] { record("Form_Terminate"); };
}

void TestForm::LinkSpinner() {
    const float m = ctlPlusMinus.imgMinus.Width(), p = ctlPlusMinus.imgPlus.Width();
    ctlPlusMinus.Move(txtPasswordAge.Left() - m, txtPasswordAge.Top(),
                      txtPasswordAge.Width() + m + p, txtPasswordAge.Height());
    ctlPlusMinus.SetVisible(true);
    ctlPlusMinus.ZOrder(1);
}

} // namespace tw::toolkit::test
