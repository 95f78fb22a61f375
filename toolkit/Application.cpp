#include "Application.h"

#include <chrono>

namespace tw::toolkit {

std::int64_t IAppBackend::Milliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Application::SetMousePointer(tw::toolkit::MousePointer pointer) {
    pointer_ = pointer;
    if (backend_)
        backend_->ShowMousePointer(pointer);
}

void Application::DoEvents() {
    if (backend_)
        backend_->DoEvents();
}

void Application::WaitForCall(const std::function<void()>& call) {
    if (backend_)
        backend_->WaitForCall(call);
    else
        call();
}

std::u16string Application::FormatLongDate(double serial) {
    return backend_ ? backend_->FormatLongDate(serial) : std::u16string();
}

void Application::MsgBox(const std::u16string& text, int style, const std::u16string& title) {
    MessageBoxRecord box{text, title, style};
    messageBoxes_.push_back(box);
    if (backend_)
        backend_->ShowMessageBox(box);
}

void Application::Beep() {
    ++beeps_;
    if (backend_)
        backend_->Beep();
}

void Application::End() {
    if (ended_)
        return;
    ended_ = true;
    if (backend_)
        backend_->End();
}

} // namespace tw::toolkit
