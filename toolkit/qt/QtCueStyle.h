// Keyboard cues for the Qt window: focus rectangles and access-key
// underlines are drawn only while the window's "keyboardCues" property is
// true, as a Windows window hides them until the user works with the
// keyboard. Widgets of other windows are drawn as the base style draws them.
// The window's drop-down lists open as Windows opens them (a fixed number of
// rows below the box).
#pragma once

#include <QProxyStyle>

#include <optional>

namespace tw::toolkit {

class CueStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The property of the top-level window that says whether cues are shown.
    static constexpr const char* kProperty = "keyboardCues";

    CueStyle() = default;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    // Whether `widget`'s window shows the cues; no value outside such a window.
    static std::optional<bool> CuesShown(const QWidget* widget);
};

} // namespace tw::toolkit
