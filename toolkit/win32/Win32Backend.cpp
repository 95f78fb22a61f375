// The Win32 backend: its public face, the real windows made from the model
// (bare, then every property mirrored), their places (twips to pixels at the
// resolution of the window's monitor, the model's stacking order), the
// layout again when that resolution changes, and what each model change
// goes to.
#include "Win32Backend.h"

#include "Win32Convert.h"
#include "Win32Dpi.h"
#include "Win32Impl.h"

#include <algorithm>
#include <cmath>

namespace tw::toolkit {

using win32text::FromWide;
using win32text::Wide;

namespace {

constexpr wchar_t kFormClass[] = L"TarnwickForm";
constexpr wchar_t kUserControlClass[] = L"TarnwickUserControl";
constexpr wchar_t kLineClass[] = L"TarnwickLine";
constexpr wchar_t kShapeClass[] = L"TarnwickShape";
constexpr wchar_t kImageClass[] = L"TarnwickImage";
constexpr UINT_PTR kSubclassId = 1;

// A fixed single border, as the window has no resize logic.
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

HICON ProgramIcon(int width, int height) {
    // Icon group 1 of the program, if it has one (tests do not).
    return static_cast<HICON>(
        ::LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

void RegisterClasses() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32Backend::Impl::WindowProc;
    wc.hInstance = Instance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    wc.hIcon = ProgramIcon(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    wc.hIconSm = ProgramIcon(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    ::RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    for (const wchar_t* name : {kUserControlClass, kLineClass, kShapeClass, kImageClass}) {
        wc.lpszClassName = name;
        ::RegisterClassExW(&wc);
    }
    registered = true;
}

} // namespace

int Win32Backend::Impl::Px(float twips) const {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi_ / 1440.0));
}

RECT Win32Backend::Impl::PixelRect(const Control& control) const {
    if (control.Kind() == ControlKind::Line) {
        const auto& line = static_cast<const Line&>(control);
        const int left = Px(std::min(line.X1(), line.X2()));
        const int top = Px(std::min(line.Y1(), line.Y2()));
        // The end points are drawn too, so a line is at least one pixel wide and high.
        return {left, top, Px(std::max(line.X1(), line.X2())) + 1,
                Px(std::max(line.Y1(), line.Y2())) + 1};
    }
    return {Px(control.Left()), Px(control.Top()), Px(control.Left() + control.Width()),
            Px(control.Top() + control.Height())};
}

void Win32Backend::Impl::PlaceFormWindow(bool center) {
    RECT frame{0, 0, Px(form_.ScaleWidth()), Px(form_.ScaleHeight())};
    // The frame is the system's, at the resolution the system draws it at.
    win32dpi::AdjustWindowRect(frame, kFormStyle, 0, win32dpi::WindowDpi(hwnd_));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0, y = 0;
    if (center) {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = static_cast<int>(work.left) +
            std::max(0, static_cast<int>(work.right - work.left) - width) / 2;
        y = static_cast<int>(work.top) +
            std::max(0, static_cast<int>(work.bottom - work.top) - height) / 2;
    } else {
        flags |= SWP_NOMOVE;
    }
    ::SetWindowPos(hwnd_, nullptr, x, y, width, height, flags);
}

void Win32Backend::Impl::CreateFormWindow() {
    RegisterClasses();
    dpi_ = options_.dpi > 0 ? options_.dpi : win32dpi::SystemDpi();
    formWindow_.impl = this;
    ::CreateWindowExW(0, kFormClass, Wide(form_.Caption()), kFormStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, Instance(),
                      &formWindow_);
    hwnd_ = formWindow_.hwnd;
    if (hwnd_ == nullptr)
        return;
    byHandle_[hwnd_] = &formWindow_;
    // The program addresses its window through the platform by this handle.
    form_.SetHandle(reinterpret_cast<win::HWND>(hwnd_));
    // Made on its monitor, the window knows that monitor's resolution.
    if (options_.dpi <= 0)
        dpi_ = win32dpi::WindowDpi(hwnd_);
    if (form_.ScaleWidth() > 0 && form_.ScaleHeight() > 0)
        PlaceFormWindow(true);

    tooltip_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Instance(), nullptr);
    ApplyToolTipDpi();
    UpdateIcons();

