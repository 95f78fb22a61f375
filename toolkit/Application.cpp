#include "Application.h"

namespace tw::toolkit {

void Application::SetMousePointer(tw::toolkit::MousePointer pointer) {
    pointer_ = pointer;
    backend_.ShowMousePointer(pointer);
}

void Application::MsgBox(const std::u16string& text, int style, const std::u16string& title) {
    MessageBoxRecord box{text, title, style};
    messageBoxes_.push_back(box);
    backend_.ShowMessageBox(box);
}

void Application::Beep() {
    ++beeps_;
    backend_.Beep();
}

void Application::End() {
    if (ended_)
        return;
    ended_ = true;
    backend_.End();
}

} // namespace tw::toolkit
