#include "ui/UserSettings.h"

#include "data/RegularFile.h"
#include "startup/ProgramFolder.h"

#include <QCoreApplication>

#include <cstdio>

namespace realm::ui {

namespace {

// The windows' geometry takes a few hundred bytes.
constexpr qint64 FileByteLimit = qint64(1) << 20;

void noteUnusableFileOnce(const QString &path)
{
    static bool noted = false;
    if (noted)
        return;
    noted = true;
    const QString note = QCoreApplication::translate("realm::ui::UserSettings", "窗口位置文件 %1 不是普通文件或过大，程序不读取也不写入它。").arg(path);
    std::fprintf(stderr, "%s\n", note.toUtf8().constData());
}

} // namespace

QString userSettingsFile()
{
    return userSettingsFolder() + QStringLiteral("/windows.ini");
}

std::unique_ptr<QSettings> openUserSettings()
{
    const QString path = userSettingsFile();
    const auto problem = regularFileProblem(path, FileByteLimit);
    if (problem && problem->kind != FileProblem::Kind::Missing) {
        noteUnusableFileOnce(path);
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

} // namespace realm::ui
