// The few widgets the Qt window needs beyond the stock ones: the window
// itself, and the graphical controls (image, line, rectangle) that the model
// draws rather than wraps.
#pragma once

#include "toolkit/Controls.h"

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QWidget>

#include <functional>

namespace tw::toolkit {

// The top-level window. Closing it and Tab are the model's business, so both
// are handed to the callbacks instead of being done here.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(QWidget* parent = nullptr);

    // The user asked to close the window; true lets it close.
    std::function<bool()> CloseRequested;
    // Qt asks to move the focus on (Tab) or back (Shift+Tab). Qt also asks
    // when the focused widget is hidden or disabled; the callback tells them
    // apart. The focus itself never moves here.
    std::function<void(bool next)> TabRequested;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

// An image control: its picture drawn for the widget's size in device
// pixels (sharp at every scale), transparent pixels left unpainted.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(QWidget* parent, const tw::toolkit::Image& image);
    // The image's picture changed: drawn anew at the next paint.
    void PictureChanged();
    // The picture as the widget paints it now, in device pixels.
    QImage Painted() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const tw::toolkit::Image& image_;
    mutable QImage painted_;
};

// A line control: a one-pixel line from one corner of the widget to the
// other, in the widget's own coordinates.
class LineWidget : public QWidget {
    Q_OBJECT
public:
    explicit LineWidget(QWidget* parent);
    void SetLine(QPoint from, QPoint to, QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_;
    QPoint to_;
    QColor color_;
};

// A rectangle control: filled with its back colour, framed in its border colour.
class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    explicit ShapeWidget(QWidget* parent);
    void SetColors(QColor fill, QColor border);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QColor border_;
};

// A line edit that tells when Qt has handled a user's key or mouse action
// itself (caret and selection moves), so the model can take over the result.
class ModelLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit ModelLineEdit(QWidget* parent) : QLineEdit(parent) {}
    std::function<void()> UserMovedSelection;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Moved();
};

} // namespace tw::toolkit
