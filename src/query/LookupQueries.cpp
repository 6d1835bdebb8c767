#include "query/LookupQueries.h"

#include "query/BoxText.h"
#include "query/Messages.h"
#include "query/NumberText.h"

namespace realm {

namespace {

QString likePattern(const QString &boxText)
{
    return u'%' + trimBlanks(boxText) + u'%';
}

} // namespace

std::optional<SqlStatement> petQuery(const QString &petName)
{
    if (petName.isEmpty())
        return std::nullopt;
    return SqlStatement{PetSelect, {likePattern(petName)}};
}

std::optional<TypedQuery> itemLookupQuery(const QString &idText, const QString &nameText)
{
    if (idText.isEmpty() && nameText.isEmpty())
        return std::nullopt;
    TypedQuery query{{QStringLiteral("select * from item where "), {}}, {}};
    if (!idText.isEmpty()) {
        const auto id = readNumberBox(idText, messages::itemIdBox());
        if (!id)
            throw InputError(messages::numberOutOfRange(messages::itemIdBox()));
        query.statement.text += QStringLiteral("id=") + id->sqlText;
        query.note = id->note;
    }
    if (!nameText.isEmpty()) {
        // Either name: an English reader types the name the list shows beside the Chinese one.
        query.statement.text += idText.isEmpty() ? QStringLiteral("(c like ? or e like ?)")
                                                 : QStringLiteral(" and (c like ? or e like ?)");
        query.statement.parameters << likePattern(nameText) << likePattern(nameText);
    }
    return query;
}

SqlStatement characterQuery(const QString &characterName)
{
    return {QStringLiteral("select * from user_data where char_name=?"), {trimBlanks(characterName)}};
}

SqlStatement accountCharactersQuery(const QString &accountName)
{
    return {QStringLiteral("select * from user_data where account_name=?"), {accountName}};
}

} // namespace realm
