// Inside the Win32 window: one record per real window, and the backend's
// state. Only the toolkit/win32 sources include this header.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/UserControl.h"
#include "toolkit/VirtualClock.h"

#include "Win32Accessible.h"
#include "Win32Backend.h"
#include "Win32Gdi.h"
#include "Win32Windows.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace tw::toolkit {

// One real window: the form itself (control null) or one control of the model.
// Records live as long as the backend, so a handler that destroys the window
// never leaves a dangling record behind.
struct ControlWindow {
    Win32Backend::Impl* impl = nullptr;
    Control* control = nullptr;
    HWND hwnd = nullptr;
    // A left press on a button that the model accepted, waiting for its release.
    bool armed = false;
    // The mouse buttons whose press reached the model (model button bits).
    int pressed = 0;
    bool hasToolTip = false;
    // A list's entries the model added that the control does not hold yet,
    // each with the position it went to, in the order added.
    std::vector<std::pair<int, std::u16string>> pendingItems;
    // The label that names the control, as last stacked (Win32Accessible.cpp).
    const Control* labelledBy = nullptr;
};

// The button state that shows a check box's or option button's value: a
// check box's 2 is the greyed third state, as Qt shows it partly checked.
inline WPARAM CheckStateOf(const Control& control) {
    if (control.Kind() == ControlKind::OptionButton)
        return static_cast<const OptionButton&>(control).Value() ? BST_CHECKED : BST_UNCHECKED;
    switch (static_cast<const CheckBox&>(control).Value()) {
    case 1:
        return BST_CHECKED;
    case 2:
        return BST_INDETERMINATE;
    default:
        return BST_UNCHECKED;
    }
}

// The static control's style bits that follow the label's properties.
constexpr DWORD kLabelStyleMask = SS_TYPEMASK | SS_NOPREFIX;
inline DWORD LabelStyle(const Label& label) {
    const DWORD prefix = label.UseMnemonic() ? 0 : SS_NOPREFIX;
    switch (label.Alignment()) {
    case Alignment::Right:
        return SS_RIGHT | prefix;
    case Alignment::Center:
        return SS_CENTER | prefix;
    default:
        return SS_LEFT | prefix;
    }
}

class Win32Backend::Impl {
public:
    Impl(Form& form, Win32BackendOptions options);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    Form& Model() const { return form_; }
    HWND Handle() const { return hwnd_; }
    HWND HandleOf(const Control& control) const;
    bool UsesVirtualClock() const { return options_.virtualTime; }
    int Dpi() const { return dpi_; }
    VirtualClock& Clock() { return clock_; }

    // Creation, layout and what each change goes to (Win32Backend.cpp).
    void CreateFormWindow();
    void CreateControlWindow(Control& control, HWND parent);
    void Restack(const UserControl* container);
    int Px(float twips) const;
    RECT PixelRect(const Control& control) const;
    void PlaceFormWindow(bool center);

    // The resolution (Win32Dpi.cpp's lookups, Win32Backend.cpp): every
    // control's font and place again after a change, the tool tips' font,
    // the window's icons at the system's sizes for it.
    void LayOutAgain();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void ApplyToolTipDpi();
    void UpdateIcons();

    // The model into the windows (Win32BackendMirror.cpp).
    void ControlChanged(Control& control, Property what);
    void FormChanged(Property what);
    void FocusChanged(Control* control);
    // One property of a control into its window; every one, for a new window.
    void Mirror(ControlWindow& cw, Property what);
    void MirrorAll(ControlWindow& cw);
    void MirrorTimer(Timer& timer);

