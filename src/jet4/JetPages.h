#pragma once

#include "jet4/JetFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace jet4 {

using Page = std::array<std::uint8_t, PageSize>;
using Bytes = std::vector<std::uint8_t>;

// A row is addressed as page << 8 | row index.
std::uint32_t pageRowRef(std::uint32_t page, std::uint8_t row);

// Database definition page: Jet 4, no encryption, no password, code page 1252.
Page makeHeaderPage();

// Fills a data page of one table with rows, last byte first, as Jet does.
class DataPageBuilder {
public:
    explicit DataPageBuilder(std::uint32_t tableDefPage);

    // False when the row does not fit; the page is then left unchanged.
    bool tryAdd(std::span<const std::uint8_t> row);
    bool empty() const noexcept { return m_rowCount == 0; }
    std::uint8_t rowCount() const noexcept { return static_cast<std::uint8_t>(m_rowCount); }

    // The finished page; the builder starts over empty for the same table.
    Page take();

private:
    void reset();

    std::uint32_t m_tableDefPage;
    Page m_page{};
    std::size_t m_rowCount = 0;
    std::size_t m_rowsStart = PageSize;
};

// Type 0 map: a bitmap held in the row itself, covering pages from firstPage.
Bytes makeInlineUsageMap(std::uint32_t firstPage, std::span<const std::uint32_t> usedPages);

// Type 1 map: entry i points to the bitmap page for pages
// [i * PagesPerBitmapPage, (i + 1) * PagesPerBitmapPage).
Bytes makeIndirectUsageMap(std::span<const std::uint32_t> bitmapPages);

// Bitmap page number `index` of a type 1 map, marking the pages of [begin, end).
Page makeUsageBitmapPage(std::uint32_t index, std::uint32_t begin, std::uint32_t end);

} // namespace jet4
