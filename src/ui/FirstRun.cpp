#include "ui/FirstRun.h"

#include "data/ProgramFolder.h"
#include "data/Settings.h"
#include "data/SettingsTemplate.h"

#include <QApplication>
#include <QMessageBox>

namespace realm::ui {

bool offerSettingsTemplate()
{
    const QString folder = userSettingsFolder();
    const QString question = missingSettingsReport()
        + QStringLiteral("\n\nCreate a db.ini to fill in, in %1?").arg(folder);
    if (QMessageBox::question(nullptr, QApplication::applicationName(), question) != QMessageBox::Yes)
        return false;
    if (const auto problem = createSettingsTemplate(folder)) {
        QMessageBox::warning(nullptr, QApplication::applicationName(), *problem);
        return false;
    }
    QMessageBox::information(nullptr, QApplication::applicationName(),
                             QStringLiteral("Created %1.\nFill in the game server, login and password, put db.mdb "
                                            "into %2, and start the program again.")
                                 .arg(settingsPath(folder), folder));
    return true;
}

} // namespace realm::ui
