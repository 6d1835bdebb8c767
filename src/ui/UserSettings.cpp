#include "ui/UserSettings.h"

namespace realm::ui {

std::unique_ptr<QSettings> openUserSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("realmquery"),
                                       QStringLiteral("windows"));
}

} // namespace realm::ui
