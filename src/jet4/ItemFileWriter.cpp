#include "jet4/ItemFileWriter.h"

#include "jet4/JetFormat.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace jet4 {
namespace {

// Readers look for the catalog definition on CatalogDefPage, page 2; the
// other fixed pages surround it.
constexpr std::uint32_t UsageMapsPage = 1;
constexpr std::uint32_t CatalogDataPage = 3;
constexpr std::uint32_t ItemDefPage = 4;
constexpr std::uint32_t FirstItemDataPage = 5;

// Jet 4 files are limited to 2 GB.
constexpr std::uint32_t MaxPages = 0x80000000u / PageSize;

// Catalog flags that mark a table as a system table.
constexpr std::int32_t SystemObjectFlags = static_cast<std::int32_t>(0x80000002u);

constexpr std::uint32_t CatalogRowCount = 2; // MSysObjects and item

// Rows of the usage maps page, in the order usageMapsPage() adds them.
enum MapRow : std::uint8_t { CatalogUsedPages,
                             CatalogFreePages,
                             ItemUsedPages,
                             ItemFreePages };

TableLayout catalogLayout()
{
    return TableLayout(TableDef{{{u"Id", ColumnType::Long},
                                 {u"Name", ColumnType::Text},
                                 {u"Type", ColumnType::Integer},
                                 {u"Flags", ColumnType::Long},
                                 {u"LvProp", ColumnType::LongBinary}},
                                true});
}

TableLayout itemTableLayout()
{
    return TableLayout(TableDef{{{u"id", ColumnType::Long}, {u"C", ColumnType::Text}, {u"E", ColumnType::Text}}, false});
}

Bytes catalogRow(const TableLayout &catalog, std::uint32_t defPage, const std::u16string &name, std::int32_t flags)
{
    const std::array<FieldValue, 5> values = {
        static_cast<std::int32_t>(defPage), name, TableObjectType, flags, std::monostate{}};
    return catalog.encodeRow(values);
}

Page catalogDataPage(const TableLayout &catalog)
{
    DataPageBuilder page(CatalogDefPage);
    page.tryAdd(catalogRow(catalog, CatalogDefPage, u"MSysObjects", SystemObjectFlags));
    page.tryAdd(catalogRow(catalog, ItemDefPage, u"item", 0));
    return page.take();
}

Page usageMapsPage(std::span<const std::uint32_t> itemBitmapPages)
{
    const std::array<std::uint32_t, 1> catalogPages = {CatalogDataPage};
    DataPageBuilder page(0); // the maps belong to no table
    page.tryAdd(makeInlineUsageMap(0, catalogPages));
    page.tryAdd(makeInlineUsageMap(0, {}));
    page.tryAdd(makeIndirectUsageMap(itemBitmapPages));
    page.tryAdd(makeInlineUsageMap(0, {}));
    return page.take();
}

FieldValue optionalValue(const auto &value)
{
    if (!value) {
        return std::monostate{};
    }
    return *value;
}

} // namespace

ItemFileWriter::ItemFileWriter(std::ostream &out)
    : m_out(out), m_itemLayout(itemTableLayout()), m_dataPage(ItemDefPage), m_nextPage(0)
{
    const Page placeholder{};
    while (m_nextPage < FirstItemDataPage) {
        appendPage(placeholder);
    }
}

void ItemFileWriter::append(const ItemRow &row)
{
    const std::array<FieldValue, 3> values = {optionalValue(row.id), optionalValue(row.c), optionalValue(row.e)};
    const Bytes encoded = m_itemLayout.encodeRow(values);
    if (!m_dataPage.tryAdd(encoded)) {
        flushDataPage();
        m_dataPage.tryAdd(encoded);
    }
    ++m_rowCount;
}

void ItemFileWriter::finish()
{
    if (!m_dataPage.empty()) {
        flushDataPage();
    }
    const std::uint32_t dataEnd = m_nextPage;
    std::vector<std::uint32_t> bitmapPages;
    for (std::uint32_t index = 0; index * PagesPerBitmapPage < dataEnd; ++index) {
        bitmapPages.push_back(m_nextPage);
        appendPage(makeUsageBitmapPage(index, FirstItemDataPage, dataEnd));
    }
    m_out.seekp(0);
    writePage(makeHeaderPage());
    writePage(usageMapsPage(bitmapPages));
    const TableLayout catalog = catalogLayout();
    writePage(catalog.definitionPage({CatalogRowCount, pageRowRef(UsageMapsPage, CatalogUsedPages),
                                      pageRowRef(UsageMapsPage, CatalogFreePages)}));
    writePage(catalogDataPage(catalog));
    writePage(m_itemLayout.definitionPage({m_rowCount, pageRowRef(UsageMapsPage, ItemUsedPages),
                                           pageRowRef(UsageMapsPage, ItemFreePages)}));
    m_out.flush();
    if (!m_out) {
        throw std::runtime_error("writing the output failed");
    }
}

void ItemFileWriter::flushDataPage()
{
    appendPage(m_dataPage.take());
}

void ItemFileWriter::appendPage(const Page &page)
{
    if (m_nextPage >= MaxPages) {
        throw std::length_error("the table exceeds the 2 GB size limit of a Jet 4 file");
    }
    writePage(page);
    ++m_nextPage;
}

void ItemFileWriter::writePage(const Page &page)
{
    m_out.write(reinterpret_cast<const char *>(page.data()), static_cast<std::streamsize>(page.size()));
    if (!m_out) {
        throw std::runtime_error("writing the output failed");
    }
}

} // namespace jet4
