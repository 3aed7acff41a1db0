#include "login_window.h"

#include "core/qt_text.h"
#include "ui/widget_setup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kvx {

LoginWindow::LoginWindow(QWidget* parent)
    : QDialog(parent)
    , m_user(new QLineEdit(QStringLiteral("admin"), this))
    , m_password(new QLineEdit(this)) {
    setObjectName(QStringLiteral("loginWindow"));
    setWindowTitle(tr("Login"));
    setModal(true);

    m_user->setObjectName(QStringLiteral("userIdEdit"));
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    keepToOneLine(m_user);
    keepToOneLine(m_password);
    QLabel* userLabel = labelFor(tr("UserID"), m_user, this);
    QLabel* passwordLabel = labelFor(tr("Password"), m_password, this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("okButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(userLabel, m_user);
    form->addRow(passwordLabel, m_password);
    form->addRow(buttons);
    m_password->setFocus();
}

Credentials LoginWindow::credentials() const {
    return {toStd(m_user->text()), toStd(m_password->text())};
}

std::optional<Credentials> LoginWindow::ask(QWidget* parent) {
    LoginWindow window(parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.credentials();
}

} // namespace kvx