    for (const auto& control : form_.Controls())
        CreateControlWindow(*control, hwnd_);
    Restack(nullptr);
    if (form_.Visible())
        FormChanged(Property::Visible);
}

void Win32Backend::Impl::CreateControlWindow(Control& control, HWND parent) {
    if (control.Kind() == ControlKind::Timer) {
        MirrorTimer(static_cast<Timer&>(control));
        return;
    }
    auto record = std::make_unique<ControlWindow>();
    ControlWindow& cw = *record;
    cw.impl = this;
    cw.control = &control;
    windows_[&control] = std::move(record);

    // Bare: only what a window cannot change once made (its class and kind
    // of behaviour). Every property comes after, as later changes do.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    const wchar_t* windowClass = nullptr;
    bool standard = true;
    switch (control.Kind()) {
    case ControlKind::Label:
        windowClass = L"STATIC";
        style |= SS_NOTIFY;
        break;
    case ControlKind::TextBox:
        windowClass = L"EDIT";
        style |= ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CheckBox:
        windowClass = L"BUTTON";
        style |= BS_3STATE; // not automatic: the model decides the state, the third too
        break;
    case ControlKind::OptionButton:
        windowClass = L"BUTTON";
        style |= BS_RADIOBUTTON;
        break;
    case ControlKind::CommandButton:
        windowClass = L"BUTTON";
        style |= BS_PUSHBUTTON;
        break;
    case ControlKind::ComboBox:
        windowClass = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL;
        break;
    case ControlKind::UserControl:
        windowClass = kUserControlClass;
        style |= WS_CLIPCHILDREN;
        standard = false;
        break;
    case ControlKind::Line:
        windowClass = kLineClass;
        standard = false;
        break;
    case ControlKind::Shape:
        windowClass = kShapeClass;
        standard = false;
        break;
    case ControlKind::Image:
        windowClass = kImageClass;
        standard = false;
        break;
    case ControlKind::Timer:
        return;
    }
    const HWND hwnd =
        ::CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId_++)),
                          Instance(), standard ? nullptr : &cw);
    if (hwnd == nullptr)
        return;
    cw.hwnd = hwnd;
    byHandle_[hwnd] = &cw;
    if (standard)
        ::SetWindowSubclass(hwnd, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&cw));
    if (control.Kind() == ControlKind::TextBox)
        ::SendMessageW(hwnd, EM_LIMITTEXT, 0, 0); // no length limit
    MirrorAll(cw);
    if (control.Kind() == ControlKind::UserControl) {
        const auto& container = static_cast<const UserControl&>(control);
        for (const auto& part : container.Parts())
            CreateControlWindow(*part, hwnd);
        Restack(&container);
    }
}

// --- the resolution ---

void Win32Backend::Impl::LayOutAgain() {
    for (const auto& [control, cw] : windows_) {
        if (cw->hwnd == nullptr)
            continue;
        Mirror(*cw, Property::Font);
        Mirror(*cw, Property::Geometry);
    }
    ApplyToolTipDpi();
    UpdateIcons();
    Redraw(hwnd_);
}

// WM_DPICHANGED: the window moved to a monitor of another resolution, or
// that monitor's scale changed. Twips stay twips; only their pixels change.
void Win32Backend::Impl::OnDpiChanged(int dpi, const RECT& suggested) {
    if (options_.dpi > 0 || dpi <= 0)
        return; // laid out at a fixed resolution
    dpi_ = dpi;
    LayOutAgain();
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The tool tips in the system's tip font at the window's resolution; long
// tips wrap at the same width in twips.
void Win32Backend::Impl::ApplyToolTipDpi() {
    if (tooltip_ == nullptr)
        return;
    if (HFONT font = win32dpi::CreateToolTipFont(dpi_)) {
        ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (toolTipFont_ != nullptr)
            ::DeleteObject(toolTipFont_);
        toolTipFont_ = font;
    }
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(6000));
}

