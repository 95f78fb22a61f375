#include "QtConvert.h"

#include <QFontDatabase>

#include <cmath>

namespace tw::toolkit {

int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QPalette::ColorRole SystemColorRole(unsigned index) {
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 6:  // window frame
    case 21: // 3-D dark shadow
        return QPalette::Shadow;
    case 7:  // menu text
    case 9:  // caption text
    case 18: // button text
        return QPalette::ButtonText;
    case 8: // window text
        return QPalette::Text;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Dark;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 20: // button highlight
        return QPalette::Light;
    case 22: // 3-D light
        return QPalette::Midlight;
    case 23: // tool tip text
        return QPalette::ToolTipText;
    case 24: // tool tip background
        return QPalette::ToolTipBase;
    case 15: // button face
    default:
        return QPalette::Button;
    }
}

QColor ResolveColor(Color color, const QPalette& palette) {
    if (IsSystemColor(color))
        return palette.color(QPalette::Active, SystemColorRole(color & 0xFFu));
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

namespace {

// The first installed family of a list, else the system's general font.
QString SansSerifFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* name : {"Liberation Sans", "Arimo", "DejaVu Sans", "Noto Sans"}) {
            if (installed.contains(QString::fromLatin1(name)))
                return QString::fromLatin1(name);
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

bool IsWindowsSansFace(const QString& name) {
    static const char* const faces[] = {
        "MS Shell Dlg 2", "MS Shell Dlg", "MS Sans Serif", "Microsoft Sans Serif",
        "Arial",          "Tahoma",       "Segoe UI",      "Verdana"};
    for (const char* face : faces) {
        if (name.compare(QString::fromLatin1(face), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QFont ToQFont(const Font& font) {
    const QString name = ToQString(font.Name);
    QFont result(name.isEmpty() || IsWindowsSansFace(name) ? SansSerifFamily() : name);
    result.setStyleHint(QFont::SansSerif);
    result.setPointSizeF(font.Size > 0 ? font.Size : 8.25);
    result.setBold(font.Bold);
    return result;
}

} // namespace tw::toolkit
