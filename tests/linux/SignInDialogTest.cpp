// The sign-in dialog of tarnwick --connect, driven by real widget events on
// Qt's offscreen platform.
#include "hosts/linux/SignInDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

namespace tw::hosts {
namespace {

// German texts, as a language file would give them.
std::u16string German(std::u16string_view key, std::u16string_view def) {
    const std::map<std::u16string_view, std::u16string_view> texts = {
        {u"SignIn.OK", u"Anmelden"},
        {u"SignIn.Intro", u"Anmelden bei %1"},
        {u"SignIn.Kerberos", u"Ke&rberos verwenden"}};
    return std::u16string(texts.contains(key) ? texts.at(key) : def);
}

TEST(SignInDialog, TypedCredentialsAreTakenAndTheDialogsCopyWiped) {
    samr::SamrConnection connection;
    samr::SetUser(connection, "LAB\\admin");
    SignInDialog dialog(connection, "dc1.lab", German);
    dialog.show();
    EXPECT_EQ(dialog.userField()->text(), "admin");
    EXPECT_EQ(dialog.domainField()->text(), "LAB");
    EXPECT_EQ(dialog.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.okButton()->text(), "Anmelden");
    EXPECT_EQ(dialog.findChild<QLabel*>()->text(), "Anmelden bei dc1.lab");
    EXPECT_EQ(dialog.kerberosBox()->text(), "Ke&rberos verwenden");
    EXPECT_FALSE(dialog.kerberosBox()->isChecked());
    QTest::keyClicks(dialog.passwordField(), "s3cret!");
    QTest::mouseClick(dialog.kerberosBox(), Qt::LeftButton);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.TakeCredentials(connection);
    EXPECT_EQ(connection.user, "admin");
    EXPECT_EQ(connection.domain, "LAB");
    EXPECT_EQ(connection.password.View(), "s3cret!");
    EXPECT_TRUE(connection.kerberos);
    EXPECT_TRUE(connection.HasCredentials());
    EXPECT_TRUE(dialog.passwordField()->text().isEmpty());
}

// SignIn waits in the dialog's own loop: what is typed there comes from
// inside it. Cancel takes nothing; Enter in the password signs in.
TEST(SignInDialog, CancelTakesNothingAndEnterInThePasswordSignsIn) {
    for (const bool cancel : {true, false}) {
        samr::SamrConnection connection;
        QTimer::singleShot(0, [cancel] {
            auto* dialog = dynamic_cast<SignInDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QTest::keyClicks(dialog->userField(), "CORP\\alice");
            QTest::keyClicks(dialog->passwordField(), "pw");
            if (cancel)
                QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
            else
                QTest::keyClick(dialog->passwordField(), Qt::Key_Return);
        });
        EXPECT_EQ(SignIn(connection, "127.0.0.1", German), !cancel);
        EXPECT_EQ(connection.user, cancel ? "" : "alice");
        EXPECT_EQ(connection.domain, cancel ? "" : "CORP");
        EXPECT_EQ(connection.HasCredentials(), !cancel);
    }
}

} // namespace
} // namespace tw::hosts
