// Creating the real windows from the model, and their places: twips to
// pixels at the system's resolution, and the stacking order.
#include "Win32Impl.h"

#include "Win32Text.h"

#include <algorithm>
#include <cmath>

namespace tw::toolkit {

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

HICON ProgramIcon(int metricX, int metricY) {
    // Icon group 1 of the program, if it has one (tests do not).
    return static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY),
                                           LR_DEFAULTCOLOR));
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
    wc.hIcon = ProgramIcon(SM_CXICON, SM_CYICON);
    wc.hIconSm = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
    ::RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    for (const wchar_t* name : {kUserControlClass, kLineClass, kShapeClass, kImageClass}) {
        wc.lpszClassName = name;
        ::RegisterClassExW(&wc);
    }
    registered = true;
}

// Filled rectangles lie lowest, then lines, then labels and images; windowed
// controls always stand above them, as the form's graphical controls do.
int Layer(ControlKind kind) {
    switch (kind) {
    case ControlKind::Shape:
        return 0;
    case ControlKind::Line:
        return 1;
    case ControlKind::Label:
    case ControlKind::Image:
        return 2;
    default:
        return 3;
    }
}

const std::u16string* CaptionOf(const Control& control) {
    if (const Captioned* captioned = AsCaptioned(control))
        return &captioned->Caption();
    if (control.Kind() == ControlKind::TextBox)
        return &static_cast<const TextBox&>(control).Text();
    return nullptr;
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
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
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
    if (HDC screen = ::GetDC(nullptr)) {
        dpi_ = ::GetDeviceCaps(screen, LOGPIXELSX);
        ::ReleaseDC(nullptr, screen);
    }
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
    if (form_.ScaleWidth() > 0 && form_.ScaleHeight() > 0)
        PlaceFormWindow(true);

    tooltip_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Instance(), nullptr);
    if (tooltip_ != nullptr)
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(6000)); // long tips wrap

    for (const auto& control : form_.Controls())
        CreateControlWindow(*control, hwnd_);
    Restack(nullptr);
    for (const auto& control : form_.Controls()) {
        if (control->Kind() == ControlKind::UserControl)
            Restack(static_cast<const UserControl*>(control.get()));
    }
    if (form_.Visible())
        FormChanged(Property::Visible);
}

void Win32Backend::Impl::CreateControlWindow(Control& control, HWND parent) {
    if (control.Kind() == ControlKind::Timer) {
        TimerChanged(static_cast<Timer&>(control));
        return;
    }
    auto record = std::make_unique<ControlWindow>();
    ControlWindow& cw = *record;
    cw.impl = this;
    cw.control = &control;
    windows_[&control] = std::move(record);

    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (control.Visible())
        style |= WS_VISIBLE;
    if (!control.Enabled())
        style |= WS_DISABLED;
    DWORD exStyle = 0;
    const wchar_t* windowClass = nullptr;
    bool standard = true;
    switch (control.Kind()) {
    case ControlKind::Label:
        windowClass = L"STATIC";
        style |= SS_NOTIFY | LabelStyle(static_cast<const Label&>(control));
        break;
    case ControlKind::TextBox:
        windowClass = L"EDIT";
        style |= ES_AUTOHSCROLL;
        if (static_cast<const TextBox&>(control).Locked())
            style |= ES_READONLY;
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
    const std::u16string* caption = CaptionOf(control);
    const RECT r = PixelRect(control);
    const HWND hwnd =
        ::CreateWindowExW(exStyle, windowClass, caption ? Wide(*caption) : L"", style, r.left,
                          r.top, r.right - r.left, r.bottom - r.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId_++)),
                          Instance(), standard ? nullptr : &cw);
    if (hwnd == nullptr)
        return;
    cw.hwnd = hwnd;
    byHandle_[hwnd] = &cw;
    if (standard)
        ::SetWindowSubclass(hwnd, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&cw));
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gdi_.FontFor(control.Font(), dpi_)),
                   FALSE);

    switch (control.Kind()) {
    case ControlKind::TextBox:
        ::SendMessageW(hwnd, EM_LIMITTEXT, 0, 0); // no length limit
        MirrorSelection(cw);
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        ::SendMessageW(hwnd, BM_SETCHECK, CheckStateOf(control), 0);
        break;
    case ControlKind::ComboBox:
        MirrorGeometry(cw); // room for the opened list, in rows of its font
        MirrorList(cw);
        break;
    case ControlKind::UserControl:
        for (const auto& part : static_cast<const UserControl&>(control).Parts())
            CreateControlWindow(*part, hwnd);
        break;
    default:
        break;
    }
    UpdateToolTip(cw);
    stacking_[control.Container()].push_back(&control);
}

void Win32Backend::Impl::MoveToLayerEnd(Control& control, bool top) {
    auto& order = stacking_[control.Container()];
    const auto at = std::find(order.begin(), order.end(), &control);
    if (at == order.end())
        return;
    order.erase(at);
    if (top)
        order.push_back(&control);
    else
        order.insert(order.begin(), &control);
}

void Win32Backend::Impl::Restack(const UserControl* container) {
    std::vector<Control*> order = stacking_[container];
    // Layers first, the recorded order within a layer.
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return Layer(a->Kind()) < Layer(b->Kind());
    });
    HWND above = HWND_TOP;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const HWND hwnd = HandleOf(**it);
        if (hwnd == nullptr)
            continue;
        ::SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = hwnd;
    }
}

} // namespace tw::toolkit
