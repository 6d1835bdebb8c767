#pragma once

#include "startup/ServerPassword.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace realm::ui {

// Asks for a game server's password, naming the server and the login, with
// a choice to remember it in the system keyring (unavailable, and saying
// why, when there is no keyring).
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(const PasswordQuestion &question, QWidget *parent = nullptr);

    PasswordAnswer answer() const;

private:
    QLineEdit *m_password;
    QCheckBox *m_remember;
};

// Makes the windows' start-up ask with the dialog.
void askPasswordsInDialogs();

} // namespace realm::ui
