#include "ItemFileWriter.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace jet4 {
namespace {

// Both readers look for the catalog (MSysObjects) definition on page 2;
// the other fixed pages follow it.
constexpr std::uint32_t kUsageMapsPage = 1;
constexpr std::uint32_t kCatalogDefPage = 2;
constexpr std::uint32_t kCatalogDataPage = 3;
constexpr std::uint32_t kItemDefPage = 4;
constexpr std::uint32_t kFirstItemDataPage = 5;

// Jet 4 files are limited to 2 GB.
constexpr std::uint32_t kMaxPages = 0x80000000u / kPageSize;

// Catalog flags that mark a table as a system table.
constexpr std::int32_t kSystemObjectFlags = static_cast<std::int32_t>(0x80000002u);
constexpr std::int16_t kTableObjectType = 1; // catalog Type of a table

constexpr std::uint32_t kCatalogRowCount = 2; // MSysObjects and item

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
        static_cast<std::int32_t>(defPage), name, kTableObjectType, flags, std::monostate{}};
    return catalog.encodeRow(values);
}

Page catalogDataPage(const TableLayout &catalog)
{
    DataPageBuilder page(kCatalogDefPage);
    page.tryAdd(catalogRow(catalog, kCatalogDefPage, u"MSysObjects", kSystemObjectFlags));
    page.tryAdd(catalogRow(catalog, kItemDefPage, u"item", 0));
    return page.take();
}

Page usageMapsPage(std::span<const std::uint32_t> itemBitmapPages)
{
    const std::array<std::uint32_t, 1> catalogPages = {kCatalogDataPage};
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
    : out_(out), itemLayout_(itemTableLayout()), dataPage_(kItemDefPage), nextPage_(0)
{
    const Page placeholder{};
    while (nextPage_ < kFirstItemDataPage) {
        appendPage(placeholder);
    }
}

void ItemFileWriter::append(const ItemRow &row)
{
    const std::array<FieldValue, 3> values = {optionalValue(row.id), optionalValue(row.c), optionalValue(row.e)};
    const Bytes encoded = itemLayout_.encodeRow(values);
    if (!dataPage_.tryAdd(encoded)) {
        flushDataPage();
        dataPage_.tryAdd(encoded);
    }
    ++rowCount_;
}

void ItemFileWriter::finish()
{
    if (!dataPage_.empty()) {
        flushDataPage();
    }
    const std::uint32_t dataEnd = nextPage_;
    std::vector<std::uint32_t> bitmapPages;
    for (std::uint32_t index = 0; index * kPagesPerBitmapPage < dataEnd; ++index) {
        bitmapPages.push_back(nextPage_);
        appendPage(makeUsageBitmapPage(index, kFirstItemDataPage, dataEnd));
    }
    out_.seekp(0);
    writePage(makeHeaderPage());
    writePage(usageMapsPage(bitmapPages));
    const TableLayout catalog = catalogLayout();
    writePage(catalog.definitionPage({kCatalogRowCount, pageRowRef(kUsageMapsPage, CatalogUsedPages),
                                      pageRowRef(kUsageMapsPage, CatalogFreePages)}));
    writePage(catalogDataPage(catalog));
    writePage(itemLayout_.definitionPage({rowCount_, pageRowRef(kUsageMapsPage, ItemUsedPages),
                                          pageRowRef(kUsageMapsPage, ItemFreePages)}));
    out_.flush();
    if (!out_) {
        throw std::runtime_error("writing the output failed");
    }
}

void ItemFileWriter::flushDataPage()
{
    appendPage(dataPage_.take());
}

void ItemFileWriter::appendPage(const Page &page)
{
    if (nextPage_ >= kMaxPages) {
        throw std::length_error("the table exceeds the 2 GB size limit of a Jet 4 file");
    }
    writePage(page);
    ++nextPage_;
}

void ItemFileWriter::writePage(const Page &page)
{
    out_.write(reinterpret_cast<const char *>(page.data()), static_cast<std::streamsize>(page.size()));
    if (!out_) {
        throw std::runtime_error("writing the output failed");
    }
}

} // namespace jet4
