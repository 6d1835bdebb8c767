#pragma once

#include "jet4/JetFormat.h"
#include "jet4/JetPages.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace jet4 {

enum class ColumnType : std::uint8_t {
    Integer = stored::Integer, // 16-bit signed
    Long = stored::Long, // 32-bit signed
    Text = stored::Text, // up to 255 UTF-16 code units
    LongBinary = stored::LongBinary, // OLE object; only ever NULL here
};

struct ColumnDef {
    std::u16string name;
    ColumnType type;
};

struct TableDef {
    std::vector<ColumnDef> columns;
    bool isSystem = false;
};

// What a table definition page records beyond the columns.
struct TableState {
    std::uint32_t rowCount = 0;
    std::uint32_t usedPagesMap = 0; // page/row reference of the usage map rows
    std::uint32_t freePagesMap = 0;
};

// std::monostate stands for NULL.
using FieldValue = std::variant<std::monostate, std::int16_t, std::int32_t, std::u16string>;

// Column numbers, offsets and sizes derived once from a TableDef.
class TableLayout {
public:
    explicit TableLayout(TableDef table);

    Page definitionPage(const TableState &state) const;

    // One record in the Jet 4 row layout; values are given in column order
    // and must match the column types (std::invalid_argument otherwise).
    Bytes encodeRow(std::span<const FieldValue> values) const;

private:
    struct Placement {
        bool fixed;
        std::uint16_t length;
        std::uint16_t fixedOffset;
        std::uint16_t varIndex;
    };

    Bytes definitionHeader(const TableState &state) const;
    void appendColumnEntries(Bytes &definition) const;
    void appendColumnNames(Bytes &definition) const;

    TableDef m_table;
    std::vector<Placement> m_placements;
    std::uint16_t m_fixedAreaSize = 0;
    std::uint16_t m_varColumnCount = 0;
};

// Stored text: plain UTF-16LE, or the compressed form when plain bytes would
// start with FF FE, which readers take as the compression marker.
// Throws std::invalid_argument for a text neither form can hold.
Bytes encodeText(const std::u16string &text);

} // namespace jet4
