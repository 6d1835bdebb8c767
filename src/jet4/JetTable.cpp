#include "jet4/JetTable.h"

#include "jet4/LittleEndian.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace jet4 {
namespace {

bool isFixed(ColumnType type)
{
    return type == ColumnType::Integer || type == ColumnType::Long;
}

std::uint16_t storedLength(ColumnType type)
{
    switch (type) {
    case ColumnType::Integer:
        return 2;
    case ColumnType::Long:
        return 4;
    case ColumnType::Text:
        return 2 * MaxTextLength;
    case ColumnType::LongBinary:
        return 0;
    }
    throw std::logic_error("unknown column type");
}

bool matchesType(ColumnType type, const FieldValue &value)
{
    if (std::holds_alternative<std::monostate>(value)) {
        return true;
    }
    switch (type) {
    case ColumnType::Integer:
        return std::holds_alternative<std::int16_t>(value);
    case ColumnType::Long:
        return std::holds_alternative<std::int32_t>(value);
    case ColumnType::Text:
        return std::holds_alternative<std::u16string>(value);
    case ColumnType::LongBinary:
        return false;
    }
    return false;
}

Bytes valueBytes(const FieldValue &value)
{
    Bytes bytes;
    if (const auto *small = std::get_if<std::int16_t>(&value)) {
        appendLE(bytes, *small);
    } else if (const auto *number = std::get_if<std::int32_t>(&value)) {
        appendLE(bytes, *number);
    } else if (const auto *text = std::get_if<std::u16string>(&value)) {
        bytes = encodeText(*text);
    }
    return bytes;
}

std::string codeUnitName(char16_t unit)
{
    char name[8] = {};
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(unit));
    return name;
}

// In two-byte mode a unit whose low byte is the toggle byte would read as a
// toggle, so such units cannot be stored.
Bytes compressText(const std::u16string &text)
{
    Bytes out(CompressedTextMarker.begin(), CompressedTextMarker.end());
    bool oneByteMode = true;
    for (const char16_t unit : text) {
        const bool fitsOneByte = unit >= 0x01 && unit <= 0xFF;
        if (!fitsOneByte && (unit & 0xFF) == CompressedTextToggle) {
            throw std::invalid_argument("a text starting with U+FEFF cannot also hold " + codeUnitName(unit));
        }
        if (fitsOneByte != oneByteMode) {
            out.push_back(CompressedTextToggle);
            oneByteMode = fitsOneByte;
        }
        if (oneByteMode) {
            out.push_back(static_cast<std::uint8_t>(unit));
        } else {
            appendLE(out, static_cast<std::uint16_t>(unit));
        }
    }
    return out;
}

void setNotNull(Bytes &nullMask, std::size_t column)
{
    nullMask[column / 8] = static_cast<std::uint8_t>(nullMask[column / 8] | (1u << (column % 8)));
}

} // namespace

Bytes encodeText(const std::u16string &text)
{
    if (!text.empty() && text.front() == u'\uFEFF') {
        return compressText(text);
    }
    Bytes out;
    out.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        appendLE(out, static_cast<std::uint16_t>(unit));
    }
    return out;
}

TableLayout::TableLayout(TableDef table)
    : m_table(std::move(table))
{
    for (const ColumnDef &column : m_table.columns) {
        const std::uint16_t length = storedLength(column.type);
        if (isFixed(column.type)) {
            m_placements.push_back({true, length, m_fixedAreaSize, 0});
            m_fixedAreaSize = static_cast<std::uint16_t>(m_fixedAreaSize + length);
        } else {
            m_placements.push_back({false, length, 0, m_varColumnCount});
            ++m_varColumnCount;
        }
    }
}

