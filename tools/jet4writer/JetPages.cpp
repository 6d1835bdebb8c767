#include "JetPages.h"

#include "LittleEndian.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace jet4 {
namespace {

constexpr std::uint8_t DataPageType = 0x01;
constexpr std::uint8_t UsageBitmapPageType = 0x05;
constexpr std::size_t RowCountOffset = 12;
constexpr std::size_t RowOffsetsStart = 14;
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
    storeLE<std::uint32_t>(page, 0x00, 0x00000100);
    constexpr std::string_view engine = "Standard Jet DB";
    std::copy(engine.begin(), engine.end(), page.begin() + 0x04);
    page[0x14] = 0x01; // Jet 4
    storeLE<std::uint16_t>(page, 0x3C, 0x04E4); // code page 1252
    storeLE<std::uint32_t>(page, 0x3E, 0); // database key 0: pages are not encrypted
    storeLE<std::uint16_t>(page, 0x6E, 0x0409); // General sort order
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
    m_page[1] = 0x01;
    storeLE(m_page, 4, m_tableDefPage);
    m_rowCount = 0;
    m_rowsStart = PageSize;
    storeLE(m_page, 2, static_cast<std::uint16_t>(PageSize - RowOffsetsStart));
}

bool DataPageBuilder::tryAdd(std::span<const std::uint8_t> row)
{
    const std::size_t offsetsEnd = RowOffsetsStart + 2 * m_rowCount;
    const std::size_t freeSpace = m_rowsStart - offsetsEnd;
    if (row.size() + 2 > freeSpace || m_rowCount == 0xFF) {
        return false;
    }
    m_rowsStart -= row.size();
    std::copy(row.begin(), row.end(), m_page.begin() + static_cast<std::ptrdiff_t>(m_rowsStart));
    storeLE(m_page, offsetsEnd, static_cast<std::uint16_t>(m_rowsStart));
    ++m_rowCount;
    storeLE(m_page, RowCountOffset, static_cast<std::uint16_t>(m_rowCount));
    storeLE(m_page, 2, static_cast<std::uint16_t>(freeSpace - row.size() - 2));
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
    map[0] = 0x00;
    storeLE(map, 1, firstPage);
    const std::span<std::uint8_t> bitmap(map.begin() + 5, map.end());
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
    Bytes map{0x01};
    for (const std::uint32_t page : bitmapPages) {
        appendLE(map, page);
    }
    return map;
}

Page makeUsageBitmapPage(std::uint32_t index, std::uint32_t begin, std::uint32_t end)
{
    Page page{};
    page[0] = UsageBitmapPageType;
    page[1] = 0x01;
    const std::span<std::uint8_t> bitmap(page.begin() + 4, page.end());
    const std::uint32_t covered = index * PagesPerBitmapPage;
    const std::uint32_t from = std::max(begin, covered);
    const std::uint32_t to = std::min(end, covered + PagesPerBitmapPage);
    for (std::uint32_t p = from; p < to; ++p) {
        setBit(bitmap, p - covered);
    }
    return page;
}

} // namespace jet4
