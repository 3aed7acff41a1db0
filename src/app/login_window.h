#pragma once

#include "core/login_exchange.h"

#include <QDialog>
#include <optional>

class QLineEdit;

namespace kvx {

// Asks for the user ID and password; no check is made on either.
class LoginWindow : public QDialog {
    Q_OBJECT
public:
    explicit LoginWindow(QWidget* parent = nullptr);

    Credentials credentials() const;
    // Opens the window afresh ("admin", empty password) and returns what OK took.
    static std::optional<Credentials> ask(QWidget* parent);

private:
    QLineEdit* m_user;
    QLineEdit* m_password;
};

} // namespace kvx
