#include "QtCueStyle.h"

#include <QStyleOptionButton>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace tw::toolkit {

namespace {

// With cues the focus shows as after keyboard use; without, not at all.
QStyle::State CueState(QStyle::State state, bool shown) {
    if (shown)
        return state | QStyle::State_KeyboardFocusChange;
    return state & ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
}

} // namespace

std::optional<bool> CueStyle::CuesShown(const QWidget* widget) {
    if (widget == nullptr)
        return std::nullopt;
    const QVariant value = widget->window()->property(kProperty);
    if (!value.isValid())
        return std::nullopt;
    return value.toBool();
}

void CueStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const {
    const std::optional<bool> shown = CuesShown(widget);
    if (shown && element == PE_FrameFocusRect && !*shown)
        return;
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (shown && button != nullptr) {
        QStyleOptionButton copy(*button);
        copy.state = CueState(copy.state, *shown);
        QProxyStyle::drawPrimitive(element, &copy, painter, widget);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void CueStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const {
    const std::optional<bool> shown = CuesShown(widget);
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (shown && button != nullptr) {
        QStyleOptionButton copy(*button);
        copy.state = CueState(copy.state, *shown);
        QProxyStyle::drawControl(element, &copy, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int CueStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                        QStyleHintReturn* returnData) const {
    // A drop-down list opens below itself with a fixed number of rows and a
    // scroll bar, as on Windows, not as a menu as tall as its entries.
    if (hint == SH_ComboBox_Popup)
        return 0;
    if (hint == SH_UnderlineShortcut) {
        if (const std::optional<bool> shown = CuesShown(widget))
            return *shown ? 1 : 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace tw::toolkit
