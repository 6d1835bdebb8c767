#include "ui/main/ServerChooser.h"

#include "ui/UserSettings.h"

#include <QMenu>
#include <QSettings>

namespace realm::ui {

namespace {

const QString ChoiceKey = QStringLiteral("Form1/servers");

} // namespace

ServerChooser::ServerChooser(QStringList serverNames, QWidget *parent)
    : QPushButton(parent), m_names(std::move(serverNames)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("ServerChooser"));
    QAction *all = m_menu->addAction(tr("全部服务器"));
    connect(all, &QAction::triggered, this, [this] { tickAll(); });
    m_menu->addSeparator();
    const auto settings = openUserSettings();
    const QStringList remembered = settings ? settings->value(ChoiceKey).toStringList() : QStringList();
    for (const QString &name : m_names) {
        QAction *server = m_menu->addAction(name);
        server->setCheckable(true);
        server->setChecked(remembered.isEmpty() || remembered.contains(name));
        connect(server, &QAction::toggled, this, &ServerChooser::ticked);
        m_servers << server;
    }
    if (chosen().empty())
        tickAll();
    setMenu(m_menu);
    showChoice();
}

std::vector<std::size_t> ServerChooser::chosen() const
{
    std::vector<std::size_t> positions;
    for (qsizetype server = 0; server < m_servers.size(); ++server) {
        if (m_servers[server]->isChecked())
            positions.push_back(std::size_t(server));
    }
    return positions;
}

void ServerChooser::tickAll()
{
    for (QAction *server : std::as_const(m_servers)) {
        const QSignalBlocker quiet(server);
        server->setChecked(true);
    }
    remember();
    showChoice();
}

// Taking the last tick away would leave nothing to search.
void ServerChooser::ticked()
{
    if (chosen().empty()) {
        auto *server = qobject_cast<QAction *>(sender());
        const QSignalBlocker quiet(server);
        server->setChecked(true);
    }
    remember();
    showChoice();
}

void ServerChooser::remember() const
{
    QStringList names;
    for (const std::size_t server : chosen())
        names << m_names[qsizetype(server)];
    if (const auto settings = openUserSettings())
        settings->setValue(ChoiceKey, names);
}

void ServerChooser::showChoice()
{
    const std::vector<std::size_t> servers = chosen();
    QStringList names;
    for (const std::size_t server : servers)
        names << m_names[qsizetype(server)];
    const QString choice = servers.size() == std::size_t(m_names.size()) ? tr("全部") : names.join(tr("、"));
    setText(tr("服务器：%1").arg(choice));
    setToolTip(names.join(tr("、")));
}

} // namespace realm::ui
