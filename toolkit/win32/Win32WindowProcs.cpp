// The backend's own window classes: the form, the container of a user
// control, lines, filled rectangles and images. One handler per message.
#include "Win32Impl.h"

#include <vector>

namespace tw::toolkit {

namespace {

int ButtonOf(UINT msg) {
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return vbRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return 4; // middle
    default:
        return vbLeftButton;
    }
}

POINT PointOf(LPARAM lp) {
    return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

// 0x00BBGGRR as a 32-bit DIB pixel, 0x00RRGGBB.
std::uint32_t DibPixel(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

} // namespace

LRESULT CALLBACK Win32Backend::Impl::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ControlWindow* cw = nullptr;
    if (msg == WM_NCCREATE) {
        // The record to dispatch to travels in the creation parameters.
        cw = static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        cw->hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cw));
    } else {
        cw = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (cw == nullptr)
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        cw->impl->WindowGone(*cw);
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    // A control's window (not the form's) has an accessible object of its own.
    if (LRESULT answer = 0;
        msg == WM_GETOBJECT && cw->control != nullptr && AnswerGetObject(hwnd, wp, lp, answer))
        return answer;
    return cw->impl->HandleMessage(*cw, msg, wp, lp);
}

void Win32Backend::Impl::WindowGone(ControlWindow& cw) {
    byHandle_.erase(cw.hwnd);
    cw.hwnd = nullptr;
    cw.hasToolTip = false;
    if (&cw == &formWindow_) {
        // The form keeps the handle it had: the program may still name it
        // (restoring its window procedure late), and the system then answers
        // that there is no such window.
        hwnd_ = nullptr;
        tooltip_ = nullptr; // an owned window, gone with its owner
    }
}

LRESULT Win32Backend::Impl::HandleMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    if (cw.control == nullptr)
        return FormMessage(cw, msg, wp, lp);
    switch (cw.control->Kind()) {
    case ControlKind::UserControl:
        return ContainerMessage(cw, msg, wp, lp);
    case ControlKind::Image:
        return ImageMessage(cw, msg, wp, lp);
    case ControlKind::Line:
    case ControlKind::Shape:
        switch (msg) {
        case WM_PAINT:
            if (cw.control->Kind() == ControlKind::Line)
                PaintLine(cw);
            else
                PaintShape(cw);
            return 0;
        case WM_ERASEBKGND:
            return 1; // painted whole in WM_PAINT
        case WM_NCHITTEST:
            return HTTRANSPARENT; // the mouse passes through to what lies below
        default:
            break;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(cw.hwnd, msg, wp, lp);
}

LRESULT Win32Backend::Impl::FormMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return OnEraseBackground(cw.hwnd, reinterpret_cast<HDC>(wp), form_.BackColor());
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg);
    case WM_COMMAND:
        OnCommand(HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_SETCURSOR:
        // Kept over the whole window while busy; children ask their parent first.
        if (busy_) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_SETFOCUS:
        // Back to the window (activation): the focus returns to the active control.
        if (Control* active = form_.ActiveControl()) {
            if (const HWND target = HandleOf(*active))
                ::SetFocus(target);
        }
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SETTINGCHANGE:
        // The program has set its icons again by now (its procedure runs first).
        UpdateIcons();
        break;
    case kFlushListsMessage:
        FlushListItems();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(cw.hwnd, msg, wp, lp);
}

LRESULT Win32Backend::Impl::ContainerMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return OnEraseBackground(cw.hwnd, reinterpret_cast<HDC>(wp), cw.control->BackColor());
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg);
    case WM_COMMAND:
        OnCommand(HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(cw.hwnd, msg, wp, lp);
}

LRESULT Win32Backend::Impl::ImageMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        PaintImage(cw);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        OnImageDown(cw, ButtonOf(msg));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        OnImageUp(cw, ButtonOf(msg), PointOf(lp));
        return 0;
    case WM_CAPTURECHANGED:
        cw.pressed = 0;
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(cw.hwnd, msg, wp, lp);
}

LRESULT Win32Backend::Impl::OnEraseBackground(HWND hwnd, HDC dc, Color color) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    ::FillRect(dc, &r, gdi_.Brush(color));
    return 1;
}

Color Win32Backend::Impl::BackgroundBehind(const Control& control) const {
    const UserControl* container = control.Container();
    Color color = container ? container->BackColor() : form_.BackColor();
    const float x = control.Left() + control.Width() / 2;
    const float y = control.Top() + control.Height() / 2;
    // Bottom first, so the topmost rectangle under the centre wins.
    for (const Control* other : form_.StackingOrder(container)) {
        if (other->Kind() != ControlKind::Shape || !other->Visible())
            continue;
        if (x >= other->Left() && x < other->Left() + other->Width() && y >= other->Top() &&
            y < other->Top() + other->Height())
            color = other->BackColor();
    }
    return color;
}

LRESULT Win32Backend::Impl::OnCtlColor(HDC dc, HWND child, UINT msg) {
    ControlWindow* cw = WindowOf(child);
    if (cw == nullptr && msg == WM_CTLCOLORLISTBOX) {
        // The list of a drop-down list is a window of the combo box's own.
        for (const auto& [control, record] : windows_) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof(info);
            if (control->Kind() == ControlKind::ComboBox && record->hwnd != nullptr &&
                ::GetComboBoxInfo(record->hwnd, &info) && info.hwndList == child) {
                cw = record.get();
                break;
            }
        }
    }
    if (cw == nullptr || cw->control == nullptr)
        return ::DefWindowProcW(::GetParent(child), msg, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(child));
    const Control& control = *cw->control;
    // Labels are transparent: they show the rectangle or the form below them.
    const Color back =
        control.Kind() == ControlKind::Label ? BackgroundBehind(control) : control.BackColor();
    ::SetTextColor(dc, ResolveColor(control.ForeColor()));
    ::SetBkColor(dc, ResolveColor(back));
    return reinterpret_cast<LRESULT>(gdi_.Brush(back));
}

