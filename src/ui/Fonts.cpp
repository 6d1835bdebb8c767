#include "ui/Fonts.h"

#include <QFont>
#include <QStringList>

namespace realm::ui {

void installFontSubstitutes()
{
    const QStringList songFaces = {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                                   QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC"),
                                   QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), songFaces);
}

} // namespace realm::ui
