#include "ui/main/ResultColumns.h"

#include "query/ListFormat.h"
#include "ui/main/Form1.h"

namespace realm::ui {

QList<ColumnSpec> resultColumns()
{
    return {{Form1::tr("角色名称"), 1440}, {Form1::tr("装备ID"), 1440}, {Form1::tr("中文名称"), 1440}, {Form1::tr("数量"), 1000}, {Form1::tr("+几属性"), 1000}, {Form1::tr("宠物名称"), 2000}};
}

} // namespace realm::ui
