#pragma once

#include <QPushButton>

#include <vector>

class QMenu;

namespace realm::ui {

// The main window's choice of the game servers its searches read: a
// button whose menu ticks one, several or all of them. At least one stays
// ticked; the choice is remembered between runs by the servers' names.
class ServerChooser : public QPushButton {
    Q_OBJECT
public:
    ServerChooser(QStringList serverNames, QWidget *parent);

    // Positions in the list of servers, in its order.
    std::vector<std::size_t> chosen() const;

private:
    void tickAll();
    void ticked();
    void remember() const;
    void showChoice();

    QStringList m_names;
    QMenu *m_menu;
    QList<QAction *> m_servers;
};

} // namespace realm::ui
