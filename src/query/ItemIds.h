#pragma once

#include "data/ItemNameIndex.h"
#include "query/SqlStatement.h"

#include <span>
#include <vector>

namespace realm {

// The ids of the item file's entries whose name holds the typed text, matched
// as the item lookup's name box matches: `like '%text%'` with the text
// trimmed, its wildcards kept, letters of any case; the Chinese names, and
// the English ones too with `English`. Sorted, each id once.
std::vector<qint64> itemIdsNamed(const ResultTable &items, const QString &nameText, ItemNameLanguage language);

// SQL Server takes at most 2,100 parameters in one request; the driver
// sends a parameterised statement through sp_executesql, whose statement text
// and parameter declarations are two of them.
inline constexpr int MaxRequestParameters = 2100;
inline constexpr int ParametersOfTheCall = 2;

// The ids in slices small enough that each one, as parameters beside the
// statement's own, fits one request.
std::vector<std::span<const qint64>> requestSlices(const std::vector<qint64> &ids, const SqlStatement &statement);

// `statement` with `before`, a list "(?,...)" of the ids and `after`
// inserted into its text at `at` (-1: at the end), and the ids added to its
// parameters: no placeholder may follow `at`.
SqlStatement withIdList(const SqlStatement &statement, std::span<const qint64> ids, const QString &before,
                        const QString &after = {}, qsizetype at = -1);

} // namespace realm
