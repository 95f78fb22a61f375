// The simple controls of the window model. Their event rules live here and in
// Form, so every backend raises the same events at the same moments.
#pragma once

#include "Control.h"
#include "Picture.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace tw::toolkit {

// A control with a caption: label, check box, option button, push button.
// A caption assigned again is still a change for the backend: it redraws.
class Captioned : public Control {
public:
    const std::u16string& Caption() const { return caption_; }
    void SetCaption(const std::u16string& text);

protected:
    using Control::Control;

private:
    std::u16string caption_;
};

// A caption with its access-key marks ("&Name", "&&") as plain text.
std::u16string WithoutAccessKeys(const std::u16string& caption);

// The control as one with a caption, or null.
Captioned* AsCaptioned(Control& control);
const Captioned* AsCaptioned(const Control& control);

class Label : public Captioned {
public:
    Label(Form& form, std::string name, UserControl* container = nullptr)
        : Captioned(form, ControlKind::Label, std::move(name), container) {}
    tw::toolkit::Alignment Alignment() const { return alignment_; }
    void SetAlignment(tw::toolkit::Alignment a);
    // 1 fills the label with its BackColor; 0 lets what lies below show through.
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style);
    // Whether "&" in the caption marks an access key ("&&" shows one "&").
    // Off for a label that shows texts the program did not write.
    bool UseMnemonic() const { return useMnemonic_; }
    void SetUseMnemonic(bool use);
    // A live label: a screen reader announces each new caption as it comes
    // (the status line), without the user moving to it.
    bool Live() const { return live_; }
    void SetLive(bool live);

private:
    bool useMnemonic_ = true;
    bool live_ = false;
    tw::toolkit::Alignment alignment_ = tw::toolkit::Alignment::Left;
    int backStyle_ = 1;
};

// Raises Change on every change of its text, also when the program sets it,
// and never when the text set equals the current one.
class TextBox : public Control {
public:
    TextBox(Form& form, std::string name, UserControl* container = nullptr)
        : Control(form, ControlKind::TextBox, std::move(name), container) {
        SetBackColor(SystemColor(5));
        SetForeColor(SystemColor(8));
    }
    bool TakesFocus() const override { return true; }

    const std::u16string& Text() const { return text_; }
    void SetText(const std::u16string& text);
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelStart(int start);
    void SetSelLength(int length);
    // Replaces the selection (or inserts at the caret) and puts the caret after it.
    void SetSelText(const std::u16string& text);
    // The user moved the caret or the selection in a real edit control
    // (arrow keys, Home, End, the mouse): take it over without a change event.
    void SyncSelection(int start, int length);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    // True during the Change that a key typed into the box raises (a
    // character, Backspace, Delete, a cut): the user is still typing. False
    // for a text set by the program or pasted whole.
    bool Typing() const { return typing_; }

    std::function<void()> Change;

private:
    friend class Form;
    std::u16string text_;
    bool typing_ = false;
    int selStart_ = 0;
    int selLength_ = 0;
    bool locked_ = false;
};

// Value 0 unchecked, 1 checked. Click runs when the value changes, by the
// user or by the program, and not when the value set equals the current one.
class CheckBox : public Captioned {
public:
    CheckBox(Form& form, std::string name, UserControl* container = nullptr)
        : Captioned(form, ControlKind::CheckBox, std::move(name), container) {}
    bool TakesFocus() const override { return true; }
    int Value() const { return value_; }
    void SetValue(int value);
    std::function<void()> Click;

private:
    int value_ = 0;
};

// Selecting one option button of a container deselects the others; Click
// runs when it becomes selected, by the user or by the program.
class OptionButton : public Captioned {
public:
    OptionButton(Form& form, std::string name, UserControl* container = nullptr)
        : Captioned(form, ControlKind::OptionButton, std::move(name), container) {}
    bool TakesFocus() const override { return true; }
    bool Value() const { return value_; }
    void SetValue(bool value);
    std::function<void()> Click;

private:
    friend class Form;
    void Deselect();
    bool value_ = false;
};

