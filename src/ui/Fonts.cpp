#include "ui/Fonts.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QStringList>
#include <QTableView>

#include <algorithm>

namespace realm::ui {

namespace {

// Room between the tallest glyphs of two adjacent rows.
constexpr int RowGap = 4;

QString latinSansFace()
{
    static const QString face = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char *candidate : {"DejaVu Sans", "Noto Sans", "Liberation Sans", "Nimbus Sans", "Arial"}) {
            const QString name = QString::fromLatin1(candidate);
            if (installed.contains(name))
                return name;
        }
        return QStringLiteral("Sans Serif");
    }();
    return face;
}

// Windows draws Chinese best in its own Chinese faces, whose Latin letters
// serve as well: one of them goes first there. Elsewhere the Latin face
// leads and the Chinese text comes from the fallback faces.
QStringList leadingFaces()
{
#ifdef Q_OS_WIN
    static const QStringList faces = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &chinese : {QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")}) {
            if (installed.contains(chinese))
                return QStringList{chinese, latinSansFace()};
        }
        return QStringList{latinSansFace()};
    }();
    return faces;
#else
    return {latinSansFace()};
#endif
}

QFont withReadableFacesFirst(QFont font)
{
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    const QStringList leading = leadingFaces();
    if (families.mid(0, leading.size()) == leading)
        return font;
    for (const QString &face : leading)
        families.removeAll(face);
    font.setFamilies(leading + families);
    return font;
}

int tallestLine(const QFont &font)
{
    int height = QFontMetrics(font).height();
    for (const QString &family : font.families()) {
        QFont single = font;
        single.setFamilies({family});
        height = std::max(height, QFontMetrics(single).height());
    }
    return height + RowGap;
}

void setRowHeight(QTableView *table)
{
    const int height = tallestLine(table->font());
    table->verticalHeader()->setMinimumSectionSize(std::min(table->verticalHeader()->minimumSectionSize(), height));
    table->verticalHeader()->setDefaultSectionSize(height);
}

} // namespace

void installFontSubstitutes()
{
    const QStringList songFaces = {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                                   QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC"),
                                   QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), songFaces);
    // Under a Chinese locale the system's face is a Ming face whose Latin
    // letters are a typewriter's; they come from a sans-serif face instead.
    QApplication::setFont(withReadableFacesFirst(QApplication::font()));
}

void useReadableFonts(QWidget *form)
{
    for (QWidget *widget : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget))
            widget->setFont(withReadableFacesFirst(widget->font()));
        auto *view = qobject_cast<QTableView *>(widget);
        if (!view)
            continue;
        view->setFont(withReadableFacesFirst(view->font()));
        for (QHeaderView *header : view->findChildren<QHeaderView *>(Qt::FindDirectChildrenOnly))
            header->setFont(withReadableFacesFirst(header->font()));
        setRowHeight(view);
    }
}

} // namespace realm::ui
