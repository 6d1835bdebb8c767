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

ConnectionMark::ConnectionMark(Module1 &module, QWidget *parent)
    : QToolButton(parent), m_module(module)
{
    setObjectName(QStringLiteral("ConnectionMark"));
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        auto *dialog = new ConnectionFactsDialog(m_module, window());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->QDialog::show();
        refresh();
    });
}

void ConnectionMark::refresh()
{
    const ConnectionSecurity security = m_module.gameConn ? m_module.gameConn->security() : ConnectionSecurity{};
    if (security.verified())
        setIcon(padlock(QColor(0x2e, 0x7d, 0x32), true));
    else if (security.encrypted())
        setIcon(padlock(QColor(0xef, 0x8f, 0x00), true));
    else
        setIcon(padlock(QColor(0x75, 0x75, 0x75), false));
    setToolTip(securityText(security) + u'\n' + tr("单击查看连接信息"));
}

ConnectionFactsDialog::ConnectionFactsDialog(Module1 &module, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ConnectionFactsDialog"));
    setWindowTitle(tr("连接信息"));
    auto *layout = new QVBoxLayout(this);
    m_facts = new QLabel(tr("正在检查连接……"), this);
    m_facts->setObjectName(QStringLiteral("FactsLabel"));
    m_facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_facts);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    const std::shared_ptr<Connection> connection = module.gameConn;
    if (!connection)
        return;
    m_server = connection->description();
    QPointer<ConnectionFactsDialog> shown(this);
    module.runner.post(*connection, [connection, shown] {
        try {
            StopFlag neverRaised;
            const ConnectionFacts facts = connection->facts(neverRaised);
            QMetaObject::invokeMethod(
                qApp, [shown, facts] { if (shown) shown->showFacts(facts); }, Qt::QueuedConnection);
        } catch (const DataError &error) {
            QMetaObject::invokeMethod(
                qApp, [shown, message = error.message()] { if (shown) shown->showFailure(message); }, Qt::QueuedConnection);
        }
    });
}

void ConnectionFactsDialog::showFacts(const ConnectionFacts &facts)
{
    m_facts->setText(factsText(facts, m_server));
}

void ConnectionFactsDialog::showFailure(const QString &message)
{
    m_facts->setText(message);
}

} // namespace realm::ui