class CommandButton : public Captioned {
public:
    CommandButton(Form& form, std::string name, UserControl* container = nullptr)
        : Captioned(form, ControlKind::CommandButton, std::move(name), container) {}
    bool TakesFocus() const override { return true; }
    std::function<void()> Click;
};

// A drop-down list without free text. Click runs when the selection changes,
// by the user or by the program; Clear empties it without an event.
class ComboBox : public Control {
public:
    ComboBox(Form& form, std::string name, UserControl* container = nullptr)
        : Control(form, ControlKind::ComboBox, std::move(name), container) {
        SetBackColor(SystemColor(5));
        SetForeColor(SystemColor(8));
    }
    bool TakesFocus() const override { return true; }
    void Clear();
    // Adds an entry; NewIndex tells where it went.
    void AddItem(std::u16string item);
    int NewIndex() const { return newIndex_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::u16string& List(int index) const {
        return items_.at(static_cast<std::size_t>(index));
    }
    const std::deque<std::u16string>& Items() const { return items_; }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index);
    // The selected entry's text, empty when nothing is selected.
    std::u16string Text() const;
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted) { sorted_ = sorted; }
    // The entry a typed character leads to, as a drop-down list finds it
    // (letter case aside): characters typed less than kTypeAheadMs apart
    // make one prefix, and the search starts at the selected entry; a
    // character typed alone, or the same one again, goes on to the next
    // entry that starts with it, round the end. -1 when no entry fits.
    int FindTyped(char16_t c, std::int64_t nowMs);
    static constexpr std::int64_t kTypeAheadMs = 1000;
    // Rows the opened list shows; a scroll bar reaches the others.
    static constexpr int kDropDownRows = 8;
    std::function<void()> Click;

private:
    std::deque<std::u16string> items_;
    std::u16string typed_;
    std::int64_t typedAtMs_ = 0;
    int listIndex_ = -1;
    int newIndex_ = -1;
    bool sorted_ = false;
};

// Shows a picture. Picture() is the design picture; a backend asks
// PictureAt for the size it shows the image at: the image's drawing when it
// has one, else the design picture scaled.
class Image : public Control {
public:
    Image(Form& form, std::string name, UserControl* container = nullptr)
        : Control(form, ControlKind::Image, std::move(name), container) {}
    const tw::toolkit::Picture& Picture() const { return picture_; }
    void SetPicture(tw::toolkit::Picture picture);
    // Draws the picture at any pixel size; the design picture stays what
    // Picture() gives.
    void SetDrawing(PictureDrawing drawing);
    bool HasDrawing() const { return static_cast<bool>(drawing_); }
    // The picture at exactly width x height pixels.
    tw::toolkit::Picture PictureAt(int width, int height) const;
    std::function<void()> Click;

private:
    tw::toolkit::Picture picture_;
    PictureDrawing drawing_;
};

// Ticks every Interval milliseconds while enabled; enabling it or changing
// the interval starts the count again.
class Timer : public Control {
public:
    Timer(Form& form, std::string name, UserControl* container = nullptr)
        : Control(form, ControlKind::Timer, std::move(name), container) {
        SetEnabled(false);
    }
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    std::function<void()> Tick;

private:
    int interval_ = 0;
};

class Line : public Control {
public:
    Line(Form& form, std::string name, UserControl* container = nullptr)
        : Control(form, ControlKind::Line, std::move(name), container) {}
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }
    void SetPoints(float x1, float y1, float x2, float y2);
    Color BorderColor() const { return borderColor_; }
    void SetBorderColor(Color c);

private:
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    Color borderColor_ = SystemColor(21);
};

// A filled rectangle: BackColor fills it, BorderColor draws its frame.
class Shape : public Control {
public:
    Shape(Form& form, std::string name, UserControl* container = nullptr)
        : Control(form, ControlKind::Shape, std::move(name), container) {
        SetBackColor(SystemColor(5));
    }
    Color BorderColor() const { return borderColor_; }
    void SetBorderColor(Color c);

private:
    Color borderColor_ = SystemColor(21);
};

} // namespace tw::toolkit
