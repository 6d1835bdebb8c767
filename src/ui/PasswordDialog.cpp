#include "ui/PasswordDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QThread>
#include <QVBoxLayout>

namespace realm::ui {

PasswordDialog::PasswordDialog(const PasswordQuestion &question, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(tr("游戏服务器的密码"));
    setMinimumWidth(420);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("服务器 %1（%2）\n登录名 %3").arg(question.serverName, question.server, question.userId), this));
    if (question.refused) {
        auto *refused = new QLabel(tr("服务器拒绝了这个密码，请再输入一次。"), this);
        refused->setObjectName(QStringLiteral("RefusedLabel"));
        layout->addWidget(refused);
    }
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("PasswordBox"));
    m_password->setEchoMode(QLineEdit::Password);
    layout->addWidget(m_password);
    m_remember = new QCheckBox(tr("记在系统密钥环中"), this);
    m_remember->setObjectName(QStringLiteral("RememberBox"));
    m_remember->setChecked(question.keyringAvailable);
    m_remember->setEnabled(question.keyringAvailable);
    layout->addWidget(m_remember);
    if (!question.keyringAvailable) {
        auto *why = new QLabel(question.keyringProblem.isEmpty() ? tr("没有可用的系统密钥环：每次启动都要输入密码。") : question.keyringProblem + u'\n' + tr("每次启动都要输入密码，它不会写进任何文件。"),
                               this);
        why->setWordWrap(true);
        layout->addWidget(why);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PasswordAnswer PasswordDialog::answer() const
{
    return {m_password->text(), m_remember->isChecked()};
}

namespace {

std::optional<PasswordAnswer> askInDialog(const PasswordQuestion &question)
{
    PasswordDialog dialog(question);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}

} // namespace

void askPasswordsInDialogs()
{
    // A server that connects on its first search asks from its own thread:
    // the dialog opens on the window thread, one at a time, while the
    // server's thread waits for the answer.
    setPasswordPrompt([](const PasswordQuestion &question) -> std::optional<PasswordAnswer> {
        if (QThread::currentThread() == qApp->thread())
            return askInDialog(question);
        static QMutex oneAtATime;
        const QMutexLocker lock(&oneAtATime);
        std::optional<PasswordAnswer> answer;
        QMetaObject::invokeMethod(
            qApp, [&] { answer = askInDialog(question); }, Qt::BlockingQueuedConnection);
        return answer;
    });
}

} // namespace realm::ui
