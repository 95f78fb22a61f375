#include "QtAccessibility.h"

#include "QtConvert.h"
#include "QtWidgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

namespace tw::toolkit {

namespace {

// The dynamic property that marks a label of the window as live (true) or
// not (false); labels without it are none of ours.
constexpr const char* kLiveProperty = "twLive";

// An image acts as a push button: pressing it through the accessibility
// interface is a left click, press and release, as the mouse gives it.
class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction() || !widget()->isEnabled())
            return;
        const QPointF centre = QRectF(widget()->rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, widget()->mapToGlobal(centre), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(widget(), &event);
        }
    }
};

// A label of the window: its text as its name, and a status bar's role when
// it is live, so a screen reader reads out each new text.
class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::StaticText) {}

    QAccessible::Role role() const override {
        return widget()->property(kLiveProperty).toBool() ? QAccessible::StatusBar
                                                          : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* picture = qobject_cast<PictureWidget*>(object))
        return new PictureAccessible(picture);
    if (auto* label = qobject_cast<QLabel*>(object);
        label != nullptr && label->property(kLiveProperty).isValid())
        return new LabelAccessible(label);
    return nullptr;
}

QString TextOf(QWidget* widget, QAccessible::Text what) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(what) : QString();
}

} // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void MirrorAccessibility(const Control& control, QWidget* widget) {
    // Marked first: setting a name makes Qt ask for the accessible object,
    // which the factory makes once and Qt keeps.
    if (control.Kind() == ControlKind::Label)
        widget->setProperty(kLiveProperty, static_cast<const Label&>(control).Live());
    widget->setAccessibleName(ToQString(control.AccessibleName()));
    widget->setAccessibleDescription(ToQString(control.AccessibleDescription()));
}

void AnnounceCaption(QWidget* label) {
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr)
        return {};
#ifdef Q_OS_UNIX
    // Qt on Unix names a drop-down list by its current entry and leaves its
    // name to the label that points at it, as screen readers there look for.
    if (accessible->role() == QAccessible::ComboBox) {
        for (const auto& [other, relation] : accessible->relations(QAccessible::Label))
            return other->text(QAccessible::Name);
        return {};
    }
#endif
    return accessible->text(QAccessible::Name);
}

QString AccessibleDescription(QWidget* widget) {
    return TextOf(widget, QAccessible::Description);
}

} // namespace tw::toolkit
