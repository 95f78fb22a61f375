// QtBackend: copying the model's control properties into the widgets.
#include "QtBackend.h"

#include "QtAccessibility.h"
#include "QtConvert.h"
#include "QtListModel.h"
#include "QtWidgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

namespace tw::toolkit {

namespace {

Qt::Alignment ToQtAlignment(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Center:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Left:
    default:
        return Qt::AlignLeft | Qt::AlignTop;
    }
}

// A background in every colour group; a text colour only where the control is
// enabled, so disabled text keeps the platform's grey.
void SetBack(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
    palette.setColor(role, color);
}

void SetFore(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
}

} // namespace

void QtBackend::MirrorAll(Control& control, QWidget* widget) {
    for (Property what : kMirroredProperties)
        Mirror(control, widget, what);
}

void QtBackend::Mirror(Control& control, QWidget* widget, Property what) {
    switch (what) {
    case Property::Caption:
        MirrorCaption(control, widget);
        break;
    case Property::Text:
    case Property::Selection:
        if (control.Kind() == ControlKind::TextBox)
            MirrorText(static_cast<TextBox&>(control), widget);
        break;
    case Property::Value:
        MirrorValue(control, widget);
        break;
    case Property::Enabled:
        widget->setEnabled(control.Enabled());
        break;
    case Property::Visible:
        widget->setVisible(control.Visible());
        break;
    case Property::Geometry:
        MirrorGeometry(control, widget);
        break;
    case Property::ToolTip:
        widget->setToolTip(ToQString(control.ToolTipText()));
        break;
    case Property::Colors:
        MirrorColors(control, widget);
        break;
    case Property::Font:
        widget->setFont(ToQFont(control.Font()));
        break;
    case Property::List:
        if (control.Kind() == ControlKind::ComboBox)
            MirrorList(static_cast<ComboBox&>(control), widget);
        break;
    case Property::ListItemAdded:
        if (control.Kind() == ControlKind::ComboBox)
            QueueListItem(static_cast<ComboBox&>(control), widget);
        break;
    case Property::ListIndex:
        if (control.Kind() == ControlKind::ComboBox)
            MirrorListIndex(static_cast<ComboBox&>(control), widget);
        break;
    case Property::Locked:
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setReadOnly(static_cast<TextBox&>(control).Locked());
        break;
    case Property::Picture:
        if (auto* picture = qobject_cast<PictureWidget*>(widget))
            picture->PictureChanged();
        break;
    case Property::Accessibility:
        MirrorAccessibility(control, widget);
        // A label names its field for assistive technology through its buddy.
        if (const Control* label = control.LabelledBy()) {
            if (auto* qlabel = qobject_cast<QLabel*>(WidgetOf(*label)))
                qlabel->setBuddy(widget);
        }
        break;
    case Property::ZOrder:
    case Property::TimerState:
        break;
    }
}

void QtBackend::MirrorGeometry(Control& control, QWidget* widget) {
    if (control.Kind() == ControlKind::Line) {
        MirrorLine(static_cast<const Line&>(control), widget);
        return;
    }
    widget->setGeometry(TwipsToPixels(control.Left(), DpiX()), TwipsToPixels(control.Top(), DpiY()),
                        TwipsToPixels(control.Width(), DpiX()),
                        TwipsToPixels(control.Height(), DpiY()));
}

void QtBackend::MirrorLine(const Line& line, QWidget* widget) {
    float x1 = line.X1(), y1 = line.Y1(), x2 = line.X2(), y2 = line.Y2();
    if (x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0) {
        // Placed with Move rather than by its end points: corner to corner.
        x1 = line.Left();
        y1 = line.Top();
        x2 = line.Left() + line.Width();
        y2 = line.Top() + line.Height();
    }
    const QPoint from(TwipsToPixels(x1, DpiX()), TwipsToPixels(y1, DpiY()));
    const QPoint to(TwipsToPixels(x2, DpiX()), TwipsToPixels(y2, DpiY()));
    const QRect box = QRect(from, to).normalized();
    widget->setGeometry(box);
    static_cast<LineWidget*>(widget)->SetLine(from - box.topLeft(), to - box.topLeft(),
                                              Resolve(line.BorderColor(), widget->palette()));
}

void QtBackend::MirrorCaption(Control& control, QWidget* widget) {
    switch (control.Kind()) {
    case ControlKind::Label: {
        auto& label = static_cast<Label&>(control);
        auto* qlabel = static_cast<QLabel*>(widget);
        qlabel->setText(
            ToQString(label.UseMnemonic() ? WithoutAccessKeys(label.Caption()) : label.Caption()));
        qlabel->setAlignment(ToQtAlignment(label.Alignment()));
        if (label.Live())
            AnnounceCaption(qlabel);
        break;
    }
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
        static_cast<QAbstractButton*>(widget)->setText(ToQString(AsCaptioned(control)->Caption()));
        break;
    default:
        break;
    }
}

void QtBackend::MirrorText(TextBox& box, QWidget* widget) {
    auto* edit = static_cast<QLineEdit*>(widget);
    const QString text = ToQString(box.Text());
    if (edit->text() != text)
        edit->setText(text);
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = edit->selectionLength();
    // Equal already (the user just moved it): leave the caret at its end of the selection.
    if (start == box.SelStart() && length == box.SelLength())
        return;
    if (box.SelLength() > 0)
        edit->setSelection(box.SelStart(), box.SelLength());
    else
        edit->setCursorPosition(box.SelStart());
}

