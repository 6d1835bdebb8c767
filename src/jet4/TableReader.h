#pragma once

#include "jet4/JetFormat.h"

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jet4 {

// The bytes do not start like a Jet 4 database.
class NotJet4File : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file contradicts what it records about itself: a page of the wrong
// type, a record reaching past its page, fewer rows than the table counts.
class DamagedFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A sound catalog that names no such table.
class MissingTable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct StoredColumn {
    std::u16string name;
    std::uint8_t type = 0; // one of jet4::stored
    std::uint16_t number = 0; // bit of the null mask
    std::uint16_t varIndex = 0; // entry of the variable-data table
    std::uint16_t fixedOffset = 0; // from the end of the column count
    std::uint16_t length = 0;
    bool fixed = false;
};

// What a table definition records that the reader needs.
struct TableDefinition {
    std::string name; // UTF-8, for messages
    std::uint32_t page = 0;
    std::uint32_t rowCount = 0;
    std::uint32_t usedPagesMap = 0; // page << 8 | row of the usage map
    std::uint16_t varColumnCount = 0;
    std::vector<StoredColumn> columns;
};

// std::monostate stands for NULL; whole numbers and Yes/No come as int64,
// Single and Double as double, texts as the UTF-16 code units stored.
using StoredValue = std::variant<std::monostate, std::int64_t, double, std::u16string>;

// One user table of a Jet 4 database held in memory, read with every offset,
// length and page number checked against the file. Nothing is guessed: a
// table that cannot be read whole throws DamagedFile.
class TableReader {
public:
    // Finds the table by its UTF-8 name, without regard to ASCII letter
    // case. Throws NotJet4File, MissingTable, or DamagedFile (also for a
    // column of a type the reader does not decode).
    TableReader(std::span<const std::uint8_t> file, std::string_view tableName);

    const std::vector<StoredColumn> &columns() const noexcept { return table_.columns; }

    // Hands each row over in record order, values in column order. The rows
    // found are counted against the table's own count before the first one
    // is handed over; throws DamagedFile.
    void forEachRow(const std::function<void(std::span<const StoredValue>)> &onRow) const;

private:
    std::span<const std::uint8_t> file_;
    TableDefinition table_;
};

// Stored text, plain UTF-16LE or the compressed form that starts FF FE.
// Throws DamagedFile for bytes neither form can hold.
std::u16string decodeText(std::span<const std::uint8_t> bytes);

} // namespace jet4
