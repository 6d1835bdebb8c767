#pragma once

#include "data/ConnectionFacts.h"

#include <QDialog>
#include <QToolButton>

#include <functional>
#include <vector>

class QLabel;

namespace realm {
struct Module1;
}

namespace realm::ui {

// The game servers the window searches, as positions in Module1::servers.
using ChosenServers = std::function<std::vector<std::size_t>()>;

// A padlock for the status line: closed and green when the chosen servers'
// connections are encrypted and verified, closed and amber when encrypted
// but not all verified, open when one is not encrypted. A click shows
// their facts.
class ConnectionMark : public QToolButton {
    Q_OBJECT
public:
    ConnectionMark(Module1 &module, ChosenServers chosen, QWidget *parent);
    // Shows how the chosen servers' connections are protected now.
    void refresh();

private:
    Module1 &m_module;
    ChosenServers m_chosen;
};

// The facts of a connection check for each of `servers`, read on each
// connection's own thread and shown as they come.
class ConnectionFactsDialog : public QDialog {
    Q_OBJECT
public:
    ConnectionFactsDialog(Module1 &module, const std::vector<std::size_t> &servers, QWidget *parent);

private:
    void checkServer(Module1 &module, std::size_t server);
};

// How the connection is protected, in a sentence.
QString securityText(const ConnectionSecurity &security);

} // namespace realm::ui
