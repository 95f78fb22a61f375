// The Win32 backend's message loop and application services: mouse
// pointer, pending messages, message box, long dates, the clipboard and
// ending the program.
#include "toolkit/DateFormat.h"

#include "Win32Clipboard.h"
#include "Win32Convert.h"
#include "Win32Impl.h"

#include <exception>

namespace tw::toolkit {

using win32text::FromWide;
using win32text::Wide;

std::optional<std::u16string> Win32Backend::ClipboardText() {
    return ReadClipboardText(impl_->Handle());
}

void Win32Backend::SetClipboardText(const std::u16string& text) {
    WriteClipboardText(impl_->Handle(), text);
}

std::int64_t Win32Backend::Impl::Milliseconds() const {
    if (options_.virtualTime)
        return clock_.Now();
    return static_cast<std::int64_t>(::GetTickCount64());
}

bool Win32Backend::Impl::PreTranslate(const MSG& msg) {
    if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)))
        return false;
    if (msg.message == WM_KEYDOWN && ArrowKey(msg))
        return true;
    if (FunctionKey(msg))
        return true;
    // Tab and Shift+Tab move the focus through the model's tab order.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
        form_.UserTab(::GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    return msg.message == WM_CHAR && msg.wParam == L'\t';
}

// An arrow key the model takes: on a button, a check box or an option
// button (the option group), and on a closed drop-down list. Text boxes and
// opened lists move their caret and highlight themselves.
bool Win32Backend::Impl::ArrowKey(const MSG& msg) {
    if (msg.wParam != VK_LEFT && msg.wParam != VK_UP && msg.wParam != VK_RIGHT &&
        msg.wParam != VK_DOWN)
        return false;
    if (::GetKeyState(VK_MENU) < 0 || ::GetKeyState(VK_CONTROL) < 0)
        return false;
    ControlWindow* cw = WindowOf(msg.hwnd);
    if (cw == nullptr || cw->control == nullptr)
        return false;
    switch (cw->control->Kind()) {
    case ControlKind::ComboBox:
        if (::SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0))
            return false;
        break;
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        break;
    default:
        return false;
    }
    // The virtual-key codes of the arrows are the model's key codes.
    form_.UserKeyDown(*cw->control, static_cast<int>(msg.wParam));
    return true;
}

// A function key, from the control that has the focus or from the window
// itself: the form's KeyDown sees it first; a key it lets through goes on to
// the control (F4 opens a drop-down list). F10 comes as a system key; with
// Alt held a function key stays the window system's (Alt+F4 closes).
bool Win32Backend::Impl::FunctionKey(const MSG& msg) {
    const bool down =
        msg.message == WM_KEYDOWN || (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F10);
    if (!down || msg.wParam < VK_F1 || msg.wParam > VK_F12 || ::GetKeyState(VK_MENU) < 0)
        return false;
    // The virtual-key codes of the function keys are the model's key codes.
    const int code = static_cast<int>(msg.wParam);
    const int held = (::GetKeyState(VK_SHIFT) < 0 ? vbShiftMask : 0) |
                     (::GetKeyState(VK_CONTROL) < 0 ? vbCtrlMask : 0);
    const ControlWindow* cw = msg.hwnd == hwnd_ ? nullptr : WindowOf(msg.hwnd);
    Control* control =
        cw != nullptr && cw->control != nullptr ? cw->control : form_.ActiveControl();
    if (control == nullptr) {
        form_.UserKeyDown(code, held);
        return true;
    }
    return !form_.UserKeyDown(*control, code, held);
}

namespace {

// A call made on a thread of its own, and what it threw.
struct CallThread {
    const std::function<void()>* call;
    std::exception_ptr failure;
};

DWORD WINAPI RunCall(LPVOID parameter) {
    auto* work = static_cast<CallThread*>(parameter);
    try {
        (*work->call)();
    } catch (...) {
        work->failure = std::current_exception();
    }
    return 0;
}

} // namespace

void Win32Backend::Impl::WaitForCall(const std::function<void()>& call) {
    FlushListItems();
    CallThread work{&call, nullptr};
    HANDLE thread = ::CreateThread(nullptr, 0, RunCall, &work, 0, nullptr);
    if (thread == nullptr) {
        call(); // no thread to be had: the call waits here, as it always did
        return;
    }
    // The window's messages go on until the call has returned; the disabled
    // window drops the input among them.
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
    ::CloseHandle(thread);
    if (work.failure)
        std::rethrow_exception(work.failure);
}

void Win32Backend::Impl::PumpMessages() {
    FlushListItems();
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: the program's loop ends on it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (PreTranslate(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int Win32Backend::Impl::Run() {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void Win32Backend::Impl::ShowMousePointer(MousePointer pointer) {
    busy_ = pointer == MousePointer::Hourglass;
    ::SetCursor(::LoadCursorW(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

void Win32Backend::Impl::ShowMessageBox(const MessageBoxRecord& box) {
    if (!options_.interactiveMessageBoxes)
        return;
    const HWND owner = hwnd_ != nullptr && ::IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
    ::MessageBoxW(owner, Wide(box.Text), Wide(box.Title), static_cast<UINT>(box.Style));
}

std::u16string Win32Backend::Impl::FormatLongDate(double serial) {
    if (!options_.longDatePicture.empty())
        return FormatDatePicture(serial, options_.longDatePicture);
    const CivilDate date = DateFromSerial(serial);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    time.wDayOfWeek = static_cast<WORD>(date.weekday);
    wchar_t text[256] = {};
    if (date.year >= 1601 && date.year <= 30827 &&
        ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &time, nullptr, text, 256) > 0)
        return FromWide(text);
    // Before 1601 the system formats no date: the user's long date picture, by hand.
    wchar_t picture[128] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLONGDATE, picture, 128) > 0)
        return FormatDatePicture(serial, FromWide(picture));
    return FormatDatePicture(serial, u"dddd, MMMM d, yyyy");
}

void Win32Backend::Impl::End() {
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
    if (options_.quitOnClose)
        ::PostQuitMessage(0);
}

} // namespace tw::toolkit