// The program sets the window's icons at the system's sizes (GetSystemMetrics),
// which are those of the system's resolution. On a monitor of another one
// the backend sets them at that monitor's sizes, and keeps them so from then
// on (after a move back too, and after the program set its own again).
void Win32Backend::Impl::UpdateIcons() {
    if (hwnd_ == nullptr || (dpi_ == win32dpi::SystemDpi() && smallIcon_ == nullptr))
        return;
    const struct {
        WPARAM which;
        int width, height;
        HICON& held;
    } icons[] = {
        {ICON_SMALL, win32dpi::SystemMetric(SM_CXSMICON, dpi_),
         win32dpi::SystemMetric(SM_CYSMICON, dpi_), smallIcon_},
        {ICON_BIG, win32dpi::SystemMetric(SM_CXICON, dpi_), win32dpi::SystemMetric(SM_CYICON, dpi_),
         bigIcon_},
    };
    for (const auto& icon : icons) {
        const HICON made = ProgramIcon(icon.width, icon.height);
        if (made == nullptr)
            continue; // the window keeps the icon it has
        ::SendMessageW(hwnd_, WM_SETICON, icon.which, reinterpret_cast<LPARAM>(made));
        // The one made before is no longer shown, whoever replaced it.
        if (icon.held != nullptr)
            ::DestroyIcon(icon.held);
        icon.held = made;
    }
}

// Each window placed under the one before it, from the front: the model's
// stacking order; then each label that names a control in front of it.
void Win32Backend::Impl::Restack(const UserControl* container) {
    const std::vector<Control*> order = form_.StackingOrder(container);
    HWND above = HWND_TOP;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const HWND hwnd = HandleOf(**it);
        if (hwnd == nullptr)
            continue;
        ::SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = hwnd;
    }
    PlaceLabels(container);
}

// --- the public face ---

Win32Backend::Win32Backend(Form& form, Win32BackendOptions options)
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
int Win32Backend::Dpi() const {
    return impl_->Dpi();
}
int Win32Backend::Run() {
    return impl_->Run();
}
void Win32Backend::PumpMessages() {
    impl_->PumpMessages();
}
bool Win32Backend::UsesVirtualClock() const {
    return impl_->UsesVirtualClock();
}
VirtualClock& Win32Backend::Clock() {
    return impl_->Clock();
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
void Win32Backend::WaitForCall(const std::function<void()>& call) {
    impl_->WaitForCall(call);
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

// --- Impl: life, creation and changes ---

Win32Backend::Impl::Impl(Form& form, Win32BackendOptions options) : form_(form), options_(options) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&init);
}

Win32Backend::Impl::~Impl() {
    tearingDown_ = true;
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
    for (HICON icon : {smallIcon_, bigIcon_}) {
        if (icon != nullptr)
            ::DestroyIcon(icon);
    }
    if (toolTipFont_ != nullptr)
        ::DeleteObject(toolTipFont_);
}

void Win32Backend::Impl::ControlChanged(Control& control, Property what) {
    if (control.Kind() == ControlKind::Timer) {
        if (what == Property::Enabled || what == Property::TimerState)
            MirrorTimer(static_cast<Timer&>(control));
        return;
    }
    ControlWindow* cw = WindowOf(control);
    if (cw == nullptr) {
        // A control added after the window was made: make its window now.
        const UserControl* container = control.Container();
        const HWND parent = container ? HandleOf(*container) : hwnd_;
        if (parent != nullptr) {
            CreateControlWindow(control, parent);
            Restack(container);
        }
        return;
    }
    if (cw->hwnd != nullptr)
        Mirror(*cw, what);
}

void Win32Backend::Impl::FormChanged(Property what) {
    if (hwnd_ == nullptr)
        return;
    switch (what) {
    case Property::Caption:
        ::SetWindowTextW(hwnd_, Wide(form_.Caption()));
        break;
    case Property::Visible:
        if (form_.Visible()) {
            UpdateIcons(); // over the ones the program set meanwhile
            ::ShowWindow(hwnd_, SW_SHOW);
            ::UpdateWindow(hwnd_);
            FocusChanged(form_.ActiveControl());
        } else {
            ::ShowWindow(hwnd_, SW_HIDE);
        }
        break;
    case Property::Geometry:
        PlaceFormWindow(!::IsWindowVisible(hwnd_));
        break;
    case Property::Colors:
        Redraw(hwnd_);
        break;
    default:
        // A disabled form keeps its look: the model refuses input meanwhile,
        // and the hourglass shows that the program is busy.
        break;
    }
}

void Win32Backend::Impl::FocusChanged(Control* control) {
    if (hwnd_ == nullptr || !::IsWindowVisible(hwnd_))
        return; // the focus is set when the window shows
    HWND target = control ? HandleOf(*control) : hwnd_;
    if (target == nullptr)
        target = hwnd_;
    if (::GetFocus() != target)
        ::SetFocus(target);
}

} // namespace tw::toolkit
