// The Linux window: the form model mirrored into Qt Widgets. Every model
// change is copied into the widgets, and real input comes back to the model
// through QtInputRouter; no widget changes its own state behind the model's
// back, and the backend raises no model event itself.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/IFormView.h"
#include "toolkit/VirtualClock.h"

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QComboBox;
class QTimer;
class QWidget;

namespace tw::toolkit {

class CueStyle;
class FormWindow;
class QtInputHooks;
class QtInputRouter;

struct QtBackendOptions {
    // The user's long date format, as "dddd, MMMM d, yyyy".
    std::u16string longDatePicture = u"dddd, MMMM d, yyyy";
    // Whether message boxes are shown and wait for OK (off for scenario runs,
    // where the model's record of them is what counts).
    bool interactiveMessageBoxes = true;
    // Timers tick from a virtual clock that only moves when told to (scenario
    // runs and tests) instead of real time.
    bool virtualTime = false;
    // The colours of the window system the program runs on: a system colour
    // index (5 for the window background...) to its current 0x00BBGGRR
    // colour, as GetSysColor answers. Unset: Qt's palette stands for them.
    std::function<std::uint32_t(unsigned index)> systemColor;
    // Real input handed to the thread hooks of the platform the program runs
    // on: a key going down or up (Windows virtual-key code), the pointer
    // moving (screen pixels), a mouse button pressed or released (VK_LBUTTON
    // 1, VK_RBUTTON 2, VK_MBUTTON 4). Unset: nothing is handed on.
    std::function<void(int virtualKey, bool up)> keyEvent;
    std::function<void(int x, int y)> mouseMove;
    std::function<void(int virtualKey, bool down)> mouseButton;
};

class QtBackend : public QObject, public IFormView, public IAppBackend {
    Q_OBJECT
public:
    // Creates the window and a widget for every control of `form`, and
    // attaches itself to the form and its application. A QApplication must exist.
    explicit QtBackend(Form& form, QtBackendOptions options = {});
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // IFormView
    void ControlChanged(Control& control, Property what) override;
    void FormChanged(Property what) override;
    void FocusChanged(Control* control) override;
    void KeyboardCuesChanged() override;
    // The system's clipboard (QClipboard), shared with other programs.
    std::optional<std::u16string> ClipboardText() override;
    void SetClipboardText(const std::u16string& text) override;

    // IAppBackend
    void ShowMousePointer(MousePointer pointer) override;
    void DoEvents() override;
    void WaitForCall(const std::function<void()>& call) override;
    void ShowMessageBox(const MessageBoxRecord& box) override;
    void Beep() override;
    std::u16string FormatLongDate(double serial) override;
    void End() override;
    std::int64_t Milliseconds() override;

    Form& Model() const { return form_; }
    // The top-level window.
    QWidget* Window() const;
    // The widget that shows a control, or null (timers have none).
    QWidget* WidgetOf(const Control& control) const;
    // The control a widget shows, or null.
    Control* ControlOf(const QObject* widget) const;

    bool UsesVirtualClock() const { return options_.virtualTime; }
    VirtualClock& Clock() { return clock_; }

    // Resolves the system colours again: the desktop's colours changed.
    void RefreshColors();

    // The handle the program knows the window by when the form has none of
    // its own: the same every run, for a simulated window system.
    static win::HWND WindowHandle() { return reinterpret_cast<win::HWND>(std::uintptr_t{0xB0010}); }

    // Whether the backend is busy copying the model into the widgets: what
    // Qt does meanwhile is not user input.
    bool Mirroring() const { return mirroring_ > 0; }

    // The routing of real input, for QtInput (context menu, clipboard).
    QtInputRouter& Router() const { return *router_; }

private:
    // Marks the backend as copying the model into the widgets for its lifetime.
    class MirrorScope {
    public:
        explicit MirrorScope(QtBackend& backend) : backend_(backend) { ++backend_.mirroring_; }
        ~MirrorScope() { --backend_.mirroring_; }
        MirrorScope(const MirrorScope&) = delete;
        MirrorScope& operator=(const MirrorScope&) = delete;

    private:
        QtBackend& backend_;
    };

    QWidget* EnsureWidget(Control& control);
    QWidget* CreateWidget(Control& control, QWidget* parent);
    void MirrorAll(Control& control, QWidget* widget);
    void Mirror(Control& control, QWidget* widget, Property what);
    void MirrorGeometry(Control& control, QWidget* widget);
    void MirrorLine(const Line& line, QWidget* widget);
    void MirrorCaption(Control& control, QWidget* widget);
    void MirrorText(TextBox& box, QWidget* widget);
    void MirrorValue(Control& control, QWidget* widget);
    void MirrorColors(Control& control, QWidget* widget);
    void MirrorList(ComboBox& list, QWidget* widget);
    void QueueListItem(ComboBox& list, QWidget* widget);
    void MirrorListIndex(ComboBox& list, QWidget* widget);
    // Puts the entries added since the last paint into their lists.
    void FlushListItems();
    void MirrorTimer(Timer& timer);
    void MirrorFormColors();
    void Restack(const UserControl* container);
    bool CloseRequested();
    int DpiX() const;
    int DpiY() const;
    // A model colour as the window paints it; system colours from the
    // platform's colours when the options give them, else from `palette`.
    QColor Resolve(Color color, const QPalette& palette) const;

    Form& form_;
    QtBackendOptions options_;
    VirtualClock clock_;
    // Outlives the widgets that draw with it (the window goes first).
    std::unique_ptr<CueStyle> cueStyle_;
    std::unique_ptr<QtInputHooks> inputHooks_;
    std::unique_ptr<FormWindow> window_;
    std::unique_ptr<QtInputRouter> router_;
    std::unordered_map<const Control*, QPointer<QWidget>> widgets_;
    std::unordered_map<const QObject*, Control*> controls_;
    std::unordered_map<const Timer*, QTimer*> timers_;
    // Entries the model added that their list does not show yet: the
    // position each went to, in the order added. A burst of additions
    // reaches the widget as one insertion before the next paint.
    std::unordered_map<QComboBox*, std::vector<int>> pendingItems_;
    bool flushQueued_ = false;
    int mirroring_ = 0;
    bool waitCursor_ = false;
    bool ending_ = false;
};

} // namespace tw::toolkit
