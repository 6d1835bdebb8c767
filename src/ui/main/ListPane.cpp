#include "ui/main/ListPane.h"

#include "ui/Controls.h"
#include "ui/RowListModel.h"
#include "ui/Worksheet.h"
#include "ui/main/Form1.h"

#include <QHeaderView>

namespace realm::ui {

namespace {

ListPane addPane(QWidget *form, const QString &name, QRect twipsGeometry, const QList<ColumnSpec> &columns,
                 ListFormat format, const QList<ColumnKind> &kinds, const QString &fileStem)
{
    ListPane pane;
    pane.view = addReportList(form, name, twipsGeometry, columns, std::move(format), pane.rows);
    pane.sheet = new Worksheet(pane.view, pane.view->horizontalHeader(), pane.rows, kinds, fileStem);
    pane.view->hide();
    return pane;
}

} // namespace

ListPane addTotalsList(QWidget *form, QRect twipsGeometry, TotalsGrouping grouping, const ItemNameIndex &itemNames)
{
    using Kind = ColumnKind;
    if (grouping == TotalsGrouping::ByCharacter)
        return addPane(form, QStringLiteral("CharacterTotalsList"), twipsGeometry,
                       {{Form1::tr("角色名称"), 1440}, {Form1::tr("装备ID"), 1000}, {Form1::tr("中文名称"), 1800}, {Form1::tr("行数"), 900}, {Form1::tr("总数量"), 1300}},
                       totalsFormat(grouping, itemNames), {Kind::Text, Kind::Number, Kind::Text, Kind::Number, Kind::Number},
                       QStringLiteral("角色合计"));
    return addPane(form, QStringLiteral("ItemTotalsList"), twipsGeometry,
                   {{Form1::tr("装备ID"), 1000}, {Form1::tr("中文名称"), 1800}, {Form1::tr("角色数"), 1100}, {Form1::tr("行数"), 900}, {Form1::tr("总数量"), 1300}, {Form1::tr("最高+几"), 1000}},
                   totalsFormat(grouping, itemNames),
                   {Kind::Number, Kind::Text, Kind::Number, Kind::Number, Kind::Number, Kind::Number},
                   QStringLiteral("物品合计"));
}

ListPane addDuplicatesList(QWidget *form, QRect twipsGeometry, const ItemNameIndex &itemNames)
{
    using Kind = ColumnKind;
    return addPane(form, QStringLiteral("DuplicatesList"), twipsGeometry,
                   {{Form1::tr("实例ID"), 1200}, {Form1::tr("角色名称"), 1440}, {Form1::tr("装备ID"), 1000}, {Form1::tr("中文名称"), 1800}, {Form1::tr("数量"), 900}, {Form1::tr("+几属性"), 900}},
                   duplicatesFormat(itemNames),
                   {Kind::Number, Kind::Text, Kind::Number, Kind::Text, Kind::Number, Kind::Number},
                   QStringLiteral("复制物品"));
}

} // namespace realm::ui