Bytes TableLayout::definitionHeader(const TableState &state) const
{
    const auto columnCount = static_cast<std::uint16_t>(m_table.columns.size());
    Bytes definition(tabledef::HeaderSize, 0);
    definition[0] = TableDefPageType;
    definition[1] = PageSecondByte;
    storeLE(definition, tabledef::RowCount, state.rowCount);
    definition[tabledef::TableType] = m_table.isSystem ? tabledef::SystemTable : tabledef::UserTable;
    storeLE(definition, tabledef::MostColumns, columnCount);
    storeLE(definition, tabledef::VarColumnCount, m_varColumnCount);
    storeLE(definition, tabledef::ColumnCount, columnCount);
    storeLE(definition, tabledef::UsedPagesMap, state.usedPagesMap);
    storeLE(definition, tabledef::FreePagesMap, state.freePagesMap);
    return definition;
}

void TableLayout::appendColumnEntries(Bytes &definition) const
{
    for (std::size_t i = 0; i < m_table.columns.size(); ++i) {
        const ColumnType type = m_table.columns[i].type;
        const Placement &place = m_placements[i];
        const auto number = static_cast<std::uint16_t>(i);
        Bytes entry(columnentry::Size, 0);
        entry[columnentry::Type] = static_cast<std::uint8_t>(type);
        storeLE(entry, columnentry::Number, number);
        storeLE(entry, columnentry::VarIndex, place.varIndex);
        storeLE(entry, columnentry::Index, number);
        if (type == ColumnType::Text) {
            storeLE(entry, columnentry::SortOrder, GeneralSortOrder);
        }
        entry[columnentry::Flags] = static_cast<std::uint8_t>(columnentry::NullableFlag | (place.fixed ? columnentry::FixedLengthFlag : 0));
        storeLE(entry, columnentry::FixedOffset, place.fixedOffset);
        storeLE(entry, columnentry::Length, place.length);
        definition.insert(definition.end(), entry.begin(), entry.end());
    }
}

void TableLayout::appendColumnNames(Bytes &definition) const
{
    for (const ColumnDef &column : m_table.columns) {
        const Bytes name = encodeText(column.name);
        appendLE(definition, static_cast<std::uint16_t>(name.size()));
        definition.insert(definition.end(), name.begin(), name.end());
    }
}

Page TableLayout::definitionPage(const TableState &state) const
{
    Bytes definition = definitionHeader(state);
    appendColumnEntries(definition);
    appendColumnNames(definition);
    if (definition.size() > PageSize) {
        throw std::length_error("table definition does not fit on one page");
    }
    storeLE(definition, tabledef::FreeSpace, static_cast<std::uint16_t>(PageSize - definition.size()));
    storeLE(definition, tabledef::Length, static_cast<std::uint32_t>(definition.size()));
    Page page{};
    std::copy(definition.begin(), definition.end(), page.begin());
    return page;
}

Bytes TableLayout::encodeRow(std::span<const FieldValue> values) const
{
    if (values.size() != m_table.columns.size()) {
        throw std::invalid_argument("row has the wrong number of values");
    }
    const std::size_t columnCount = values.size();
    Bytes row;
    appendLE(row, static_cast<std::uint16_t>(columnCount));
    row.resize(2 + m_fixedAreaSize, 0);
    Bytes nullMask((columnCount + 7) / 8, 0);
    std::vector<std::uint16_t> varOffsets;
    for (std::size_t i = 0; i < columnCount; ++i) {
        if (!matchesType(m_table.columns[i].type, values[i])) {
            throw std::invalid_argument("value does not match the type of its column");
        }
        if (!std::holds_alternative<std::monostate>(values[i])) {
            setNotNull(nullMask, i);
        }
        const Bytes bytes = valueBytes(values[i]);
        if (m_placements[i].fixed) {
            std::copy(bytes.begin(), bytes.end(), row.begin() + 2 + m_placements[i].fixedOffset);
        } else {
            varOffsets.push_back(static_cast<std::uint16_t>(row.size()));
            row.insert(row.end(), bytes.begin(), bytes.end());
        }
    }
    if (m_varColumnCount > 0) {
        appendLE(row, static_cast<std::uint16_t>(row.size())); // end of the variable data
        std::for_each(varOffsets.rbegin(), varOffsets.rend(), [&row](std::uint16_t offset) { appendLE(row, offset); });
        appendLE(row, m_varColumnCount);
    }
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    return row;
}

} // namespace jet4
