// The real window through the Qt widgets, at the scale the environment gives
// (QT_SCALE_FACTOR, QT_FONT_DPI; ctest runs this at several): every caption
// fits its box when measured with the widget's own font, in English and with
// the German language file the program ships with, no two controls overlap,
// and what assistive technology reads of the status line and the spinner.
// Real keys in a numeric field: scenarios/fields/editing-commands.json.
#include "app/FUserInfo.h"
#include "controls/PlusMinusGlyph.h"
#include "hosts/ProgramVersion.h"
#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"
#include "toolkit/UserControl.h"
#include "toolkit/qt/QtBackend.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tw {

namespace {

using nlohmann::json;
using toolkit::Control;
using toolkit::ControlKind;

struct Language {
    const char* name;
    const char* languageFile; // under resources/languages, or none
};

void PrintTo(const Language& language, std::ostream* out) {
    *out << language.name;
}

// The window, started on a computer whose accounts and policy fill every
// field, in English or with a language file.
class QtWindow : public ::testing::Test {
protected:
    void Open(const char* languageFile) {
        json machine = {{"system", {{"userName", "alice"}, {"computerName", "WS01"}}},
                        {"computers",
                         {{"WS01",
                           {{"accounts", {{{"name", "alice"}, {"lastLogon", 1700000000}}}},
                            {"policy", {{"maxPwdAge", 3628800}, {"lockoutDuration", 1800}}}}}}}};
        if (languageFile != nullptr) {
            std::ifstream file(std::string(TW_SOURCE_DIR) + "/resources/languages/" + languageFile,
                               std::ios::binary);
            EXPECT_TRUE(file) << "cannot read " << languageFile;
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            machine["system"]["uiLanguage"] = 1031;
            machine["languageFile"] = {
                {"name", languageFile},
                {"bytes", std::vector<unsigned char>(bytes.begin(), bytes.end())}};
        }
        sim_ = std::make_unique<sim::SimPlatform>(sim::loadMachine(machine));
        app_ = std::make_unique<toolkit::Application>(hosts::ProgramVersion(),
                                                      sim_->machine().system.executableFolder);
        window_ = std::make_unique<app::FUserInfo>(*app_, sim_->platform());
        toolkit::QtBackendOptions options;
        options.interactiveMessageBoxes = false;
        options.virtualTime = true;
        backend_ = std::make_unique<toolkit::QtBackend>(window_->Form(), options);
        window_->Start();
    }

    QWidget* WidgetOf(const Control& control) const { return backend_->WidgetOf(control); }
    Control& Named(const std::string& name) const {
        Control* control = window_->Form().Find(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }

    std::unique_ptr<sim::SimPlatform> sim_;
    std::unique_ptr<toolkit::Application> app_;
    std::unique_ptr<app::FUserInfo> window_;
    std::unique_ptr<toolkit::QtBackend> backend_;
};

class QtWindowTexts : public QtWindow, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override { Open(GetParam().languageFile); }
};

// What is left of a check box's or option button's width for its text, after
// the indicator and the gap the style puts before the text.
int TextRoomOf(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const bool check = qobject_cast<const QCheckBox*>(&button) != nullptr;
    const QRect text = button.style()->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, &button);
    return text.width();
}

// Why the control's text does not fit its box; empty when it fits.
std::string Clipping(const Control& control, QWidget* widget) {
    const QFontMetricsF metrics(widget->font());
    const QString name = QString::fromStdString(control.Name());
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString text = label->text();
        if (text.isEmpty())
            return {};
        // Wrapped at word boundaries into the label's width, as it is shown.
        const QRectF needed =
            metrics.boundingRect(QRectF(0, 0, label->contentsRect().width(), 1e6),
                                 Qt::TextWordWrap | int(label->alignment()), text);
        if (needed.width() > label->contentsRect().width() + 0.5 ||
            needed.height() > label->contentsRect().height() + 0.5)
            return (name + ": \"" + text + "\" needs " + QString::number(needed.width()) + "x" +
                    QString::number(needed.height()) + ", has " +
                    QString::number(label->contentsRect().width()) + "x" +
                    QString::number(label->contentsRect().height()))
                .toStdString();
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString text = button->text();
        const double needed = metrics.horizontalAdvance(text);
        const int room = qobject_cast<QPushButton*>(widget) != nullptr
                             ? widget->width() - 2 * widget->style()->pixelMetric(
                                                         QStyle::PM_ButtonMargin, nullptr, widget)
                             : TextRoomOf(*button);
        if (needed > room || metrics.height() > widget->height())
            return (name + ": \"" + text + "\" needs " + QString::number(needed) + "x" +
                    QString::number(metrics.height()) + ", has " + QString::number(room) + "x" +
                    QString::number(widget->height()))
                .toStdString();
    }
    return {};
}