void QtBackend::MirrorValue(Control& control, QWidget* widget) {
    if (control.Kind() == ControlKind::CheckBox) {
        auto* check = static_cast<QCheckBox*>(widget);
        const int value = static_cast<CheckBox&>(control).Value();
        check->setTristate(value == 2);
        check->setCheckState(value == 1   ? Qt::Checked
                             : value == 2 ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
    } else if (control.Kind() == ControlKind::OptionButton) {
        static_cast<QRadioButton*>(widget)->setChecked(static_cast<OptionButton&>(control).Value());
    }
}

void QtBackend::MirrorColors(Control& control, QWidget* widget) {
    if (control.Kind() == ControlKind::Label)
        widget->setAutoFillBackground(static_cast<const Label&>(control).BackStyle() == 1);
    const QPalette system = QApplication::palette();
    const QColor back = Resolve(control.BackColor(), system);
    const QColor fore = Resolve(control.ForeColor(), system);
    QPalette palette = widget->palette();
    switch (control.Kind()) {
    case ControlKind::TextBox:
        SetBack(palette, QPalette::Base, back);
        SetFore(palette, QPalette::Text, fore);
        break;
    case ControlKind::ComboBox:
        SetBack(palette, QPalette::Base, back);
        SetBack(palette, QPalette::Button, back);
        SetFore(palette, QPalette::Text, fore);
        SetFore(palette, QPalette::ButtonText, fore);
        break;
    case ControlKind::CommandButton:
        SetBack(palette, QPalette::Button, back);
        SetFore(palette, QPalette::ButtonText, fore);
        break;
    case ControlKind::Line:
        MirrorLine(static_cast<Line&>(control), widget);
        return;
    case ControlKind::Shape:
        static_cast<ShapeWidget*>(widget)->SetColors(
            back, Resolve(static_cast<Shape&>(control).BorderColor(), system));
        return;
    default: // labels, check boxes, option buttons, user controls, images
        SetBack(palette, QPalette::Window, back);
        SetFore(palette, QPalette::WindowText, fore);
        // Check boxes and option buttons fill their background with the
        // button role, and draw their text in the window text role.
        if (widget->backgroundRole() != QPalette::Window)
            SetBack(palette, widget->backgroundRole(), back);
        break;
    }
    widget->setPalette(palette);
}

void QtBackend::RefreshColors() {
    FormChanged(Property::Colors);
    MirrorScope scope(*this);
    for (const auto& [control, widget] : widgets_) {
        if (widget)
            MirrorColors(*const_cast<Control*>(control), widget);
    }
}

// The whole list anew: at creation and after Clear.
void QtBackend::MirrorList(ComboBox& list, QWidget* widget) {
    auto* combo = static_cast<QComboBox*>(widget);
    pendingItems_.erase(combo);
    static_cast<ComboListModel*>(combo->model())->Reset();
    combo->setCurrentIndex(list.ListIndex());
}

void QtBackend::QueueListItem(ComboBox& list, QWidget* widget) {
    pendingItems_[static_cast<QComboBox*>(widget)].push_back(list.NewIndex());
    if (flushQueued_)
        return;
    flushQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { FlushListItems(); }, Qt::QueuedConnection);
}

void QtBackend::MirrorListIndex(ComboBox& list, QWidget* widget) {
    FlushListItems();
    auto* combo = static_cast<QComboBox*>(widget);
    combo->setCurrentIndex(list.ListIndex());
    // An opened list highlights the entry chosen.
    if (combo->view()->isVisible())
        combo->view()->setCurrentIndex(combo->model()->index(list.ListIndex(), 0));
}

void QtBackend::FlushListItems() {
    flushQueued_ = false;
    if (pendingItems_.empty())
        return;
    MirrorScope scope(*this);
    for (const auto& [combo, added] : pendingItems_) {
        auto* rows = static_cast<ComboListModel*>(combo->model());
        // Entries that went one after another show with one insertion.
        for (std::size_t from = 0; from < added.size();) {
            std::size_t to = from + 1;
            while (to < added.size() && added[to] == added[to - 1] + 1)
                ++to;
            rows->Show(added[from], static_cast<int>(to - from));
            from = to;
        }
        // Entries put into an empty combo box select the first: the model's choice stands.
        if (const Control* list = ControlOf(combo))
            combo->setCurrentIndex(static_cast<const ComboBox*>(list)->ListIndex());
    }
    pendingItems_.clear();
}

void QtBackend::MirrorFormColors() {
    const QPalette system = QApplication::palette();
    QPalette palette = window_->palette();
    SetBack(palette, QPalette::Window, Resolve(form_.BackColor(), system));
    SetFore(palette, QPalette::WindowText, Resolve(form_.ForeColor(), system));
    window_->setPalette(palette);
}

QColor QtBackend::Resolve(Color color, const QPalette& palette) const {
    if (IsSystemColor(color) && options_.systemColor)
        return ResolveColor(options_.systemColor(color & 0x7FFFFFFFu) & 0xFFFFFFu, palette);
    return ResolveColor(color, palette);
}

} // namespace tw::toolkit
