// The shared suites through the real Qt widgets (offscreen): the user-input
// rules fed with real Qt input events, and what the widgets show.
#include "toolkit/UserInputConformance.h"
#include "toolkit/mirror/MirrorConformance.h"

#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtConvert.h"
#include "toolkit/qt/QtInput.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace tw::toolkit::test {

namespace {

class QtWindow : public WindowUnderTest {
public:
    explicit QtWindow(Form& form) : backend_(form, Options()), input_(backend_) {}
    IUserInput& Input() override { return input_; }
    void Settle() override {
        QCoreApplication::processEvents();
        backend_.Window()->activateWindow();
        QCoreApplication::processEvents();
    }

    std::u16string Caption() override { return ToU16(backend_.Window()->windowTitle()); }
    PixelRect Client() override {
        return {0, 0, backend_.Window()->width(), backend_.Window()->height()};
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
    int Dpi() override { return backend_.Window()->logicalDpiX(); }
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

private:
    static QtBackendOptions Options() {
        QtBackendOptions options;
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        return options;
    }
    QWidget* Of(const Control& control) const { return backend_.WidgetOf(control); }
    template <class W> W* Widget(const Control& control) const {
        return qobject_cast<W*>(Of(control));
    }

    QtBackend backend_;
    QtInput input_;
};

std::unique_ptr<ToolkitUnderTest> MakeQt(Form& form) {
    return std::make_unique<QtWindow>(form);
}

std::unique_ptr<WindowUnderTest> MakeQtWindow(Form& form) {
    return std::make_unique<QtWindow>(form);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Qt, UserInput, ::testing::Values(&MakeQt));
INSTANTIATE_TEST_SUITE_P(Qt, WindowMirror, ::testing::Values(&MakeQtWindow));

} // namespace tw::toolkit::test
