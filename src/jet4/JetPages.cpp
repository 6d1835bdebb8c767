#include "jet4/JetPages.h"

#include "jet4/LittleEndian.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace jet4 {
namespace {

constexpr std::size_t InlineUsageMapSize = 64; // the size Jet 4 gives table usage maps

// The stretch 0x18..0x97 of the header is masked with RC4 under a fixed key.
constexpr std::size_t MaskedStart = 0x18;
constexpr std::size_t MaskedLength = 128;
constexpr std::array<std::uint8_t, 4> HeaderMaskKey = {0xC7, 0xDA, 0x39, 0x6B};

std::array<std::uint8_t, MaskedLength> rc4KeyStream(std::span<const std::uint8_t> key)
{
    std::array<std::uint8_t, 256> state{};
    for (std::size_t i = 0; i < state.size(); ++i) {
        state[i] = static_cast<std::uint8_t>(i);
    }
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state.size(); ++i) {
        j = static_cast<std::uint8_t>(j + state[i] + key[i % key.size()]);
        std::swap(state[i], state[j]);
    }
    std::array<std::uint8_t, MaskedLength> stream{};
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    for (auto &out : stream) {
        a = static_cast<std::uint8_t>(a + 1);
        b = static_cast<std::uint8_t>(b + state[a]);
        std::swap(state[a], state[b]);
        out = state[static_cast<std::uint8_t>(state[a] + state[b])];
    }
    return stream;
}

void setBit(std::span<std::uint8_t> bitmap, std::size_t bit)
{
    bitmap[bit / 8] = static_cast<std::uint8_t>(bitmap[bit / 8] | (1u << (bit % 8)));
}

} // namespace

std::uint32_t pageRowRef(std::uint32_t page, std::uint8_t row)
{
    return (page << 8) | row;
}

Page makeHeaderPage()
{
    Page page{};
    std::copy(header::Start.begin(), header::Start.end(), page.begin());
    page[header::VersionOffset] = header::Jet4Version;
    storeLE<std::uint16_t>(page, 0x3C, 0x04E4); // code page 1252
    storeLE<std::uint32_t>(page, 0x3E, 0); // database key 0: pages are not encrypted
    storeLE(page, 0x6E, GeneralSortOrder);
    // 0x72 holds the creation date as a double; 0.0 leaves the password mask empty.
    const auto mask = rc4KeyStream(HeaderMaskKey);
    for (std::size_t i = 0; i < MaskedLength; ++i) {
        page[MaskedStart + i] ^= mask[i];
    }
    return page;
}

DataPageBuilder::DataPageBuilder(std::uint32_t tableDefPage)
    : m_tableDefPage(tableDefPage)
{
    reset();
}

void DataPageBuilder::reset()
{
    m_page.fill(0);
    m_page[0] = DataPageType;
    m_page[1] = PageSecondByte;
    storeLE(m_page, datapage::OwnerDefPage, m_tableDefPage);
    m_rowCount = 0;
    m_rowsStart = PageSize;
    storeLE(m_page, datapage::FreeSpace, static_cast<std::uint16_t>(PageSize - datapage::RowOffsets));
}

bool DataPageBuilder::tryAdd(std::span<const std::uint8_t> row)
{
    const std::size_t offsetsEnd = datapage::RowOffsets + 2 * m_rowCount;
    const std::size_t freeSpace = m_rowsStart - offsetsEnd;
    if (row.size() + 2 > freeSpace || m_rowCount == 0xFF) {
        return false;
    }
    m_rowsStart -= row.size();
    std::copy(row.begin(), row.end(), m_page.begin() + static_cast<std::ptrdiff_t>(m_rowsStart));
    storeLE(m_page, offsetsEnd, static_cast<std::uint16_t>(m_rowsStart));
    ++m_rowCount;
    storeLE(m_page, datapage::RowCount, static_cast<std::uint16_t>(m_rowCount));
    storeLE(m_page, datapage::FreeSpace, static_cast<std::uint16_t>(freeSpace - row.size() - 2));
    return true;
}

Page DataPageBuilder::take()
{
    Page finished = m_page;
    reset();
    return finished;
}

Bytes makeInlineUsageMap(std::uint32_t firstPage, std::span<const std::uint32_t> usedPages)
{
    Bytes map(InlineUsageMapSize, 0);
    map[0] = usagemap::Inline;
    storeLE(map, usagemap::InlineFirstPage, firstPage);
    const std::span<std::uint8_t> bitmap(map.begin() + usagemap::InlineBitmap, map.end());
    for (const std::uint32_t page : usedPages) {
        if (page < firstPage || page - firstPage >= bitmap.size() * 8) {
            throw std::out_of_range("page outside the range of an inline usage map");
        }
        setBit(bitmap, page - firstPage);
    }
    return map;
}

Bytes makeIndirectUsageMap(std::span<const std::uint32_t> bitmapPages)
{
    Bytes map{usagemap::Indirect};
    for (const std::uint32_t page : bitmapPages) {
        appendLE(map, page);
    }
    return map;
}

Page makeUsageBitmapPage(std::uint32_t index, std::uint32_t begin, std::uint32_t end)
{
    Page page{};
    page[0] = UsageBitmapPageType;
    page[1] = PageSecondByte;
    const std::span<std::uint8_t> bitmap(page.begin() + usagemap::BitmapPageBitmap, page.end());
    const std::uint32_t covered = index * PagesPerBitmapPage;
    const std::uint32_t from = std::max(begin, covered);
    const std::uint32_t to = std::min(end, covered + PagesPerBitmapPage);
    for (std::uint32_t p = from; p < to; ++p) {
        setBit(bitmap, p - covered);
    }
    return page;
}

} // namespace jet4
