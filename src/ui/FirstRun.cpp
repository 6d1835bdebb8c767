#include "ui/FirstRun.h"

#include "data/Settings.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsTemplate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

namespace realm::ui {

bool offerSettingsTemplate()
{
    const QString folder = userSettingsFolder();
    const QString question = missingSettingsReport()
        + QStringLiteral("\n\n") + QCoreApplication::translate("realm::ui::FirstRun", "要在 %1 中创建一个待填写的 db.ini 吗？").arg(folder);
    if (QMessageBox::question(nullptr, QApplication::applicationName(), question) != QMessageBox::Yes)
        return false;
    if (const auto problem = createSettingsTemplate(folder)) {
        QMessageBox::warning(nullptr, QApplication::applicationName(), *problem);
        return false;
    }
    QMessageBox::information(nullptr, QApplication::applicationName(),
                             QCoreApplication::translate("realm::ui::FirstRun", "已创建 %1。\n请填写游戏服务器、登录名和密码，把 db.mdb 放到 "
                                                                                "%2，然后重新启动程序。")
                                 .arg(settingsPath(folder), folder));
    return true;
}

} // namespace realm::ui
