#pragma once

#include "jet4/ItemRow.h"
#include "jet4/JetPages.h"
#include "jet4/JetTable.h"

#include <cstdint>
#include <ostream>

namespace jet4 {

// Streams a Jet 4 database holding the single user table `item`
// (id Long, C Text(255), E Text(255)) into a seekable binary stream.
// Data pages are written as they fill up; the fixed pages at the start of
// the file, which need the final row and page counts, are written by finish().
class ItemFileWriter {
public:
    explicit ItemFileWriter(std::ostream &out);

    // Rows keep the order of the calls; throws std::invalid_argument for a
    // text that cannot be stored and std::length_error past the 2 GB limit.
    void append(const ItemRow &row);

    // Completes the file; throws std::runtime_error when writing failed.
    void finish();

private:
    void flushDataPage();
    void appendPage(const Page &page);
    void writePage(const Page &page);

    std::ostream &m_out;
    TableLayout m_itemLayout;
    DataPageBuilder m_dataPage;
    std::uint32_t m_nextPage;
    std::uint32_t m_rowCount = 0;
};

} // namespace jet4
