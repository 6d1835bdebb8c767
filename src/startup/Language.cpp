#include "startup/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace realm {

namespace {

const QString LanguageOptionName = QStringLiteral("--lang");

struct Installed {
    Language language = Language::Chinese;
    // Not a child of the application: the window program chooses the language
    // once before its QApplication exists and again after.
    std::unique_ptr<QTranslator> translator;
};

// The translation at `path` installed into the application; null when it
// cannot be loaded, and then the texts stay in their source language.
std::unique_ptr<QTranslator> installTranslation(const QString &path)
{
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(path) && QCoreApplication::installTranslator(translator.get()))
        return translator;
    return nullptr;
}

Installed &installed()
{
    static Installed state;
    return state;
}

} // namespace

Language languageOfLocale(const QString &localeName)
{
    const QString name = localeName.section(u'.', 0, 0).section(u'@', 0, 0);
    if (name.isEmpty() || name == u"C" || name == u"POSIX" || name.startsWith(u"zh"))
        return Language::Chinese;
    return Language::English;
}

// The locale of messages, by the POSIX precedence of the variables.
Language systemLanguage()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return languageOfLocale(value);
    }
    return Language::Chinese;
}

std::optional<Language> languageNamed(QStringView name)
{
    if (name == u"zh")
        return Language::Chinese;
    if (name == u"en")
        return Language::English;
    return std::nullopt;
}

LanguageChoice languageOption(const QStringList &arguments)
{
    LanguageChoice choice;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--")
            break;
        QString value;
        if (argument == LanguageOptionName && i + 1 < arguments.size())
            value = arguments[++i];
        else if (argument.startsWith(LanguageOptionName + u'='))
            value = argument.mid(LanguageOptionName.size() + 1);
        else
            continue;
        if (const auto language = languageNamed(value))
            choice.language = language;
        else if (!choice.unknownValue)
            choice.unknownValue = value;
    }
    return choice;
}

QString languageOptionDescription()
{
    return QCoreApplication::translate("realm::Language", "界面语言：zh（中文）或 en（英文）；默认随系统区域设置。");
}

QString unknownLanguageMessage(const QString &value)
{
    return QCoreApplication::translate("realm::Language", "未知的语言“%1”，请用 zh 或 en。").arg(value);
}

void useLanguage(Language language)
{
    Installed &state = installed();
    if (state.translator)
        QCoreApplication::removeTranslator(state.translator.get());
    state.translator.reset();
    state.language = language;
    // The program's texts are written in Chinese, Qt's own (the buttons of
    // its message boxes, its file dialog) in English.
    state.translator = language == Language::English
        ? installTranslation(QStringLiteral(":/i18n/realmquery_en.qm"))
        : installTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm"));
}

Language currentLanguage()
{
    return installed().language;
}

} // namespace realm
