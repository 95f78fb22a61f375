// QtBackend: the window and its widgets, focus, z-order and timers.
#include "QtBackend.h"

#include "QtAccessibility.h"
#include "QtConvert.h"
#include "QtCueStyle.h"
#include "QtInputHooks.h"
#include "QtInputRouter.h"
#include "QtListModel.h"
#include "QtWidgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace tw::toolkit {

QtBackend::QtBackend(Form& form, QtBackendOptions options)
    : form_(form), options_(std::move(options)), window_(std::make_unique<FormWindow>()) {
    router_ = std::make_unique<QtInputRouter>(*this);
    InstallAccessibleFactory();
    MirrorScope scope(*this);
    if (form_.Handle() == nullptr)
        form_.SetHandle(WindowHandle());
    // Focus rectangles and access-key underlines follow the model's cues.
    cueStyle_ = std::make_unique<CueStyle>();
    window_->setStyle(cueStyle_.get());
    window_->setProperty(CueStyle::kProperty, form_.KeyboardCues());
    QtInputHookCallbacks hooks{options_.keyEvent, options_.mouseMove, options_.mouseButton};
    if (hooks.Any())
        inputHooks_ = std::make_unique<QtInputHooks>(std::move(hooks));
    window_->setFocusPolicy(Qt::NoFocus);
    window_->setAutoFillBackground(true);
    window_->CloseRequested = [this] { return CloseRequested(); };
    window_->TabRequested = [this](bool next) {
        if (!Mirroring())
            form_.UserTab(!next);
    };
    window_->installEventFilter(router_.get());

    for (const auto& control : form_.Controls())
        EnsureWidget(*control);
    Restack(nullptr);

    for (Property what : {Property::Caption, Property::Geometry, Property::Colors, Property::Font})
        FormChanged(what);
    form_.SetView(this);
    form_.App().SetBackend(this);
    if (form_.Visible())
        FormChanged(Property::Visible);
    if (form_.ActiveControl() != nullptr)
        FocusChanged(form_.ActiveControl());
}

QtBackend::~QtBackend() {
    ++mirroring_;
    inputHooks_.reset();
    if (form_.Handle() == WindowHandle())
        form_.SetHandle(nullptr);
    if (form_.View() == this)
        form_.SetView(nullptr);
    form_.App().SetBackend(nullptr);
    if (waitCursor_)
        QGuiApplication::restoreOverrideCursor();
    for (auto& [timer, qtimer] : timers_)
        qtimer->stop();
    window_.reset();
    router_.reset();
}

QWidget* QtBackend::Window() const {
    return window_.get();
}

QWidget* QtBackend::WidgetOf(const Control& control) const {
    const auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second.data();
}

Control* QtBackend::ControlOf(const QObject* widget) const {
    const auto it = controls_.find(widget);
    return it == controls_.end() ? nullptr : it->second;
}

int QtBackend::DpiX() const {
    return window_->logicalDpiX();
}
int QtBackend::DpiY() const {
    return window_->logicalDpiY();
}

QWidget* QtBackend::EnsureWidget(Control& control) {
    if (control.Kind() == ControlKind::Timer) {
        MirrorTimer(static_cast<Timer&>(control));
        return nullptr;
    }
    if (QWidget* existing = WidgetOf(control))
        return existing;
    QWidget* parent = window_.get();
    if (control.Container() != nullptr) {
        if (QWidget* container = EnsureWidget(*control.Container()))
            parent = container;
    }
    QWidget* widget = CreateWidget(control, parent);
    widgets_[&control] = widget;
    controls_[widget] = &control;
    MirrorAll(control, widget);
    if (control.Kind() == ControlKind::UserControl) {
        const auto& container = static_cast<UserControl&>(control);
        for (const auto& part : container.Parts())
            EnsureWidget(*part);
        Restack(&container);
    }
    return widget;
}

