#include "data/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace realm {

namespace {
QString &chosenFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolder()
{
    return chosenFolder().isEmpty() ? QCoreApplication::applicationDirPath() : chosenFolder();
}

void setProgramFolder(const QString &folder)
{
    chosenFolder() = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

} // namespace realm