void Win32Backend::Impl::OnCommand(UINT code, HWND child) {
    if (code != CBN_SELCHANGE || mirroring_ > 0)
        return;
    ControlWindow* cw = WindowOf(child);
    if (cw == nullptr || cw->control == nullptr || cw->control->Kind() != ControlKind::ComboBox)
        return;
    auto& list = static_cast<ComboBox&>(*cw->control);
    const auto chosen = static_cast<int>(::SendMessageW(child, CB_GETCURSEL, 0, 0));
    form_.UserSelect(list, chosen);
    // Refused (validation, a disabled window): the list shows the model's entry again.
    if (cw->hwnd != nullptr &&
        static_cast<int>(::SendMessageW(cw->hwnd, CB_GETCURSEL, 0, 0)) != list.ListIndex()) {
        ++mirroring_;
        ::SendMessageW(cw->hwnd, CB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
        --mirroring_;
    }
}

void Win32Backend::Impl::OnTimer(UINT_PTR id) {
    const auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    Timer& timer = *it->second;
    if (timer.Enabled() && timer.Tick)
        timer.Tick();
}

void Win32Backend::Impl::OnClose() {
    form_.UserClose();
    if (!form_.Visible() && hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

void Win32Backend::Impl::OnDestroy() {
    for (const auto& [id, timer] : timers_)
        ::KillTimer(hwnd_, id);
    if (options_.quitOnClose && !tearingDown_)
        ::PostQuitMessage(0);
}

void Win32Backend::Impl::OnSysColorChange() {
    gdi_.ForgetBrushes();
    // Common controls follow the new colours only when told.
    for (const auto& [hwnd, cw] : byHandle_) {
        if (hwnd != hwnd_)
            ::SendMessageW(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    }
    Redraw(hwnd_);
}

void Win32Backend::Impl::PaintShape(ControlWindow& cw) {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(cw.hwnd, &ps);
    const auto& shape = static_cast<const Shape&>(*cw.control);
    RECT r{};
    ::GetClientRect(cw.hwnd, &r);
    ::FillRect(dc, &r, gdi_.Brush(shape.BackColor()));
    ::FrameRect(dc, &r, gdi_.Brush(shape.BorderColor()));
    ::EndPaint(cw.hwnd, &ps);
}

void Win32Backend::Impl::PaintLine(ControlWindow& cw) {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(cw.hwnd, &ps);
    const auto& line = static_cast<const Line&>(*cw.control);
    RECT r{};
    ::GetClientRect(cw.hwnd, &r);
    ::FillRect(dc, &r, gdi_.Brush(BackgroundBehind(line)));
    const RECT outer = PixelRect(line);
    const POINT from{Px(line.X1()) - outer.left, Px(line.Y1()) - outer.top};
    const POINT to{Px(line.X2()) - outer.left, Px(line.Y2()) - outer.top};
    const COLORREF color = ResolveColor(line.BorderColor());
    const HPEN pen = ::CreatePen(PS_SOLID, 1, color);
    const HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
    ::SetPixel(dc, to.x, to.y, color); // LineTo stops short of its end point
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
    ::EndPaint(cw.hwnd, &ps);
}

void Win32Backend::Impl::PaintImage(ControlWindow& cw) {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(cw.hwnd, &ps);
    const auto& image = static_cast<const Image&>(*cw.control);
    RECT r{};
    ::GetClientRect(cw.hwnd, &r);
    const int width = r.right, height = r.bottom;
    if (width > 0 && height > 0) {
        // The picture drawn at the image's size in pixels, never stretched;
        // transparent pixels show what lies under the image.
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height,
                                          DibPixel(ResolveColor(BackgroundBehind(image))));
        const Picture picture = image.PictureAt(width, height);
        for (int y = 0; y < std::min(height, picture.height); ++y) {
            for (int x = 0; x < std::min(width, picture.width); ++x) {
                const std::uint32_t p = picture.At(x, y);
                if (p != Picture::Transparent)
                    pixels[static_cast<std::size_t>(y) * width + x] = p & 0x00FFFFFFu;
            }
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                            0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    }
    ::EndPaint(cw.hwnd, &ps);
}

void Win32Backend::Impl::OnImageDown(ControlWindow& cw, int button) {
    // The image keeps the mouse until the release, even when it moves off.
    if (cw.pressed == 0)
        ::SetCapture(cw.hwnd);
    cw.pressed |= button;
    form_.UserMouseDown(*cw.control, button);
}

void Win32Backend::Impl::OnImageUp(ControlWindow& cw, int button, POINT at) {
    const bool wasPressed = (cw.pressed & button) != 0;
    cw.pressed &= ~button;
    if (cw.pressed == 0 && cw.hwnd != nullptr && ::GetCapture() == cw.hwnd)
        ::ReleaseCapture();
    RECT r{};
    ::GetClientRect(cw.hwnd, &r);
    const bool inside = ::PtInRect(&r, at) != FALSE;
    auto& image = static_cast<Image&>(*cw.control);
    form_.UserMouseUp(image, button);
    if (button == vbLeftButton && wasPressed && inside && image.Click && form_.AcceptsInput(image))
        image.Click();
}

} // namespace tw::toolkit
