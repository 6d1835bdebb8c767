#pragma once

#include <QStringList>

#include <optional>

namespace realm {

// The interface language. The Chinese texts are the sources the program is
// written in; English comes from the embedded translation.
enum class Language { Chinese,
                      English };

// A Chinese locale, and the C/POSIX locale that Chinese installations run
// under, keep the Chinese texts; any other locale gets English.
Language languageOfLocale(const QString &localeName);
Language systemLanguage();
// "zh" or "en", as `--lang` takes them.
std::optional<Language> languageNamed(QStringView name);

// What `--lang` options among raw program arguments ask for: the last
// language named (none: the locale decides), and a value that names none.
struct LanguageChoice {
    std::optional<Language> language;
    std::optional<QString> unknownValue;
};
LanguageChoice languageOption(const QStringList &arguments);

// The option's own help text, and the complaint about a value that names no
// language, in the interface language.
QString languageOptionDescription();
QString unknownLanguageMessage(const QString &value);

// Installs the translation of `language` into the application, replacing an
// earlier one; later texts come in that language.
void useLanguage(Language language);
Language currentLanguage();

} // namespace realm
