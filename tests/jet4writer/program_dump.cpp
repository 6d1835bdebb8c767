// Prints the item table as the program loads it, one JSON array of
// [id, C, E] rows, Null as null: the round-trip tests compare it with the
// writer's input, exactly.
#include "data/DataError.h"
#include "data/ItemDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

QJsonValue cell(const realm::ResultTable &table, int row, int column)
{
    switch (table.kind(row, column)) {
    case realm::ResultTable::Kind::Null:
        return QJsonValue(QJsonValue::Null);
    case realm::ResultTable::Kind::Integer:
        return QJsonValue(table.integer(row, column));
    case realm::ResultTable::Kind::Real:
        return QJsonValue(table.real(row, column));
    case realm::ResultTable::Kind::Text:
        return QJsonValue(table.textView(row, column).toString());
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: jet4writer_program_dump FILE.mdb\n", stderr);
        return 2;
    }
    try {
        auto items = realm::openItemDatabase(QString::fromLocal8Bit(argv[1]));
        const auto table = items->query(QStringLiteral("select id, C, E from item"), {});
        QJsonArray rows;
        for (int row = 0; row < table->rowCount(); ++row)
            rows.append(QJsonArray{cell(*table, row, 0), cell(*table, row, 1), cell(*table, row, 2)});
        const QByteArray json = QJsonDocument(rows).toJson(QJsonDocument::Compact);
        std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const realm::DataError &error) {
        std::fprintf(stderr, "%s\n", error.message().toUtf8().constData());
        return 1;
    }
}
