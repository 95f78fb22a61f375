// The Win32 backend's public face, the message loop and the application
// services: mouse pointer, pending messages, message box, beep, long dates
// and ending the program.
#include "Win32Backend.h"

#include "toolkit/DateFormat.h"
#include "toolkit/headless/VirtualClock.h"

#include "Win32Impl.h"
#include "Win32Text.h"

namespace tw::toolkit {

using win32text::FromWide;
using win32text::Wide;

// --- Win32Backend ---

Win32Backend::Win32Backend(Form& form, Win32Options options)
    : impl_(std::make_unique<Impl>(form, options)) {
    form.SetView(this);
    form.App().SetBackend(this);
    impl_->CreateFormWindow();
}

Win32Backend::~Win32Backend() {
    Form& form = impl_->Model();
    if (form.View() == this)
        form.SetView(nullptr);
    form.App().SetBackend(nullptr);
}

Form& Win32Backend::Model() const {
    return impl_->Model();
}
HWND__* Win32Backend::Handle() const {
    return impl_->Handle();
}
HWND__* Win32Backend::HandleOf(const Control& control) const {
    return impl_->HandleOf(control);
}
int Win32Backend::Run() {
    return impl_->Run();
}
void Win32Backend::PumpMessages() {
    impl_->PumpMessages();
}

void Win32Backend::ControlChanged(Control& control, Property what) {
    impl_->ControlChanged(control, what);
}
void Win32Backend::FormChanged(Property what) {
    impl_->FormChanged(what);
}
void Win32Backend::FocusChanged(Control* control) {
    impl_->FocusChanged(control);
}

void Win32Backend::ShowMousePointer(MousePointer pointer) {
    impl_->ShowMousePointer(pointer);
}
void Win32Backend::DoEvents() {
    impl_->PumpMessages();
}
void Win32Backend::ShowMessageBox(const MessageBoxRecord& box) {
    impl_->ShowMessageBox(box);
}
void Win32Backend::Beep() {
    ::MessageBeep(MB_OK);
}
std::u16string Win32Backend::FormatLongDate(double serial) {
    return impl_->FormatLongDate(serial);
}
void Win32Backend::End() {
    impl_->End();
}
std::int64_t Win32Backend::Milliseconds() {
    return impl_->Milliseconds();
}

std::u16string Win32ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    return FromWide(path.c_str(), slash == std::wstring::npos ? 0 : slash);
}

// --- Impl: life, loop and services ---

Win32Backend::Impl::Impl(Form& form, Win32Options options) : form_(form), options_(options) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&init);
}

Win32Backend::Impl::~Impl() {
    tearingDown_ = true;
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

std::int64_t Win32Backend::Impl::Milliseconds() const {
    if (options_.clock != nullptr)
        return options_.clock->Now();
    return static_cast<std::int64_t>(::GetTickCount64());
}

bool Win32Backend::Impl::PreTranslate(const MSG& msg) {
    if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)))
        return false;
    if (msg.message == WM_KEYDOWN && ArrowKey(msg))
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
    ControlWindow* cw = FindByHandle(msg.hwnd);
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
