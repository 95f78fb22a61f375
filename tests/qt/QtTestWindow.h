// A small window for the Qt backend tests: a text box whose validation can
// be told to cancel, a button, a check box, a list, a two-part user control
// with an image, a rectangle and a timer, shown through the Qt backend with
// virtual time.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtInput.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tw::toolkit::test {

class TestSpinner : public UserControl {
public:
    TestSpinner(Form& form, std::string name)
        : UserControl(form, std::move(name)), image(AddPart<Image>("imgPlus")) {
        image.Move(120, 60, 120, 120);
    }
    Image& image;
};

class QtWindowTest : public ::testing::Test {
protected:
    QtWindowTest()
        : app({}, u""), form(app), shape(form.Add<Shape>("shaPane")),
          label(form.Add<Label>("lblName")), txt(form.Add<TextBox>("txtName")),
          cmd(form.Add<CommandButton>("cmdSet")), chk(form.Add<CheckBox>("chkFlag")),
          cb(form.Add<ComboBox>("cbList")), spinner(form.Add<TestSpinner>("ctlSpin")),
          tmr(form.Add<Timer>("tmrTick")) {
        form.SetClientSize(6000, 4500);
        form.SetCaption(u"Test window");
        shape.Move(0, 0, 6000, 4500);
        label.Move(120, 120, 1200, 255);
        label.SetCaption(u"&Name:");
        txt.Move(1440, 120, 1500, 285);
        txt.SetTabIndex(0);
        cmd.Move(1440, 600, 1200, 375);
        cmd.SetCaption(u"Set");
        cmd.SetTabIndex(1);
        chk.Move(1440, 1080, 2400, 255);
        chk.SetCaption(u"Flag");
        chk.SetTabIndex(2);
        cb.Move(1440, 1500, 2400, 315);
        cb.SetTabIndex(3);
        for (const char16_t* item : {u"alpha", u"beta", u"gamma"})
            cb.AddItem(item);
        spinner.Move(3000, 120, 360, 285);
        spinner.SetCausesValidation(false);
        tmr.SetInterval(200);

        txt.Validate = [this](bool& cancel) {
            ++validates;
            cancel = cancelValidation;
        };
        txt.KeyPress = [this](int& keyAscii) { keys.push_back(keyAscii); };
        txt.Change = [this] { ++changes; };
        cmd.Click = [this] { ++cmdClicks; };
        chk.Click = [this] { ++chkClicks; };
        cb.Click = [this] { ++listClicks; };
        spinner.image.MouseDown = [this](int button) { mouseDowns.push_back(button); };
        spinner.image.MouseUp = [this](int button) { mouseUps.push_back(button); };
        tmr.Tick = [this] { ++ticks; };
    }

    void SetUp() override {
        QtBackendOptions options;
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        options.longDatePicture = u"yyyy-MM-dd";
        backend = std::make_unique<QtBackend>(form, options);
        input = std::make_unique<QtInput>(*backend);
        form.Show();
        QCoreApplication::processEvents();
        backend->Window()->activateWindow();
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        input.reset();
        backend.reset();
    }

    QWidget* WidgetOf(const Control& control) const { return backend->WidgetOf(control); }
    template <class W> W* Widget(const Control& control) const {
        return qobject_cast<W*>(backend->WidgetOf(control));
    }

    Application app;
    Form form;
    Shape& shape;
    Label& label;
    TextBox& txt;
    CommandButton& cmd;
    CheckBox& chk;
    ComboBox& cb;
    TestSpinner& spinner;
    Timer& tmr;
    std::unique_ptr<QtBackend> backend;
    std::unique_ptr<QtInput> input;

    bool cancelValidation = false;
    int validates = 0;
    int changes = 0;
    int cmdClicks = 0;
    int chkClicks = 0;
    int listClicks = 0;
    int ticks = 0;
    std::vector<int> keys;
    std::vector<int> mouseDowns;
    std::vector<int> mouseUps;
};

} // namespace tw::toolkit::test
