#include "data/Recordset.h"

#include "data/DataError.h"

namespace realm {

namespace {

struct Criterion {
    QString column;
    QString value;
    bool quoted = false;
};

Criterion parseCriterion(const QString &text)
{
    qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        throw DataError(ErrorNumber::BadArgument, QStringLiteral("Find needs a criterion of the form column=value: %1").arg(text));
    Criterion criterion;
    criterion.column = text.first(equals).trimmed();
    QString value = text.sliced(equals + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(u'\'') && value.endsWith(u'\'')) {
        value = value.sliced(1, value.size() - 2);
        criterion.quoted = true;
    }
    criterion.value = value;
    return criterion;
}

bool cellMatches(const ResultTable &table, int row, int column, const Criterion &criterion)
{
    switch (table.kind(row, column)) {
    case ResultTable::Kind::Null:
        return false;
    case ResultTable::Kind::Text:
        return table.textView(row, column) == criterion.value;
    case ResultTable::Kind::Integer:
    case ResultTable::Kind::Real: {
        bool ok = false;
        const double wanted = criterion.value.trimmed().toDouble(&ok);
        if (!ok)
            return false;
        const double cell = table.kind(row, column) == ResultTable::Kind::Integer
            ? double(table.integer(row, column))
            : table.real(row, column);
        return cell == wanted;
    }
    }
    return false;
}

} // namespace

namespace {

class PassingReceiver : public BatchReceiver {
public:
    explicit PassingReceiver(BatchReceiver &inner)
        : m_inner(inner) { }
    void receive(std::shared_ptr<const ResultTable> batch) override
    {
        if (!m_columns)
            m_columns = std::make_shared<ResultTable>(batch->columnNames());
        m_rows += batch->rowCount();
        m_inner.receive(std::move(batch));
    }
    std::shared_ptr<const ResultTable> columnsOnly() const { return m_columns; }
    int rows() const { return m_rows; }

private:
    BatchReceiver &m_inner;
    std::shared_ptr<ResultTable> m_columns;
    int m_rows = 0;
};

} // namespace

void Recordset::requireClosed() const
{
    if (isOpen())
        throw DataError(ErrorNumber::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
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
    m_position = 0;
    m_passedRows = 0;
}

void Recordset::openForwardOnly(const QString &sql, Connection &connection, const QStringList &parameters,
                                BatchReceiver &rows, StopFlag &stop)
{
    requireClosed();
    PassingReceiver passing(rows);
    connection.run(sql, parameters, passing, stop);
    m_table = passing.columnsOnly();
    m_position = 0;
    m_passedRows = passing.rows();
}

void Recordset::close()
{
    openTable();
    m_table.reset();
    m_position = 0;
    m_passedRows = 0;
}

void Recordset::moveFirst()
{
    if (openTable().rowCount() == 0)
        throw DataError(ErrorNumber::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True: the recordset has no rows."));
    m_position = 0;
}

void Recordset::moveNext()
{
    if (eof())
        throw DataError(ErrorNumber::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True: there is no next row."));
    ++m_position;
}

bool Recordset::eof() const
{
    return m_position >= openTable().rowCount();
}

int Recordset::recordCount() const
{
    return openTable().rowCount() + m_passedRows;
}

QVariant Recordset::field(QStringView name) const
{
    const ResultTable &table = openTable();
    const int column = requireColumn(table, name);
    if (eof())
        throw DataError(ErrorNumber::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True: no current row."));
    return table.value(m_position, column);
}

void Recordset::find(const QString &criterion)
{
    const ResultTable &table = openTable();
    const Criterion parsed = parseCriterion(criterion);
    const int column = requireColumn(table, parsed.column);
    while (m_position < table.rowCount() && !cellMatches(table, m_position, column, parsed))
        ++m_position;
}

std::shared_ptr<const ResultTable> Recordset::table() const
{
    return m_table;
}

const ResultTable &Recordset::openTable() const
{
    if (!m_table)
        throw DataError(ErrorNumber::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *m_table;
}

int Recordset::requireColumn(const ResultTable &table, QStringView name) const
{
    const int column = table.columnIndex(name);
    if (column < 0)
        throw DataError(ErrorNumber::FieldNotFound,
                        QStringLiteral("Item cannot be found in the collection corresponding to the requested name: %1").arg(name));
    return column;
}

} // namespace realm
