#pragma once

#include "data/ConnectionFacts.h"

#include <QDialog>
#include <QToolButton>

class QLabel;

namespace realm {
struct Module1;
}

namespace realm::ui {

// A padlock for the status line: closed and green for an encrypted,
// verified connection, closed and amber for encrypted but not verified,
// open for a connection that is not encrypted. A click shows the
// connection's facts.
class ConnectionMark : public QToolButton {
    Q_OBJECT
public:
    ConnectionMark(Module1 &module, QWidget *parent);
    // Shows how the game connection is protected now.
    void refresh();

private:
    Module1 &m_module;
};

// The facts of a connection check for the game server, read on the
// connection's own thread and shown when they come.
class ConnectionFactsDialog : public QDialog {
    Q_OBJECT
public:
    ConnectionFactsDialog(Module1 &module, QWidget *parent);

private:
    void showFacts(const ConnectionFacts &facts);
    void showFailure(const QString &message);

    QLabel *m_facts;
    QString m_server;
};

// How the connection is protected, in a sentence.
QString securityText(const ConnectionSecurity &security);

} // namespace realm::ui
