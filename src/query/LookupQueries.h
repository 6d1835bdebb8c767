#pragma once

#include "query/SqlStatement.h"

#include <optional>

namespace realm {

inline const QString PetSelect = QStringLiteral(
    " select user_data.char_name,user_item.item_type,user_item.amount,user_item.enchant,pet_data.nick_name "
    "from user_data,user_item,pet_data where user_data.char_id=user_item.char_id "
    "and pet_data.pet_id=user_item.item_id and pet_data.nick_name like ?");

// The pet search; nullopt for an empty box, which runs nothing.
std::optional<SqlStatement> petQuery(const QString &petName);

// The item lookup by id and/or name; nullopt when both boxes are empty.
// Throws InputError for an id beyond the floating-point range.
std::optional<TypedQuery> itemLookupQuery(const QString &idText, const QString &nameText);

// The account lookup's two queries: the character by name, then every
// character of an account.
SqlStatement characterQuery(const QString &characterName);
SqlStatement accountCharactersQuery(const QString &accountName);

} // namespace realm
