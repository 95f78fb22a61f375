#include "SignInDialog.h"

#include "platform/TextConvert.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace tw::hosts {

namespace {

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

SignInDialog::SignInDialog(const samr::SamrConnection& connection, const std::string& server,
                           const TextOf& text, const std::u16string& refusal)
    : user_(new QLineEdit(QString::fromStdString(connection.user))),
      domain_(new QLineEdit(QString::fromStdString(connection.domain))), password_(new QLineEdit),
      kerberos_(new QCheckBox), ok_(new QPushButton), cancel_(new QPushButton),
      refusal_(new QLabel(Q(refusal))) {
    setWindowTitle(Q(text(u"SignIn.Caption", u"Sign In")));
    password_->setEchoMode(QLineEdit::Password);
    std::u16string introText = text(u"SignIn.Intro", u"Sign in to manage the accounts of %1");
    if (const auto at = introText.find(u"%1"); at != std::u16string::npos)
        introText.replace(at, 2, FromUtf8(server));
    auto* intro = new QLabel(Q(introText));
    auto* form = new QFormLayout;
    auto addRow = [&](std::u16string_view key, std::u16string_view def, QLineEdit* field) {
        auto* label = new QLabel(Q(text(key, def)));
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(u"SignIn.User", u"&User name:", user_);
    addRow(u"SignIn.Domain", u"&Domain:", domain_);
    addRow(u"SignIn.Password", u"&Password:", password_);
    // The password makes a Kerberos ticket in memory; the server must then
    // be named by its name, not its address.
    kerberos_->setText(Q(text(u"SignIn.Kerberos", u"Use &Kerberos")));
    kerberos_->setChecked(connection.kerberos);
    form->addRow(kerberos_);
    ok_->setText(Q(text(u"SignIn.OK", u"OK")));
    cancel_->setText(Q(text(u"SignIn.Cancel", u"Cancel")));
    ok_->setDefault(true);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(ok_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel_, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refusal_->setWordWrap(true);
    refusal_->setVisible(!refusal.empty());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(refusal_);
    layout->addLayout(form);
    layout->addWidget(buttons);
    (user_->text().isEmpty() ? user_ : password_)->setFocus();
}

SignInDialog::~SignInDialog() {
    wipePassword();
}

void SignInDialog::wipePassword() {
    QString text = password_->text();
    text.fill(QChar(u'\0'));
    password_->setText(text);
    password_->clear();
}

void SignInDialog::TakeCredentials(samr::SamrConnection& connection) {
    // A domain written with the name ("CORP\\alice") wins over the field.
    connection.domain = domain_->text().toStdString();
    // A field's text is always UTF-8 here, and a line edit takes no NUL.
    (void)samr::SetUser(connection, user_->text().toStdString());
    QByteArray password = password_->text().toUtf8();
    connection.password.Assign(
        std::string_view(password.constData(), static_cast<std::size_t>(password.size())));
    connection.hasPassword = true;
    connection.kerberos = kerberos_->isChecked();
    password.fill('\0');
    wipePassword();
}

bool SignIn(samr::SamrConnection& connection, const std::string& server, const TextOf& text,
            const std::u16string& refusal) {
    SignInDialog dialog(connection, server, text, refusal);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.TakeCredentials(connection);
    return true;
}

samr::SamrNetApi::SignIn SignInAgain(TextOf text,
                                     std::function<std::u16string(win::NET_API_STATUS)> errorText) {
    return [text = std::move(text), errorText = std::move(errorText)](
               samr::SamrConnection& connection, const std::string& host,
               win::NET_API_STATUS refusal) {
        bool signedIn = false;
        auto ask = [&] { signedIn = SignIn(connection, host, text, errorText(refusal)); };
        // The call that needs it runs off the window's thread; the dialog
        // belongs on it, and that thread waits for the call meanwhile.
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            ask();
        else
            QMetaObject::invokeMethod(QCoreApplication::instance(), ask,
                                      Qt::BlockingQueuedConnection);
        return signedIn;
    };
}

} // namespace tw::hosts
