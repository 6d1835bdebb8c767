#include "ui/ConnectionFacts.h"

#include "data/DataError.h"
#include "data/Module1.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>

#include <optional>

namespace realm::ui {

namespace {

QIcon padlock(const QColor &color, bool closed)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 4));
    // An open padlock's shackle stands up out of its body on one side.
    painter.drawArc(QRectF(8, closed ? 3 : -3, 16, 18), 0, 180 * 16);
    painter.drawLine(QPointF(24, closed ? 12 : 6), QPointF(24, 15));
    if (closed)
        painter.drawLine(QPointF(8, 12), QPointF(8, 15));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(4, 14, 24, 16), 3, 3);
    return QIcon(pixmap);
}

QString factsText(const ConnectionFacts &facts, const QString &server)
{
    const QList<std::pair<QString, QString>> rows = {
        {ConnectionFactsDialog::tr("服务器"), server},
        {ConnectionFactsDialog::tr("TDS 版本"), facts.tdsVersion},
        {ConnectionFactsDialog::tr("服务器版本"), facts.serverVersion},
        {ConnectionFactsDialog::tr("加密"), securityText(facts.security)},
        {ConnectionFactsDialog::tr("排序规则"), facts.collation},
        {ConnectionFactsDialog::tr("往返时间"), ConnectionFactsDialog::tr("%1 毫秒").arg(facts.roundTrip.count())},
    };
    QString text;
    for (const auto &[name, value] : rows)
        text += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(name.toHtmlEscaped(), value.toHtmlEscaped());
    return QStringLiteral("<table cellspacing=4>%1</table>").arg(text);
}

std::shared_ptr<Connection> connectionOf(const Module1 &module, std::size_t server)
{
    return server == 0 ? module.gameConn : module.servers.at(server).connection;
}

QString serverName(const Module1 &module, std::size_t server)
{
    return server < module.servers.size() ? module.servers[server].settings.displayName : QString();
}

// The weakest protection among the servers' connections.
ConnectionSecurity weakestOf(const Module1 &module, const std::vector<std::size_t> &servers)
{
    std::optional<ConnectionSecurity> weakest;
    for (const std::size_t server : servers) {
        const std::shared_ptr<Connection> connection = connectionOf(module, server);
        const ConnectionSecurity security = connection ? connection->security() : ConnectionSecurity{};
        const auto rank = [](const ConnectionSecurity &protection) { return int(protection.encrypted()) + int(protection.verified()); };
        if (!weakest || rank(security) < rank(*weakest))
            weakest = security;
    }
    return weakest.value_or(ConnectionSecurity{});
}

} // namespace

QString securityText(const ConnectionSecurity &security)
{
    switch (security.offer) {
    case ServerOffer::Full:
        if (security.verified())
            return ConnectionFactsDialog::tr("已加密，证书已验证（按 %1）").arg(security.caFile);
        return ConnectionFactsDialog::tr("已加密，证书未验证（没有设置 cafile）");
    case ServerOffer::LoginOnly:
        return ConnectionFactsDialog::tr("只加密了登录数据包");
    case ServerOffer::Unreachable:
        return ConnectionFactsDialog::tr("由 ODBC 驱动程序决定（程序没能查看服务器的回答）");
    case ServerOffer::NoTls:
        break;
    }
    return ConnectionFactsDialog::tr("未加密");
}

ConnectionMark::ConnectionMark(Module1 &module, ChosenServers chosen, QWidget *parent)
    : QToolButton(parent), m_module(module), m_chosen(std::move(chosen))
{
    setObjectName(QStringLiteral("ConnectionMark"));
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        auto *dialog = new ConnectionFactsDialog(m_module, m_chosen(), window());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->QDialog::show();
        refresh();
    });
}

void ConnectionMark::refresh()
{
    const std::vector<std::size_t> servers = m_chosen();
    const ConnectionSecurity security = weakestOf(m_module, servers);
    if (security.verified())
        setIcon(padlock(QColor(0x2e, 0x7d, 0x32), true));
    else if (security.encrypted())
        setIcon(padlock(QColor(0xef, 0x8f, 0x00), true));
    else
        setIcon(padlock(QColor(0x75, 0x75, 0x75), false));
    QString tip;
    for (const std::size_t server : servers) {
        const std::shared_ptr<Connection> connection = connectionOf(m_module, server);
        const QString text = securityText(connection ? connection->security() : ConnectionSecurity{});
        tip += (servers.size() > 1 ? serverName(m_module, server) + QStringLiteral(": ") : QString()) + text + u'\n';
    }
    setToolTip(tip + tr("单击查看连接信息"));
}

ConnectionFactsDialog::ConnectionFactsDialog(Module1 &module, const std::vector<std::size_t> &servers, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ConnectionFactsDialog"));
    setWindowTitle(tr("连接信息"));
    auto *layout = new QVBoxLayout(this);
    for (const std::size_t server : servers)
        checkServer(module, server);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void ConnectionFactsDialog::checkServer(Module1 &module, std::size_t server)
{
    auto *facts = new QLabel(tr("正在检查连接……"), this);
    facts->setObjectName(QStringLiteral("FactsLabel"));
    facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout()->addWidget(facts);
    const std::shared_ptr<Connection> connection = connectionOf(module, server);
    if (!connection)
        return;
    const QString name = module.servers.size() > 1 ? serverName(module, server) + QStringLiteral(" · ") + connection->description()
                                                   : connection->description();
    QPointer<QLabel> shown(facts);
    module.runner.post(*connection, [connection, shown, name] {
        QString text;
        try {
            StopFlag neverRaised;
            text = factsText(connection->facts(neverRaised), name);
        } catch (const DataError &error) {
            text = name.toHtmlEscaped() + QStringLiteral("<br>") + error.message().toHtmlEscaped();
        }
        QMetaObject::invokeMethod(
            qApp, [shown, text] { if (shown) shown->setText(text); }, Qt::QueuedConnection);
    });
}

} // namespace realm::ui
