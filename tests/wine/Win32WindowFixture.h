// The test form in the Win32 window (virtual time, real window messages),
// with the probes that read back what the controls show: the shared suites'
// window (Win32Conformance.cpp) and the fixture of the Win32 backend's own
// tests.
#pragma once

#include "toolkit/mirror/MirrorConformance.h"

#include "toolkit/win32/Win32Backend.h"
#include "toolkit/win32/Win32Clipboard.h"
#include "toolkit/win32/Win32Convert.h"
#include "toolkit/win32/Win32Input.h"

#include "platform/win32/WinHeaders.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tw::toolkit::test {

using win32text::FromWide;

inline std::u16string TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd, text, 512);
    return FromWide(text);
}

// The screen's resolution: the system's, or under Wine its LogPixels setting.
inline int ScreenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// A window's place in its parent's client area.
inline PixelRect PlaceOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

// The selected characters of an edit control: first and one past the last.
inline std::pair<int, int> EditSelection(HWND edit) {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

inline BOOL CALLBACK FindToolTip(HWND hwnd, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
        *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

class Win32Window : public WindowUnderTest {
public:
    explicit Win32Window(Form& form, bool realTime = false)
        : backend(form, Options(realTime)), input(backend) {}
    IUserInput& Input() override { return input; }
    void Settle() override { backend.PumpMessages(); }
    std::optional<std::u16string> ClipboardText() override { return ReadClipboardText(nullptr); }
    void CopyImageElsewhere() override {
        if (!::OpenClipboard(backend.Handle()))
            return;
        ::EmptyClipboard();
        const HBITMAP image = ::CreateBitmap(4, 4, 1, 32, nullptr);
        if (::SetClipboardData(CF_BITMAP, image) == nullptr)
            ::DeleteObject(image); // the clipboard owns it only once it is set
        ::CloseClipboard();
    }

    std::u16string Caption() override { return TextOf(backend.Handle()); }
    PixelRect Client() override {
        RECT r{};
        ::GetClientRect(backend.Handle(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    std::u16string Text(const Control& control) override { return TextOf(H(control)); }
    // A static control without SS_NOPREFIX takes "&" as the access-key mark
    // and "&&" as one ampersand.
    std::u16string LabelReads(const Label& label) override {
        const std::u16string text = TextOf(H(label));
        if ((::GetWindowLongPtrW(H(label), GWL_STYLE) & SS_NOPREFIX) != 0)
            return text;
        std::u16string reads;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'&' && i + 1 < text.size())
                ++i;
            reads += text[i];
        }
        return reads;
    }
    int CheckState(const Control& control) override {
        const LRESULT state = ::SendMessageW(H(control), BM_GETCHECK, 0, 0);
        return state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
    }
    bool Enabled(const Control& control) override { return ::IsWindowEnabled(H(control)); }
    bool Visible(const Control& control) override { return ::IsWindowVisible(H(control)); }
    bool ReadOnly(const TextBox& box) override {
        return (::GetWindowLongPtrW(H(box), GWL_STYLE) & ES_READONLY) != 0;
    }
    std::u16string ToolTip(const Control& control) override {
        HWND tooltip = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindToolTip,
                            reinterpret_cast<LPARAM>(&tooltip));
        wchar_t text[512] = {};
        TTTOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.hwnd = ::GetParent(H(control));
        info.uId = reinterpret_cast<UINT_PTR>(H(control));
        if (tooltip == nullptr ||
            !::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)))
            return {};
        info.lpszText = text;
        ::SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&info));
        return FromWide(text);
    }
    PixelRect Place(const Control& control) override { return PlaceOf(H(control)); }
    int Dpi() override { return ScreenDpi(); }
    std::vector<std::u16string> Entries(const ComboBox& list) override {
        std::vector<std::u16string> entries;
        const auto count = static_cast<int>(::SendMessageW(H(list), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(H(list), CB_GETLBTEXT, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(text));
            entries.push_back(FromWide(text));
        }
        return entries;
    }
    int ListIndex(const ComboBox& list) override {
        return static_cast<int>(::SendMessageW(H(list), CB_GETCURSEL, 0, 0));
    }
    std::pair<int, int> Selection(const TextBox& box) override { return EditSelection(H(box)); }
    int StackIndex(const Control& control) override {
        int index = 0;
        for (HWND h = ::GetWindow(H(control), GW_HWNDNEXT); h != nullptr;
             h = ::GetWindow(h, GW_HWNDNEXT))
            ++index; // windows below it
        return index;
    }
    int OpenedRows(const ComboBox& list) override {
        ::SendMessageW(H(list), CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        RECT r{};
        int rowHeight = 0;
        if (::GetComboBoxInfo(H(list), &info)) {
            ::GetClientRect(info.hwndList, &r);
            rowHeight = static_cast<int>(::SendMessageW(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
        }
        ::SendMessageW(H(list), CB_SHOWDROPDOWN, FALSE, 0);
        return rowHeight > 0 ? r.bottom / rowHeight : -1;
    }

    // On virtual time unless real time is asked for (the model's timers on SetTimer).
    static Win32BackendOptions Options(bool realTime = false) {
        Win32BackendOptions options;
        options.virtualTime = !realTime;
        options.quitOnClose = false;
        options.interactiveMessageBoxes = false;
        return options;
    }
    HWND H(const Control& control) const { return backend.HandleOf(control); }

    Win32Backend backend;
    Win32Input input;
};

} // namespace tw::toolkit::test

namespace tw::winetests {

using toolkit::test::TestForm;

// The test form shown and settled, no event recorded yet.
class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = std::make_unique<toolkit::test::Win32Window>(t.form);
        t.form.Show();
        w->Settle();
        t.events.clear();
    }

    HWND H(const toolkit::Control& control) const { return w->H(control); }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(t.events.begin(), t.events.end(), event));
    }

    TestForm t;
    std::unique_ptr<toolkit::test::Win32Window> w;
};

} // namespace tw::winetests
