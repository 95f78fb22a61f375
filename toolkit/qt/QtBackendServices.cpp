// QtBackend: the application services (pointer, messages, message box, beep,
// long dates, end), the clipboard and the close of the window.
#include "QtBackend.h"

#include "QtConvert.h"
#include "QtWidgets.h"
#include "toolkit/DateFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

#include <exception>
#include <thread>

namespace tw::toolkit {

bool QtBackend::CloseRequested() {
    if (ending_)
        return true;
    form_.UserClose();
    // Closed for good once the model has hidden it: Qt may then end the event loop.
    return !form_.Visible();
}

std::optional<std::u16string> QtBackend::ClipboardText() {
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    if (held == nullptr || !held->hasText())
        return std::nullopt;
    return ToU16(held->text());
}

void QtBackend::SetClipboardText(const std::u16string& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

void QtBackend::ShowMousePointer(MousePointer pointer) {
    const bool wait = pointer == MousePointer::Hourglass;
    if (wait == waitCursor_)
        return;
    waitCursor_ = wait;
    if (wait)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void QtBackend::DoEvents() {
    FlushListItems();
    QCoreApplication::processEvents();
}

void QtBackend::WaitForCall(const std::function<void()>& call) {
    FlushListItems();
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it ends the loop even when the call returned before it began.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Every event, input included: the disabled window drops what it is sent.
    loop.exec();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

std::int64_t QtBackend::Milliseconds() {
    return options_.virtualTime ? clock_.Now() : IAppBackend::Milliseconds();
}

void QtBackend::ShowMessageBox(const MessageBoxRecord& box) {
    if (!options_.interactiveMessageBoxes)
        return;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (box.Style & 0x70) {
    case 16:
        icon = QMessageBox::Critical;
        break;
    case 32:
        icon = QMessageBox::Question;
        break;
    case 48:
        icon = QMessageBox::Warning;
        break;
    case 64:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox message(icon, ToQString(box.Title), ToQString(box.Text), QMessageBox::Ok,
                        window_->isVisible() ? window_.get() : nullptr);
    message.exec();
}

void QtBackend::Beep() {
    QApplication::beep();
}

std::u16string QtBackend::FormatLongDate(double serial) {
    return FormatDatePicture(serial, options_.longDatePicture);
}

void QtBackend::End() {
    MirrorScope scope(*this);
    ending_ = true;
    for (auto& [timer, qtimer] : timers_)
        qtimer->stop();
    window_->close();
    // Queued, so an End before the event loop runs still ends it once it starts.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

} // namespace tw::toolkit
