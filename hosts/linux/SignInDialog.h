// The sign-in dialog of tarnwick --connect: user, domain, a masked password
// and whether to sign in with Kerberos, OK and Cancel, in the language
// file's texts.
#pragma once

#include "platform/samr/SamrConnection.h"
#include "platform/samr/SamrNetApi.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tw::hosts {

// The text of a key of the language file, or the English default given.
using TextOf = std::function<std::u16string(std::u16string_view key, std::u16string_view def)>;

class SignInDialog : public QDialog {
public:
    // Filled with the connection's user and domain; `server` names where the
    // administrator signs in; `refusal`, when not empty, says why the server
    // refused the credentials given last.
    SignInDialog(const samr::SamrConnection& connection, const std::string& server,
                 const TextOf& text, const std::u16string& refusal = {});
    ~SignInDialog() override;

    // After OK: the user, the domain, the password and the Kerberos choice
    // into `connection`; the dialog's own copy of the password is wiped.
    void TakeCredentials(samr::SamrConnection& connection);

    QLineEdit* userField() const { return user_; }
    QLineEdit* domainField() const { return domain_; }
    QLineEdit* passwordField() const { return password_; }
    QCheckBox* kerberosBox() const { return kerberos_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The refusal's text; hidden when there is none.
    QLabel* refusalLabel() const { return refusal_; }

private:
    void wipePassword();

    QLineEdit* user_;
    QLineEdit* domain_;
    QLineEdit* password_;
    QCheckBox* kerberos_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QLabel* refusal_;
};

// Shows the dialog and waits: true with the credentials taken after OK,
// false after Cancel (or closing it).
bool SignIn(samr::SamrConnection& connection, const std::string& server, const TextOf& text,
            const std::u16string& refusal = {});

// What a SAMR backend asks when a server refused the credentials: the dialog
// again, with the refusal as the window's status line words it.
samr::SamrNetApi::SignIn SignInAgain(TextOf text,
                                     std::function<std::u16string(win::NET_API_STATUS)> errorText);

} // namespace tw::hosts
