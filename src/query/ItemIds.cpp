#include "query/ItemIds.h"

#include "data/LikePattern.h"
#include "query/BoxText.h"

#include <algorithm>
#include <cmath>

namespace realm {

namespace {

std::optional<qint64> idAt(const ResultTable &items, int row, int column)
{
    const ResultTable::Cell id = items.cell(row, column);
    if (id.kind == ResultTable::Kind::Integer)
        return id.integer;
    if (id.kind == ResultTable::Kind::Real && std::isfinite(id.real) && std::trunc(id.real) == id.real
        && std::fabs(id.real) < 9.0e15)
        return qint64(id.real);
    return std::nullopt;
}

bool nameMatches(const ResultTable &items, int row, int column, const QString &pattern)
{
    if (column < 0)
        return false;
    const ResultTable::Cell name = items.cell(row, column);
    if (name.kind == ResultTable::Kind::Null)
        return false;
    const QString text = name.kind == ResultTable::Kind::Text ? name.text.toString() : ResultTable::displayText(name);
    return likeMatches(pattern, text.toCaseFolded());
}

} // namespace

std::vector<qint64> itemIdsNamed(const ResultTable &items, const QString &nameText, ItemNameLanguage language)
{
    const int idColumn = items.columnIndex(u"id");
    const int chineseColumn = items.columnIndex(u"C");
    const int englishColumn = language == ItemNameLanguage::English ? items.columnIndex(u"E") : -1;
    const QString pattern = QString(u'%' + trimBlanks(nameText) + u'%').toCaseFolded();
    std::vector<qint64> ids;
    if (idColumn < 0)
        return ids;
    for (int row = 0; row < items.rowCount(); ++row) {
        const auto id = idAt(items, row, idColumn);
        if (id && (nameMatches(items, row, chineseColumn, pattern) || nameMatches(items, row, englishColumn, pattern)))
            ids.push_back(*id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<std::span<const qint64>> requestSlices(const std::vector<qint64> &ids, const SqlStatement &statement)
{
    const std::size_t room = std::size_t(MaxRequestParameters - ParametersOfTheCall - statement.parameters.size());
    std::vector<std::span<const qint64>> slices;
    for (std::size_t start = 0; start < ids.size(); start += room)
        slices.emplace_back(ids.data() + start, std::min(room, ids.size() - start));
    return slices;
}

SqlStatement withIdList(const SqlStatement &statement, std::span<const qint64> ids, const QString &before,
                        const QString &after, qsizetype at)
{
    QString piece = before + u'(';
    QStringList parameters;
    parameters.reserve(qsizetype(ids.size()));
    for (const qint64 id : ids) {
        piece += parameters.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        parameters << QString::number(id);
    }
    piece += u')' + after;
    SqlStatement narrowed = statement;
    narrowed.text.insert(at < 0 ? narrowed.text.size() : at, piece);
    narrowed.parameters += parameters;
    return narrowed;
}

} // namespace realm
