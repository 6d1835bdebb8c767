#include "query/Messages.h"

#include "data/DataError.h"

#include <QCoreApplication>
#include <QLocale>

namespace realm::messages {

namespace {

QString query(const char *text)
{
    return QCoreApplication::translate("realm::Query", text);
}

QString searches(const char *text)
{
    return QCoreApplication::translate("realm::Searches", text);
}

QString servers(const char *text)
{
    return QCoreApplication::translate("realm::Servers", text);
}

// The driver's number for a login SQL Server refused.
constexpr long LoginRefused = 18456;

} // namespace

QString itemIdBox()
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "装备ID"));
}

QString amountBox()
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "数量"));
}

QString amountOperatorBox()
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "数量比较符"));
}

QString enchantBox()
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "+几的属性"));
}

QString enchantOperatorBox()
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "+几的属性比较符"));
}

QString enterPetName()
{
    return searches(QT_TRANSLATE_NOOP("realm::Searches", "请输入宠物名称。"));
}

QString enterItemIdOrName()
{
    return searches(QT_TRANSLATE_NOOP("realm::Searches", "请输入装备ID或装备名称。"));
}

QString enterCharacterName()
{
    return searches(QT_TRANSLATE_NOOP("realm::Searches", "请输入角色名称。"));
}

QString numberOutOfRange(const QString &boxName)
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "%1：数值超出可查询的范围。")).arg(boxName);
}

QString notAComparison(const QString &boxName, const QString &boxText)
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "%1：“%2”不是比较符，请用 = < > <= >= <> 之一。")).arg(boxName, boxText);
}

QString noSuchCharacter(const QString &characterName)
{
    return searches(QT_TRANSLATE_NOOP("realm::Searches", "没有名为“%1”的角色。")).arg(characterName);
}

QString numberReadAs(const QString &boxName, const QString &boxText, const QString &number)
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "%1“%2”按 %3 查询")).arg(boxName, boxText, number);
}

QString noAccount(const QString &characterName)
{
    return searches(QT_TRANSLATE_NOOP("realm::Searches", "角色“%1”没有账号。")).arg(characterName);
}

QString noteSeparator()
{
    return query(QT_TRANSLATE_NOOP("realm::Query", "；"));
}

QString serverRows(const QString &serverName, int rowCount)
{
    return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 %2 行")).arg(serverName, QLocale(QLocale::English).toString(rowCount));
}

QString serverFailed(const QString &serverName, long errorNumber)
{
    switch (errorNumber) {
    case ErrorNumber::QueryTimeout:
        return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 超时")).arg(serverName);
    case ErrorNumber::ServerUnreachable:
    case ErrorNumber::LoginUnfinished:
        return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 无法连接")).arg(serverName);
    case LoginRefused:
        return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 登录被拒绝")).arg(serverName);
    case ErrorNumber::SettingsFile:
        return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 设置有误")).arg(serverName);
    default:
        return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 出错（%2）")).arg(serverName).arg(errorNumber);
    }
}

QString serverStopped(const QString &serverName)
{
    return servers(QT_TRANSLATE_NOOP("realm::Servers", "%1 已停止")).arg(serverName);
}

QString serverEnds(const QStringList &ends)
{
    return ends.join(servers(QT_TRANSLATE_NOOP("realm::Servers", "；")));
}

QString noItemNamed(const QString &nameText)
{
    return searches(QT_TRANSLATE_NOOP("realm::Searches", "物品文件中没有名称包含“%1”的物品，未查询。")).arg(nameText);
}

} // namespace realm::messages
