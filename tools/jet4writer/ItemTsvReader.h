#pragma once

#include "jet4/ItemRow.h"

#include <cstddef>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>

namespace jet4 {

class InputError : public std::runtime_error {
public:
    InputError(std::size_t line, const std::string &message);
    std::size_t line() const noexcept { return m_line; }

private:
    std::size_t m_line;
};

// Reads `id<TAB>C<TAB>E` lines. An empty field is NULL; in texts `\t`, `\n`,
// `\r` and `\\` are escapes and a field of just `\e` is the empty text.
class ItemTsvReader {
public:
    // Consumes and checks the header line; throws InputError.
    explicit ItemTsvReader(std::istream &in);

    // The next record, or nullopt at the end of the input; throws InputError.
    std::optional<ItemRow> next();

    std::size_t lineNumber() const noexcept { return m_lineNumber; }

private:
    bool readLine(std::string &line);
    void readHeader();

    std::istream &m_in;
    std::size_t m_lineNumber = 0;
};

} // namespace jet4
