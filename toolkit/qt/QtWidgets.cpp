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

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void PictureWidget::SetPicture(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * picture.height) {
        image_ = QImage();
    } else {
        image_ = QImage(picture.width, picture.height, QImage::Format_ARGB32);
        for (int y = 0; y < picture.height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = 0; x < picture.width; ++x) {
                const std::uint32_t pixel =
                    picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
                row[x] = pixel == Picture::Transparent ? qRgba(0, 0, 0, 0)
                                                       : (0xFF000000u | (pixel & 0xFFFFFFu));
            }
        }
    }
    update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter painter(this);
    // Small icons stay sharp when scaled: no smoothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), image_);
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
