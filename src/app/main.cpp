#include "data/Language.h"
#include "data/ProgramFolder.h"
#include "ui/Fonts.h"
#include "ui/Form.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

// The interface language from `--lang` or the locale; a value that names no
// language ends the program as a usage error would.
void chooseLanguage(const QStringList &arguments)
{
    const realm::LanguageChoice choice = realm::languageOption(arguments);
    realm::useLanguage(choice.language.value_or(realm::systemLanguage()));
    if (choice.unknownValue) {
        const QString message = QStringLiteral("realmquery: ") + realm::unknownLanguageMessage(*choice.unknownValue);
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        std::exit(2);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("realmquery"));
    QApplication::setApplicationVersion(QStringLiteral(REALMQUERY_VERSION));
    chooseLanguage(QApplication::arguments());

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("realm::ui::Program", "游戏数据库查询工具。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("dir"), QCoreApplication::translate("realm::ui::Program", "从 <folder> 读取 db.ini 和 db.mdb，而不是从程序所在的文件夹。"),
                      QStringLiteral("folder")});
    parser.addOption({QStringLiteral("lang"), realm::languageOptionDescription(), QStringLiteral("zh|en")});
    parser.process(app);
    realm::setProgramFolder(parser.value(QStringLiteral("dir")));

    realm::ui::installFontSubstitutes();
    realm::ui::FormSlot<realm::ui::Form1>::instance().show();
    return QApplication::exec();
}
