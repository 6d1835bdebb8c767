#include "data/Recordset.h"

#include "data/DataError.h"

#include <QCoreApplication>

namespace realm {

void Recordset::requireClosed() const
{
    if (isOpen())
        throw DataError(ErrorNumber::ObjectOpen, QCoreApplication::translate("realm::Recordset", "对象打开时不允许此操作。"));
}

void Recordset::open(const QString &sql, Connection &connection, const QStringList &parameters)
{
    StopFlag neverRaised;
    open(sql, connection, parameters, neverRaised);
}

void Recordset::open(const QString &sql, Connection &connection, const QStringList &parameters, StopFlag &stop,
                     BatchReceiver *showTo)
{
    requireClosed();
    m_table = connection.query(sql, parameters, stop, showTo);
}

void Recordset::close()
{
    openTable();
    m_table.reset();
}

int Recordset::recordCount() const
{
    return openTable().rowCount();
}

QVariant Recordset::field(QStringView name) const
{
    const ResultTable &table = openTable();
    const int column = requireColumn(table, name);
    if (table.rowCount() == 0)
        throw DataError(ErrorNumber::NoCurrentRecord, QCoreApplication::translate("realm::Recordset", "BOF 或 EOF 为真：没有当前行。"));
    return table.value(0, column);
}

std::shared_ptr<const ResultTable> Recordset::table() const
{
    return m_table;
}

const ResultTable &Recordset::openTable() const
{
    if (!m_table)
        throw DataError(ErrorNumber::ObjectClosed, QCoreApplication::translate("realm::Recordset", "对象关闭时不允许此操作。"));
    return *m_table;
}

int Recordset::requireColumn(const ResultTable &table, QStringView name) const
{
    const int column = table.columnIndex(name);
    if (column < 0)
        throw DataError(ErrorNumber::FieldNotFound,
                        QCoreApplication::translate("realm::Recordset", "在集合中找不到与请求的名称对应的项：%1").arg(name));
    return column;
}

} // namespace realm