    // Messages of the backend's own window classes (Win32WindowProcs.cpp).
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Real input of the standard controls (Win32Subclass.cpp).
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR ref);

    // Message loop and application services (Win32BackendServices.cpp).
    bool PreTranslate(const MSG& msg);
    bool ArrowKey(const MSG& msg);
    bool FunctionKey(const MSG& msg);
    std::int64_t Milliseconds() const;
    void PumpMessages();
    void WaitForCall(const std::function<void()>& call);
    int Run();
    void ShowMousePointer(MousePointer pointer);
    void ShowMessageBox(const MessageBoxRecord& box);
    std::u16string FormatLongDate(double serial);
    void End();
    // Puts the entries added since the last pass of messages into their lists.
    void FlushListItems();
    // Posted to the window to flush the lists before it paints.
    static constexpr UINT kFlushListsMessage = WM_APP + 1;

    // Assistive technology (Win32Accessible.cpp): the record of a control's
    // window, or null; a left click on an image.
    static ControlWindow* RecordOf(HWND hwnd);
    void PressImage(ControlWindow& cw);

private:
    // The record of a control's window, by control or by handle; null when none.
    ControlWindow* WindowOf(const Control& control) const;
    ControlWindow* WindowOf(HWND hwnd) const;
    void WindowGone(ControlWindow& cw);
    void MirrorText(ControlWindow& cw);
    void MirrorSelection(ControlWindow& cw);
    void MirrorList(ControlWindow& cw);
    void QueueListItem(ControlWindow& cw);
    void MirrorListIndex(ControlWindow& cw);
    void MirrorGeometry(ControlWindow& cw);
    void UpdateToolTip(ControlWindow& cw);
    void Redraw(HWND hwnd);
    // Labels in front of the controls they name; a label changed; a live
    // label's new caption announced (Win32Accessible.cpp).
    void PlaceLabels(const UserControl* container);
    void MirrorAccessibility(ControlWindow& cw);
    void AnnounceCaption(ControlWindow& cw);
    // What shows behind a transparent control: the topmost filled rectangle
    // under it, else its container's background.
    Color BackgroundBehind(const Control& control) const;

    // Own window classes.
    LRESULT HandleMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT FormMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ContainerMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ImageMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnEraseBackground(HWND hwnd, HDC dc, Color color);
    LRESULT OnCtlColor(HDC dc, HWND child, UINT msg);
    void OnCommand(UINT code, HWND child);
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnDestroy();
    void OnSysColorChange();
    void PaintLine(ControlWindow& cw);
    void PaintShape(ControlWindow& cw);
    void PaintImage(ControlWindow& cw);
    void OnImageDown(ControlWindow& cw, int button);
    void OnImageUp(ControlWindow& cw, int button, POINT at);

    // Standard controls.
    LRESULT EditMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ButtonMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ComboMessage(ControlWindow& cw, UINT msg, WPARAM wp, LPARAM lp);
    void SyncSelection(ControlWindow& cw);

    // First: COM outlives every window that may hand out an accessible object.
    ComApartment com_;
    Form& form_;
    Win32BackendOptions options_;
    VirtualClock clock_;
    ControlWindow formWindow_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    int dpi_ = 96;
    HFONT toolTipFont_ = nullptr;
    // The window's icons the backend set for a resolution other than the
    // system's (GetSystemMetrics answers for that one only); null until then.
    HICON smallIcon_ = nullptr;
    HICON bigIcon_ = nullptr;
    std::map<const Control*, std::unique_ptr<ControlWindow>> windows_;
    std::map<HWND, ControlWindow*> byHandle_;
    std::map<const Timer*, UINT_PTR> timerIds_;
    std::map<UINT_PTR, Timer*> timers_;
    UINT_PTR nextTimerId_ = 1;
    int nextControlId_ = 100;
    GdiCache gdi_;
    bool busy_ = false;
    // Set while the backend writes the model's state into a control, so the
    // control's own notifications are not taken for user input.
    int mirroring_ = 0;
    // The text box whose selection is being copied into the model.
    const Control* syncing_ = nullptr;
    // The backend is going away: destroying the window does not end the loop.
    bool tearingDown_ = false;
    // Lists with entries waiting (ControlWindow::pendingItems), and whether
    // a flush is posted.
    std::vector<ControlWindow*> pendingLists_;
    bool flushPosted_ = false;
};

} // namespace tw::toolkit
