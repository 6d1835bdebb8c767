#include "jet4/TableReader.h"

#include "jet4/Utf.h"

#include <algorithm>
#include <bit>
#include <set>
#include <string_view>

namespace jet4 {
namespace {

constexpr int MostOverflowHops = 8;

[[noreturn]] void damaged(const std::string &what)
{
    throw DamagedFile(what);
}

std::string pageName(std::uint32_t page)
{
    return "page " + std::to_string(page);
}

// Little-endian reads over one record, each checked against its end.
class Record {
public:
    Record(std::span<const std::uint8_t> bytes, std::string what)
        : bytes_(bytes), what_(std::move(what)) { }

    std::size_t size() const noexcept { return bytes_.size(); }
    const std::string &what() const noexcept { return what_; }

    std::span<const std::uint8_t> sub(std::size_t offset, std::size_t length) const
    {
        if (offset > bytes_.size() || length > bytes_.size() - offset) {
            damaged(what_ + " ends too early");
        }
        return bytes_.subspan(offset, length);
    }
    std::uint8_t u8(std::size_t offset) const { return sub(offset, 1)[0]; }
    std::uint16_t u16(std::size_t offset) const
    {
        const auto b = sub(offset, 2);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint32_t u32(std::size_t offset) const
    {
        const auto b = sub(offset, 4);
        return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::string what_;
};

class PageFile {
public:
    explicit PageFile(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
        checkHeader();
    }

    std::uint32_t pageCount() const noexcept { return static_cast<std::uint32_t>(bytes_.size() / PageSize); }

    Record page(std::uint32_t number, const std::string &what) const
    {
        if (number >= pageCount()) {
            damaged(what + " would be on " + pageName(number) + ", beyond the end of the file");
        }
        return Record(bytes_.subspan(std::size_t{number} * PageSize, PageSize), pageName(number) + " (" + what + ")");
    }

private:
    void checkHeader() const
    {
        if (bytes_.size() <= header::VersionOffset || !std::equal(header::Start.begin(), header::Start.end(), bytes_.begin(), [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
            throw NotJet4File("it does not start like a Jet database");
        }
        if (bytes_[header::VersionOffset] != header::Jet4Version) {
            throw NotJet4File("it is not in the Jet 4 format (version byte " + std::to_string(bytes_[header::VersionOffset]) + ")");
        }
        if (bytes_.size() % PageSize != 0) {
            damaged("its length, " + std::to_string(bytes_.size()) + " bytes, is not a whole number of pages");
        }
    }

    std::span<const std::uint8_t> bytes_;
};

std::u16string decodeCompressedText(std::span<const std::uint8_t> bytes)
{
    std::u16string text;
    bool oneByteMode = true;
    for (std::size_t i = 0; i < bytes.size();) {
        if (bytes[i] == CompressedTextToggle) {
            oneByteMode = !oneByteMode;
            ++i;
        } else if (oneByteMode) {
            text.push_back(bytes[i++]);
        } else if (i + 1 < bytes.size()) {
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
            i += 2;
        } else {
            damaged("a compressed text ends inside a character");
        }
    }
    return text;
}

std::vector<std::uint8_t> definitionBytes(const PageFile &file, std::uint32_t first, const std::string &table)
{
    const std::string what = "the definition of table " + table;
    std::vector<std::uint8_t> bytes;
    std::uint32_t number = first;
    for (std::uint32_t pages = 0;; ++pages) {
        const Record page = file.page(number, what);
        if (pages >= file.pageCount() || page.u8(0) != TableDefPageType) {
            damaged(page.what() + " is not a table definition page");
        }
        const auto content = bytes.empty() ? page.sub(0, PageSize) : page.sub(tabledef::ContinuationHeaderSize, PageSize - tabledef::ContinuationHeaderSize);
        bytes.insert(bytes.end(), content.begin(), content.end());
        number = page.u32(tabledef::NextPage);
        if (number == 0) {
            return bytes;
        }
    }
}

StoredColumn parseColumnEntry(const Record &entry)
{
    StoredColumn column;
    column.type = entry.u8(columnentry::Type);
    column.number = entry.u16(columnentry::Number);
    column.varIndex = entry.u16(columnentry::VarIndex);
    column.fixed = (entry.u8(columnentry::Flags) & columnentry::FixedLengthFlag) != 0;
    column.fixedOffset = entry.u16(columnentry::FixedOffset);
    column.length = entry.u16(columnentry::Length);
    return column;
}

// Each column has its own null-mask bit below the most columns a row can
// have, each variable-length column its own entry below their count.
void checkColumnPlaces(const TableDefinition &table, std::uint16_t mostColumns)
{
    std::set<std::uint16_t> numbers;
    std::set<std::uint16_t> varIndexes;
    for (const StoredColumn &column : table.columns) {
        const bool numberFree = column.number < mostColumns && numbers.insert(column.number).second;
        const bool varIndexFree = column.fixed || (column.varIndex < table.varColumnCount && varIndexes.insert(column.varIndex).second);
        if (!numberFree || !varIndexFree) {
            damaged("the definition of table " + table.name + " places two columns alike or out of range");
        }
    }
}

TableDefinition parseDefinition(const PageFile &file, std::uint32_t page, const std::string &name)
{
    const std::vector<std::uint8_t> bytes = definitionBytes(file, page, name);
    const Record definition(bytes, "the definition of table " + name);
    TableDefinition table;
    table.name = name;
    table.page = page;
    table.rowCount = definition.u32(tabledef::RowCount);
    table.varColumnCount = definition.u16(tabledef::VarColumnCount);
    const std::uint16_t columnCount = definition.u16(tabledef::ColumnCount);
    table.usedPagesMap = definition.u32(tabledef::UsedPagesMap);
    std::size_t offset = tabledef::HeaderSize + std::size_t{definition.u32(tabledef::RealIndexCount)} * tabledef::RealIndexEntrySize;
    for (std::uint16_t i = 0; i < columnCount; ++i, offset += columnentry::Size) {
        table.columns.push_back(parseColumnEntry(Record(definition.sub(offset, columnentry::Size), definition.what())));
    }
    for (StoredColumn &column : table.columns) {
        const std::uint16_t length = definition.u16(offset);
        column.name = decodeText(definition.sub(offset + 2, length));
        offset += 2 + std::size_t{length};
    }
    checkColumnPlaces(table, definition.u16(tabledef::MostColumns));
    return table;
}

bool belongsTo(const Record &page, const TableDefinition &table)
{
    return page.u8(0) == DataPageType && page.u32(datapage::OwnerDefPage) == table.page;
}

std::uint16_t rowCountOn(const Record &page)
{
    const std::uint16_t count = page.u16(datapage::RowCount);
    if (datapage::RowOffsets + 2 * std::size_t{count} > PageSize) {
        damaged(page.what() + " counts more rows than fit on it");
    }
    return count;
}

std::uint16_t rowEntry(const Record &page, std::uint16_t row)
{
    if (row >= rowCountOn(page)) {
        damaged(page.what() + " has no row " + std::to_string(row));
    }
    return page.u16(datapage::RowOffsets + 2 * std::size_t{row});
}

std::span<const std::uint8_t> rowBytes(const Record &page, std::uint16_t row)
{
    const std::size_t start = rowEntry(page, row) & datapage::RowOffsetMask;
    const std::size_t end = row == 0 ? PageSize : page.u16(datapage::RowOffsets + 2 * std::size_t{row - 1u}) & datapage::RowOffsetMask;
    if (start < datapage::RowOffsets + 2 * std::size_t{rowCountOn(page)} || start > end || end > PageSize) {
        damaged(page.what() + ": row " + std::to_string(row) + " lies outside the room for rows");
    }
    return page.sub(start, end - start);
}

void addMarkedPages(std::vector<std::uint32_t> &pages, std::span<const std::uint8_t> bitmap, std::uint64_t firstPage, const PageFile &file, const std::string &what)
{
    for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            if ((bitmap[byte] >> bit & 1u) == 0) {
                continue;
            }
            const std::uint64_t page = firstPage + byte * 8 + bit;
            if (page >= file.pageCount()) {
                damaged(what + " marks page " + std::to_string(page) + ", beyond the end of the file");
            }
            pages.push_back(static_cast<std::uint32_t>(page));
        }
    }
}

std::vector<std::uint32_t> usedPages(const PageFile &file, const TableDefinition &table)
{
    const std::string what = "the page usage map of table " + table.name;
    const Record page = file.page(table.usedPagesMap >> 8, what);
    if (page.u8(0) != DataPageType) {
        damaged(page.what() + " is not a data page");
    }
    const Record map(rowBytes(page, static_cast<std::uint16_t>(table.usedPagesMap & 0xFFu)), what);
    std::vector<std::uint32_t> pages;
    if (map.u8(0) == usagemap::Inline) {
        addMarkedPages(pages, map.sub(usagemap::InlineBitmap, map.size() - std::min(map.size(), usagemap::InlineBitmap)), map.u32(usagemap::InlineFirstPage), file, what);
        return pages;
    }
    if (map.u8(0) != usagemap::Indirect) {
        damaged(what + " is of an unknown kind");
    }
    for (std::size_t entry = 0; usagemap::IndirectPages + 4 * entry + 4 <= map.size(); ++entry) {
        const std::uint32_t bitmapPage = map.u32(usagemap::IndirectPages + 4 * entry);
        if (bitmapPage == 0) {
            continue;
        }
        const Record bitmap = file.page(bitmapPage, what);
        if (bitmap.u8(0) != UsageBitmapPageType) {
            damaged(bitmap.what() + " is not a usage bitmap page");
        }
        addMarkedPages(pages, bitmap.sub(usagemap::BitmapPageBitmap, PageSize - usagemap::BitmapPageBitmap), std::uint64_t{entry} * PagesPerBitmapPage, file, what);
    }
    return pages;
}

struct RowSource {
    std::uint32_t page;
    std::uint16_t row;
    bool throughPointer;

    std::uint64_t key() const noexcept { return std::uint64_t{page} << 16 | row; }
};

// An overflow row holds only the place of the row's bytes, a row of the same
// table on another page; that row counts once, in the pointer's place.
RowSource followOverflow(const PageFile &file, const TableDefinition &table, const Record &page, std::uint16_t row)
{
    std::span<const std::uint8_t> pointer = rowBytes(page, row);
    for (int hop = 0; hop < MostOverflowHops; ++hop) {
        const std::uint32_t ref = Record(pointer, page.what() + ": an overflow row").u32(0);
        const Record target = file.page(ref >> 8, "an overflow row of table " + table.name);
        if (!belongsTo(target, table)) {
            damaged(target.what() + " is not a data page of table " + table.name);
        }
        const auto targetRow = static_cast<std::uint16_t>(ref & 0xFFu);
        if ((rowEntry(target, targetRow) & datapage::OverflowRowFlag) == 0) {
            return RowSource{ref >> 8, targetRow, true};
        }
        pointer = rowBytes(target, targetRow);
    }
    damaged("the overflow rows of table " + table.name + " run in a circle");
}

std::vector<RowSource> rowSources(const PageFile &file, const TableDefinition &table)
{
    std::vector<RowSource> sources;
    std::set<std::uint64_t> overflowTargets;
    for (const std::uint32_t number : usedPages(file, table)) {
        const Record page = file.page(number, "a data page of table " + table.name);
        if (!belongsTo(page, table)) {
            continue;
        }
        const std::uint16_t count = rowCountOn(page);
        for (std::uint16_t row = 0; row < count; ++row) {
            const std::uint16_t entry = rowEntry(page, row);
            if ((entry & datapage::DeletedRowFlag) != 0) {
                continue;
            }
            if ((entry & datapage::OverflowRowFlag) != 0) {
                sources.push_back(followOverflow(file, table, page, row));
                overflowTargets.insert(sources.back().key());
            } else {
                sources.push_back(RowSource{number, row, false});
            }
        }
    }
    std::erase_if(sources, [&overflowTargets](const RowSource &source) { return !source.throughPointer && overflowTargets.contains(source.key()); });
    if (sources.size() != table.rowCount) {
        damaged("table " + table.name + " records " + std::to_string(table.rowCount) + " rows, but " + std::to_string(sources.size()) + " were found");
    }
    return sources;
}

// Where a row keeps its values: fixed area, variable data and its offsets,
// null mask, all laid out from the row's two ends.
class RowLayout {
public:
    RowLayout(std::span<const std::uint8_t> bytes, const TableDefinition &table, const std::string &where)
        : row_(bytes, where)
    {
        rowColumns_ = row_.u16(0);
        const std::size_t maskLength = (std::size_t{rowColumns_} + 7) / 8;
        if (row_.size() < 2 + maskLength) {
            damaged(where + " is shorter than its null mask");
        }
        maskStart_ = row_.size() - maskLength;
        fixedEnd_ = maskStart_;
        if (table.varColumnCount > 0) {
            readVarOffsets(where);
        }
    }

    bool notNull(const StoredColumn &column) const
    {
        return column.number < rowColumns_ && (row_.u8(maskStart_ + column.number / 8u) >> (column.number % 8u) & 1u) != 0;
    }

    std::span<const std::uint8_t> fixedBytes(const StoredColumn &column, std::size_t length) const
    {
        const std::size_t start = 2 + std::size_t{column.fixedOffset};
        if (start + length > fixedEnd_) {
            damaged(row_.what() + ": a fixed-length value reaches past the fixed area");
        }
        return row_.sub(start, length);
    }

    // Empty optional when the row was stored before the column existed.
    std::optional<std::span<const std::uint8_t>> varBytes(const StoredColumn &column) const
    {
        if (column.varIndex + 1u >= varOffsets_.size()) {
            return std::nullopt;
        }
        const std::size_t start = varOffsets_[column.varIndex];
        return row_.sub(start, varOffsets_[column.varIndex + 1u] - start);
    }

private:
    void readVarOffsets(const std::string &where)
    {
        const std::size_t count = row_.u16(maskStart_ - std::min<std::size_t>(maskStart_, 2));
        const std::size_t tableStart = maskStart_ - 2 - 2 * (count + 1);
        if (maskStart_ < 4 + 2 * (count + 1)) {
            damaged(where + " has more variable-length values than room for their offsets");
        }
        for (std::size_t i = 0; i <= count; ++i) {
            varOffsets_.push_back(row_.u16(maskStart_ - 4 - 2 * i));
        }
        fixedEnd_ = varOffsets_.front();
        if (fixedEnd_ < 2 || !std::is_sorted(varOffsets_.begin(), varOffsets_.end()) || varOffsets_.back() > tableStart) {
            damaged(where + " has variable-length values out of order");
        }
    }

    Record row_;
    std::uint16_t rowColumns_ = 0;
    std::size_t maskStart_ = 0;
    std::size_t fixedEnd_ = 0;
    std::vector<std::size_t> varOffsets_;
};

template <typename T>
T fixedValue(const RowLayout &row, const StoredColumn &column)
{
    using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::conditional_t<sizeof(T) == 4, std::uint32_t, std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint8_t>>>;
    const auto bytes = row.fixedBytes(column, sizeof(T));
    Bits bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) {
        bits = static_cast<Bits>((std::uint64_t{bits} << 8) | bytes[i]);
    }
    return std::bit_cast<T>(bits);
}

StoredValue textValue(const RowLayout &row, const StoredColumn &column, const std::string &where)
{
    const auto bytes = row.varBytes(column);
    if (!bytes) {
        return std::monostate{};
    }
    std::u16string text = decodeText(*bytes);
    if (text.size() > column.length / 2u) {
        damaged(where + ": a text is longer than its column");
    }
    return text;
}

StoredValue decodeValue(const RowLayout &row, const StoredColumn &column, const std::string &where)
{
    if (column.type == stored::Bool) {
        return std::int64_t{row.notNull(column)};
    }
    if (!row.notNull(column)) {
        return std::monostate{};
    }
    switch (column.type) {
    case stored::Byte:
        return std::int64_t{fixedValue<std::uint8_t>(row, column)};
    case stored::Integer:
        return std::int64_t{fixedValue<std::int16_t>(row, column)};
    case stored::Long:
        return std::int64_t{fixedValue<std::int32_t>(row, column)};
    case stored::Single:
        return double{fixedValue<float>(row, column)};
    case stored::Double:
        return fixedValue<double>(row, column);
    case stored::Text:
        return textValue(row, column, where);
    default:
        damaged(where + ": a column of type " + std::to_string(column.type) + " cannot be read");
    }
}

bool isReadableType(std::uint8_t type)
{
    return type == stored::Bool || type == stored::Byte || type == stored::Integer || type == stored::Long
        || type == stored::Single || type == stored::Double || type == stored::Text;
}

bool sameNameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
    return std::ranges::equal(a, b, [&fold](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

const StoredColumn &catalogColumn(const TableDefinition &catalog, std::u16string_view name, std::uint8_t type, const char *label)
{
    const auto found = std::ranges::find_if(catalog.columns, [&](const StoredColumn &c) { return c.name == name && c.type == type; });
    if (found == catalog.columns.end()) {
        damaged(std::string("the catalog has no column ") + label);
    }
    return *found;
}

std::string rowName(const TableDefinition &table, const RowSource &source)
{
    return pageName(source.page) + ", row " + std::to_string(source.row) + " of table " + table.name;
}

std::uint32_t findTableDefinitionPage(const PageFile &file, std::string_view tableName)
{
    const TableDefinition catalog = parseDefinition(file, CatalogDefPage, "MSysObjects");
    const StoredColumn &id = catalogColumn(catalog, u"Id", stored::Long, "Id");
    const StoredColumn &name = catalogColumn(catalog, u"Name", stored::Text, "Name");
    const StoredColumn &type = catalogColumn(catalog, u"Type", stored::Integer, "Type");
    const std::u16string wanted = utf8ToUtf16(tableName).value_or(std::u16string());
    for (const RowSource &source : rowSources(file, catalog)) {
        const std::string where = rowName(catalog, source);
        const RowLayout row(rowBytes(file.page(source.page, where), source.row), catalog, where);
        const StoredValue objectType = decodeValue(row, type, where);
        const StoredValue objectName = decodeValue(row, name, where);
        const StoredValue objectId = decodeValue(row, id, where);
        if (objectType == StoredValue{std::int64_t{TableObjectType}} && std::holds_alternative<std::u16string>(objectName)
            && sameNameIgnoringCase(std::get<std::u16string>(objectName), wanted) && std::holds_alternative<std::int64_t>(objectId)) {
            return static_cast<std::uint32_t>(std::get<std::int64_t>(objectId)) & ObjectIdPageMask;
        }
    }
    throw MissingTable("it has no table \"" + std::string(tableName) + "\"");
}

} // namespace

std::u16string decodeText(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() >= CompressedTextMarker.size() && std::ranges::equal(bytes.first(CompressedTextMarker.size()), CompressedTextMarker)) {
        return decodeCompressedText(bytes.subspan(CompressedTextMarker.size()));
    }
    if (bytes.size() % 2 != 0) {
        damaged("a text has an odd number of bytes");
    }
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

TableReader::TableReader(std::span<const std::uint8_t> file, std::string_view tableName)
    : file_(file)
{
    const PageFile pages(file_);
    table_ = parseDefinition(pages, findTableDefinitionPage(pages, tableName), std::string(tableName));
    for (const StoredColumn &column : table_.columns) {
        if (!isReadableType(column.type) || (column.type == stored::Text) == column.fixed) {
            damaged("column " + std::to_string(column.number) + " of table " + table_.name + " has type " + std::to_string(column.type) + ", which cannot be read");
        }
    }
}

void TableReader::forEachRow(const std::function<void(std::span<const StoredValue>)> &onRow) const
{
    const PageFile pages(file_);
    std::vector<StoredValue> values(table_.columns.size());
    for (const RowSource &source : rowSources(pages, table_)) {
        const std::string where = rowName(table_, source);
        const RowLayout row(rowBytes(pages.page(source.page, where), source.row), table_, where);
        std::ranges::transform(table_.columns, values.begin(), [&](const StoredColumn &column) { return decodeValue(row, column, where); });
        onRow(values);
    }
}

} // namespace jet4
