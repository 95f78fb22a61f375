// The test form in the Qt window (offscreen, virtual time), with the probes
// that read back what the widgets show: the shared suites' window
// (QtConformance.cpp) and the fixture of the Qt backend's own tests.
#pragma once

#include "toolkit/mirror/MirrorConformance.h"

#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtConvert.h"
#include "toolkit/qt/QtInput.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tw::toolkit::test {

class QtWindow : public WindowUnderTest {
public:
    explicit QtWindow(Form& form, QtBackendOptions options = {})
        : backend(form, Quiet(std::move(options))), input(backend) {}
    IUserInput& Input() override { return input; }
    void Settle() override {
        QCoreApplication::processEvents();
        backend.Window()->activateWindow();
        QCoreApplication::processEvents();
    }
    std::optional<std::u16string> ClipboardText() override {
        const QMimeData* held = QGuiApplication::clipboard()->mimeData();
        if (held == nullptr || !held->hasText())
            return std::nullopt;
        return ToU16(held->text());
    }
    void CopyImageElsewhere() override {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(image);
    }

    std::u16string Caption() override { return ToU16(backend.Window()->windowTitle()); }
    PixelRect Client() override {
        return {0, 0, backend.Window()->width(), backend.Window()->height()};
    }
    std::u16string Text(const Control& control) override {
        QWidget* widget = Of(control);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return ToU16(edit->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return ToU16(button->text());
        return {};
    }
    std::u16string LabelReads(const Label& label) override {
        return ToU16(Widget<QLabel>(label)->text());
    }
    int CheckState(const Control& control) override {
        auto* button = Widget<QAbstractButton>(control);
        if (auto* box = qobject_cast<QCheckBox*>(button))
            return box->checkState() == Qt::PartiallyChecked ? 2 : box->isChecked() ? 1 : 0;
        return button->isChecked() ? 1 : 0;
    }
    bool Enabled(const Control& control) override { return Of(control)->isEnabled(); }
    bool Visible(const Control& control) override { return Of(control)->isVisible(); }
    bool ReadOnly(const TextBox& box) override { return Widget<QLineEdit>(box)->isReadOnly(); }
    std::u16string ToolTip(const Control& control) override {
        return ToU16(Of(control)->toolTip());
    }
    PixelRect Place(const Control& control) override {
        const QRect r = Of(control)->geometry();
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    int Dpi() override { return backend.Window()->logicalDpiX(); }
    std::vector<std::u16string> Entries(const ComboBox& list) override {
        auto* combo = Widget<QComboBox>(list);
        std::vector<std::u16string> entries;
        for (int i = 0; i < combo->count(); ++i)
            entries.push_back(ToU16(combo->itemText(i)));
        return entries;
    }
    int ListIndex(const ComboBox& list) override { return Widget<QComboBox>(list)->currentIndex(); }
    std::pair<int, int> Selection(const TextBox& box) override {
        auto* edit = Widget<QLineEdit>(box);
        if (!edit->hasSelectedText())
            return {edit->cursorPosition(), edit->cursorPosition()};
        return {edit->selectionStart(), edit->selectionEnd()};
    }
    int StackIndex(const Control& control) override {
        const QWidget* widget = Of(control);
        int index = 0;
        for (const QObject* sibling : widget->parentWidget()->children()) {
            if (sibling == widget)
                return index;
            if (sibling->isWidgetType())
                ++index;
        }
        return -1;
    }
    int OpenedRows(const ComboBox& list) override {
        auto* combo = Widget<QComboBox>(list);
        combo->showPopup();
        QCoreApplication::processEvents();
        const QAbstractItemView* view = combo->view();
        const int rows = view->viewport()->height() / std::max(1, view->sizeHintForRow(0));
        combo->hidePopup();
        return rows;
    }

    QWidget* Of(const Control& control) const { return backend.WidgetOf(control); }
    template <class W> W* Widget(const Control& control) const {
        return qobject_cast<W*>(Of(control));
    }

    QtBackend backend;
    QtInput input;

private:
    static QtBackendOptions Quiet(QtBackendOptions options) {
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        return options;
    }
};

// The test form shown and settled, no event recorded yet; a test that needs
// other options of the window overrides SetUp and calls Open itself.
class QtWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Open({}); }
    void Open(QtBackendOptions options) {
        w = std::make_unique<QtWindow>(t.form, std::move(options));
        t.form.Show();
        w->Settle();
        t.events.clear();
    }

    QWidget* WidgetOf(const Control& control) const { return w->Of(control); }
    template <class W> W* Widget(const Control& control) const {
        return w->template Widget<W>(control);
    }

    TestForm t;
    std::unique_ptr<QtWindow> w;
};

} // namespace tw::toolkit::test
