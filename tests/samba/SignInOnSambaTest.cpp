// tarnwick --connect's sign-in on a real Samba server: the real window (Qt,
// offscreen) and the real sign-in dialog, answered with real keys. A refused
// password is never sent again: the dialog comes back with the refusal, and
// Cancel leaves the window with the error until the next action asks again.
#include "SambaServer.h"

#include "app/FUserInfo.h"
#include "hosts/ProgramVersion.h"
#include "hosts/linux/SignInDialog.h"
#include "hosts/scenario/ScenarioToolkit.h"
#include "platform/TextConvert.h"
#include "platform/linux/LinuxPlatform.h"
#include "toolkit/qt/QtBackend.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace tw::test {
namespace {

std::u16string English(std::u16string_view, std::u16string_view def) {
    return std::u16string(def);
}

// The window on real servers as tarnwick --connect makes it, with the
// dialog's answers given in turn by `answers` each time it shows.
class SignInWindow {
public:
    using Answer = std::function<void(hosts::SignInDialog&)>;

    SignInWindow(samr::SamrConnection connection, std::deque<Answer> answers)
        : servers_(std::move(connection), u""), answers_(std::move(answers)) {
        servers_.net().SetSignIn(hosts::SignInAgain(English, [](win::NET_API_STATUS refusal) {
            return u"refused: " + FromUtf8(std::to_string(refusal));
        }));
        // The dialog runs its own loop: its answer comes from inside it.
        connect(poll_);
        window_ = std::make_unique<app::FUserInfo>(app_, servers_.platform());
        backend_ =
            std::make_unique<toolkit::QtBackend>(window_->Form(), toolkit::QtBackendOptions{});
    }
    ~SignInWindow() { poll_.stop(); }

    app::FUserInfo& window() { return *window_; }
    toolkit::Control& control(const char* name) { return *window_->Form().Find(name); }
    std::u16string status() { return static_cast<toolkit::Label&>(control("lblStatus")).Caption(); }
    const std::vector<std::string>& refusalsShown() const { return refusalsShown_; }

private:
    void connect(QTimer& timer) {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* dialog = dynamic_cast<hosts::SignInDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible() || dialog == answered_)
                return;
            answered_ = dialog;
            refusalsShown_.push_back(dialog->refusalLabel()->isVisible()
                                         ? dialog->refusalLabel()->text().toStdString()
                                         : std::string());
            Answer answer = answers_.empty() ? Answer{} : answers_.front();
            if (!answers_.empty())
                answers_.pop_front();
            if (answer)
                answer(*dialog);
            else
                QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        });
        timer.start();
    }

    lx::LinuxPlatform servers_;
    toolkit::Application app_{hosts::ProgramVersion(), u""};
    std::deque<Answer> answers_;
    QTimer poll_;
    hosts::SignInDialog* answered_ = nullptr;
    std::vector<std::string> refusalsShown_;
    std::unique_ptr<app::FUserInfo> window_;
    std::unique_ptr<toolkit::QtBackend> backend_;
};

SignInWindow::Answer Type(const std::string& password) {
    return [password](hosts::SignInDialog& dialog) {
        QTest::keyClicks(dialog.passwordField(), QString::fromStdString(password));
        QTest::keyClick(dialog.passwordField(), Qt::Key_Return); // OK is the default button
    };
}

class SignInOnSamba : public testing::Test {
protected:
    static void SetUpTestSuite() {
        int argc = 1;
        static char name[] = "tw_samba_tests";
        static char* argv[] = {name, nullptr};
        // The Qt toolkit of the scenarios makes the one QApplication.
        ASSERT_NE(scenario::ToolkitNamed("qt", argc, argv), nullptr);
    }
    void SetUp() override {
        if (QApplication::instance() == nullptr)
            GTEST_SKIP() << "no Qt in this build";
    }
};

TEST_F(SignInOnSamba, AWrongPasswordBringsTheDialogBackAndTheRightOneSignsIn) {
    SambaServer server;
    server.addAccount("alice", "Alice-pw1");
    SignInWindow w(server.connectionAs({}, "wrong"), {Type(SambaServer::kAdminPassword)});
    w.window().Start();
    EXPECT_EQ(w.refusalsShown(), std::vector<std::string>{"refused: 1326"});
    EXPECT_EQ(ToUtf8(w.status()).rfind("Brenholt ", 0), 0u) << ToUtf8(w.status());
    EXPECT_GT(static_cast<toolkit::ComboBox&>(w.control("cbUsername")).ListCount(), 0);
    EXPECT_TRUE(w.window().Form().Enabled());
}

TEST_F(SignInOnSamba, CancelLeavesTheErrorAndTheNextActionAsksAgain) {
    SambaServer server;
    server.addAccount("alice", "Alice-pw1");
    server.setPolicy("bad lockout attempt", 3); // Samba counts bad passwords only then
    SignInWindow w(server.connectionAs("alice", "wrong"), {});
    w.window().Start();
    EXPECT_EQ(w.refusalsShown().size(), 1u);
    EXPECT_EQ(ToUtf8(w.status()), "Error 1326. The user name or password is incorrect.");
    EXPECT_EQ(static_cast<toolkit::ComboBox&>(w.control("cbUsername")).ListCount(), 0);
    EXPECT_EQ(static_cast<toolkit::TextBox&>(w.control("txtMinPwdLen")).Text(), u"");

    w.window().Form().UserClick(w.control("optServer"));
    EXPECT_EQ(w.refusalsShown(), (std::vector<std::string>{"refused: 1326", "refused: 1326"}));
    EXPECT_EQ(ToUtf8(w.status()), "Error 1326. The user name or password is incorrect.");
    EXPECT_EQ(server.badPasswordCount("alice"), 1);
}

} // namespace
} // namespace tw::test
