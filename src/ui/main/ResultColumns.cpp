#include "ui/main/ResultColumns.h"

#include "query/ListFormat.h"

namespace realm::ui {

const QList<ColumnSpec> &resultColumns()
{
    static const QList<ColumnSpec> columns = {{QStringLiteral("角色名称"), 1440},
                                              {QStringLiteral("装备ID"), 1440},
                                              {QStringLiteral("中文名称"), 1440},
                                              {QStringLiteral("数量"), 1000},
                                              {QStringLiteral("+几属性"), 1000},
                                              {QStringLiteral("宠物名称"), 2000}};
    return columns;
}

} // namespace realm::ui