QWidget* QtBackend::CreateWidget(Control& control, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (control.Kind()) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        widget = label;
        break;
    }
    case ControlKind::TextBox: {
        auto* edit = new ModelLineEdit(parent);
        // Text only ever changes through the model: no drops, no drags.
        edit->setAcceptDrops(false);
        edit->setDragEnabled(false);
        widget = edit;
        break;
    }
    case ControlKind::CheckBox:
        widget = new QCheckBox(parent);
        widget->setAutoFillBackground(true);
        break;
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(parent);
        // The model deselects the other options of the group.
        option->setAutoExclusive(false);
        option->setAutoFillBackground(true);
        widget = option;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        widget = button;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        combo->setModel(new ComboListModel(static_cast<const ComboBox&>(control), combo));
        combo->setMaxVisibleItems(ComboBox::kDropDownRows);
        // The view was made under the platform's style, which opens lists as
        // menus without a scroll bar; this window's lists scroll.
        combo->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // Rows of one height: opening a list of 100,000 measures one.
        if (auto* rows = qobject_cast<QListView*>(combo->view()))
            rows->setUniformItemSizes(true);
        widget = combo;
        break;
    }
    case ControlKind::Image:
        widget = new PictureWidget(parent, static_cast<Image&>(control));
        break;
    case ControlKind::Line:
        widget = new LineWidget(parent);
        break;
    case ControlKind::Shape:
        widget = new ShapeWidget(parent);
        break;
    case ControlKind::UserControl:
    case ControlKind::Timer:
    default:
        widget = new QWidget(parent);
        widget->setAutoFillBackground(true);
        break;
    }
    // Qt never moves the focus on its own (click, Tab, activation): the model
    // decides, and FocusChanged hands its decision to the widget.
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setStyle(cueStyle_.get());
    widget->setObjectName(QString::fromStdString(control.Name()));
    // Before Qt first asks for the widget's accessible object, which it keeps.
    MirrorAccessibility(control, widget);
    router_->Attach(control, widget);
    return widget;
}

void QtBackend::ControlChanged(Control& control, Property what) {
    MirrorScope scope(*this);
    if (control.Kind() == ControlKind::Timer) {
        if (what == Property::Enabled || what == Property::TimerState)
            MirrorTimer(static_cast<Timer&>(control));
        return;
    }
    const bool existed = WidgetOf(control) != nullptr;
    QWidget* widget = EnsureWidget(control);
    if (widget == nullptr)
        return;
    if (what == Property::ZOrder || !existed)
        Restack(control.Container());
    if (what != Property::ZOrder)
        Mirror(control, widget, what);
}

void QtBackend::MirrorTimer(Timer& timer) {
    if (options_.virtualTime) {
        clock_.TimerChanged(timer);
        return;
    }
    QTimer*& qtimer = timers_[&timer];
    if (qtimer == nullptr) {
        qtimer = new QTimer(this);
        connect(qtimer, &QTimer::timeout, this, [this, &timer] {
            if (timer.Enabled() && !form_.App().Ended() && timer.Tick)
                timer.Tick();
        });
    }
    if (timer.Enabled() && timer.Interval() > 0 && !ending_)
        qtimer->start(timer.Interval());
    else
        qtimer->stop();
}

// Raised from the back to the front: the model's stacking order.
void QtBackend::Restack(const UserControl* container) {
    for (Control* control : form_.StackingOrder(container)) {
        if (QWidget* widget = WidgetOf(*control))
            widget->raise();
    }
}

void QtBackend::FormChanged(Property what) {
    MirrorScope scope(*this);
    switch (what) {
    case Property::Caption:
        window_->setWindowTitle(ToQString(form_.Caption()));
        break;
    case Property::Visible:
        window_->setVisible(form_.Visible() && !ending_);
        break;
    case Property::Geometry:
        window_->setFixedSize(TwipsToPixels(form_.ScaleWidth(), DpiX()),
                              TwipsToPixels(form_.ScaleHeight(), DpiY()));
        break;
    case Property::Colors:
        MirrorFormColors();
        break;
    case Property::Font:
        window_->setFont(ToQFont(form_.Font()));
        break;
    default:
        // A disabled window keeps its look, as a disabled Win32 window does
        // not repaint its children; the model refuses the input meanwhile.
        break;
    }
}

void QtBackend::KeyboardCuesChanged() {
    window_->setProperty(CueStyle::kProperty, form_.KeyboardCues());
    // Focus rectangles and underlines are painted: every widget repaints.
    for (const auto& [control, widget] : widgets_) {
        if (widget)
            widget->update();
    }
}

void QtBackend::FocusChanged(Control* control) {
    MirrorScope scope(*this);
    if (control == nullptr) {
        if (QWidget* focused = window_->focusWidget())
            focused->clearFocus();
        return;
    }
    QWidget* widget = EnsureWidget(*control);
    if (widget == nullptr)
        return;
    widget->setFocus(Qt::OtherFocusReason);
    // Qt drops a line edit's selection when it loses the focus; the model keeps it.
    if (control->Kind() == ControlKind::TextBox)
        MirrorText(static_cast<TextBox&>(*control), widget);
}

} // namespace tw::toolkit
