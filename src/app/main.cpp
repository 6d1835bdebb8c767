#include "data/Module1.h"
#include "data/ProgramFolder.h"
#include "ui/Fonts.h"
#include "ui/Form.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("realmquery"));
    QApplication::setApplicationVersion(QStringLiteral(REALMQUERY_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Game database query tool."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("dir"), QStringLiteral("Read db.ini and db.mdb from <folder> instead of the program's folder."),
                      QStringLiteral("folder")});
    parser.process(app);
    realm::setProgramFolder(parser.value(QStringLiteral("dir")));

    realm::ui::installFontSubstitutes();
    // The runner goes before the shared objects: its threads end first.
    realm::Module1 module;
    realm::BackgroundRunner runner;
    realm::ui::FormSlot<realm::ui::Form1>::instance().show({module, runner});
    return QApplication::exec();
}
