#include "data/Arguments.h"

#include <QCoreApplication>

namespace realm {

namespace {

bool isOption(const QString &argument)
{
    return argument.startsWith(u'-') && argument != u"-" && argument != u"--";
}

// The option an argument gives a value to: "--name=x" itself, or the
// "--name" before a separate value.
std::optional<QString> optionOf(const QStringList &arguments, qsizetype index)
{
    const QString &argument = arguments[index];
    if (isOption(argument) && argument.contains(u'='))
        return argument.section(u'=', 0, 0);
    if (index > 1 && isOption(arguments[index - 1]) && !arguments[index - 1].contains(u'='))
        return arguments[index - 1];
    return std::nullopt;
}

} // namespace

QString undecodableArgumentMessage(const QStringList &arguments, qsizetype index)
{
    if (const auto option = optionOf(arguments, index))
        return QCoreApplication::translate("realm::Arguments", "选项 %1 的值含有不能按系统编码读作文字的字节（也许最后一个字符被截断了）。")
            .arg(*option);
    return QCoreApplication::translate("realm::Arguments", "参数“%1”含有不能按系统编码读作文字的字节（也许最后一个字符被截断了）。")
        .arg(arguments[index]);
}

} // namespace realm
