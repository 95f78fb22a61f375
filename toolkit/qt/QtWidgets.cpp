#include "QtWidgets.h"

#include <QCloseEvent>
#include <QPainter>

namespace tw::toolkit {

FormWindow::FormWindow(QWidget* parent) : QWidget(parent) {}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (CloseRequested && !CloseRequested())
        event->ignore();
    else
        event->accept();
}

bool FormWindow::focusNextPrevChild(bool next) {
    if (TabRequested)
        TabRequested(next);
    return true;
}

PictureWidget::PictureWidget(QWidget* parent, const tw::toolkit::Image& image)
    : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void PictureWidget::PictureChanged() {
    painted_ = QImage();
    update();
}

QImage PictureWidget::Painted() const {
    const qreal ratio = devicePixelRatioF();
    const QSize size(qRound(width() * ratio), qRound(height() * ratio));
    if (painted_.size() == size && painted_.devicePixelRatio() == ratio)
        return painted_;
    const Picture picture = image_.PictureAt(size.width(), size.height());
    if (picture.width != size.width() || picture.height != size.height() ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * picture.height) {
        painted_ = QImage();
        return painted_;
    }
    painted_ = QImage(size, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(painted_.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t pixel =
                picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
            row[x] = pixel == Picture::Transparent ? qRgba(0, 0, 0, 0)
                                                   : (0xFF000000u | (pixel & 0xFFFFFFu));
        }
    }
    painted_.setDevicePixelRatio(ratio);
    return painted_;
}

void PictureWidget::paintEvent(QPaintEvent*) {
    const QImage painted = Painted();
    if (painted.isNull())
        return;
    // Drawn pixel for pixel: the picture already has the device's size.
    QPainter(this).drawImage(QPoint(0, 0), painted);
}

LineWidget::LineWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::SetLine(QPoint from, QPoint to, QColor color) {
    from_ = from;
    to_ = to;
    color_ = color;
    update();
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(color_, 1));
    painter.drawLine(from_, to_);
}

ShapeWidget::ShapeWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::SetColors(QColor fill, QColor border) {
    fill_ = fill;
    border_ = border;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    painter.setPen(QPen(border_, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ModelLineEdit::Moved() {
    if (UserMovedSelection)
        UserMovedSelection();
}

void ModelLineEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    Moved();
}

void ModelLineEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    Moved();
}

void ModelLineEdit::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    Moved();
}

void ModelLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    Moved();
}

void ModelLineEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    Moved();
}

} // namespace tw::toolkit