TEST_P(QtWindowTexts, TheWindowKeepsItsSizeAndIsDrawnAtTheScaleOfItsScreen) {
    // 9300 x 6300 twips at 96 device-independent pixels per inch, at every scale.
    EXPECT_EQ(backend_->Window()->size(), QSize(620, 420));
    // The scale asked for, or the screen's DPI over the 96 of scale 1.
    double expected = 1.0;
    if (const QByteArray scale = qgetenv("QT_SCALE_FACTOR"); !scale.isEmpty())
        expected = scale.toDouble();
    else if (const QByteArray dpi = qgetenv("QT_FONT_DPI"); !dpi.isEmpty())
        expected = dpi.toDouble() / 96.0;
    EXPECT_DOUBLE_EQ(backend_->Window()->devicePixelRatioF(), expected);
}

TEST_P(QtWindowTexts, EveryCaptionFitsItsBox) {
    std::vector<std::string> clipped;
    for (const auto& control : window_->Form().Controls()) {
        QWidget* widget = WidgetOf(*control);
        if (widget == nullptr || control->Name() == "lblStatus")
            continue; // the status line shows whatever the last call said
        if (std::string why = Clipping(*control, widget); !why.empty())
            clipped.push_back(why);
    }
    EXPECT_TRUE(clipped.empty()) << ::testing::PrintToString(clipped);
}

TEST_P(QtWindowTexts, NoTwoControlsOverlap) {
    // The controls a user reads or uses; the panes, lines and the spinner lie
    // behind them by design.
    std::vector<const Control*> shown;
    for (const auto& control : window_->Form().Controls()) {
        const ControlKind kind = control->Kind();
        if (kind != ControlKind::Shape && kind != ControlKind::Line &&
            kind != ControlKind::UserControl && kind != ControlKind::Timer &&
            WidgetOf(*control) != nullptr)
            shown.push_back(control.get());
    }
    std::vector<std::string> overlaps;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            if (WidgetOf(*shown[i])->geometry().intersects(WidgetOf(*shown[j])->geometry()))
                overlaps.push_back(shown[i]->Name() + " and " + shown[j]->Name());
        }
    }
    EXPECT_TRUE(overlaps.empty()) << ::testing::PrintToString(overlaps);
}

// Qt hands accessibility events on only while a screen reader listens, which
// no platform without a display has: the event itself is checked on Windows.
TEST_F(QtWindow, TheStatusLineIsAStatusBarThatReadsItsNewText) {
    Open(nullptr);
    auto& status = static_cast<toolkit::Label&>(Named("lblStatus"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(WidgetOf(status));
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::StatusBar);
    status.SetCaption(u"Error 5. Access is denied.");
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Error 5. Access is denied."));
    // An ordinary label stays static text.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(WidgetOf(Named("lblUsername")))->role(),
              QAccessible::StaticText);
}

TEST_F(QtWindow, TheSpinnersImagesAreButtonsThatAScreenReaderCanPress) {
    Open(nullptr);
    auto& field = static_cast<toolkit::TextBox&>(Named("txtMaxPwdAge"));
    ASSERT_TRUE(window_->Form().UserFocus(field));
    const std::u16string before = field.Text();
    auto& spinner = static_cast<toolkit::UserControl&>(Named("ctlPlusMinus"));
    for (const auto& part : spinner.Parts()) {
        if (part->Kind() != ControlKind::Image)
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(WidgetOf(*part));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::Button) << part->Name();
        ASSERT_NE(accessible->actionInterface(), nullptr);
        EXPECT_EQ(accessible->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
    }
    QAccessibleInterface* plus =
        QAccessible::queryAccessibleInterface(WidgetOf(*spinner.FindPart("imgPlus")));
    EXPECT_EQ(plus->text(QAccessible::Name), QStringLiteral("Increase"));
    plus->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(field.Text(), u"43") << "was " << ToUtf8(before);
}

TEST_P(QtWindowTexts, TheSpinnersImagesAreDrawnForTheScreensPixels) {
    auto& field = static_cast<toolkit::TextBox&>(Named("txtMaxPwdAge"));
    ASSERT_TRUE(window_->Form().UserFocus(field));
    auto& spinner = static_cast<toolkit::UserControl&>(Named("ctlPlusMinus"));
    const std::pair<const char*, controls::PlusMinusGlyph> images[] = {
        {"imgMinus", controls::PlusMinusGlyph::Minus}, {"imgPlus", controls::PlusMinusGlyph::Plus}};
    for (const auto& [name, glyph] : images) {
        QWidget* widget = WidgetOf(*spinner.FindPart(name));
        // What the screen shows of the image, in device pixels.
        const QImage shown = widget->grab().toImage();
        const toolkit::Picture drawn =
            controls::DrawPlusMinusGlyph(glyph, shown.width(), shown.height());
        const qreal ratio = widget->devicePixelRatioF();
        EXPECT_EQ(shown.size(),
                  QSize(qRound(widget->width() * ratio), qRound(widget->height() * ratio)));
        int wrong = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const std::uint32_t pixel =
                    drawn.pixels[static_cast<std::size_t>(y) * drawn.width + x];
                if (pixel != toolkit::Picture::Transparent &&
                    shown.pixelColor(x, y) != QColor(QRgb(pixel)))
                    ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << name << " at " << shown.width() << "x" << shown.height();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, QtWindowTexts,
                         ::testing::Values(Language{"English", nullptr},
                                           Language{"German", "1031.loc"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace tw
