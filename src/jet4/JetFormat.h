#pragma once

// The Jet 4 file layout the reader and the writer both follow: page types,
// where each field sits on a page, in a table definition and in a column
// entry, and the codes stored in them. Offsets count bytes from the start of
// the page, definition or entry they belong to.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jet4 {

inline constexpr std::size_t PageSize = 4096;

// The first byte of a page; Jet writes 0x01 in the second.
inline constexpr std::uint8_t DataPageType = 0x01;
inline constexpr std::uint8_t TableDefPageType = 0x02;
inline constexpr std::uint8_t UsageBitmapPageType = 0x05;
inline constexpr std::uint8_t PageSecondByte = 0x01;

// Page 0, the database definition page.
namespace header {
// The format number 0x100 and the engine's name, NUL-terminated.
inline constexpr std::string_view Start{"\0\1\0\0Standard Jet DB\0", 20};
inline constexpr std::size_t VersionOffset = 0x14;
inline constexpr std::uint8_t Jet4Version = 0x01;
} // namespace header

// Sort order of the texts and of the database: General.
inline constexpr std::uint16_t GeneralSortOrder = 0x0409;

// Column types as Jet stores them.
namespace stored {
inline constexpr std::uint8_t Bool = 0x01;
inline constexpr std::uint8_t Byte = 0x02;
inline constexpr std::uint8_t Integer = 0x03;
inline constexpr std::uint8_t Long = 0x04;
inline constexpr std::uint8_t Single = 0x06;
inline constexpr std::uint8_t Double = 0x07;
inline constexpr std::uint8_t Text = 0x0A;
inline constexpr std::uint8_t LongBinary = 0x0B;
} // namespace stored

// Longest text a Text(255) column holds, counted in UTF-16 code units.
inline constexpr std::size_t MaxTextLength = 255;

// Stored text that starts with these bytes is in the compressed form, which
// starts with one byte a code unit; each toggle byte switches between one
// and two bytes a code unit.
inline constexpr std::array<std::uint8_t, 2> CompressedTextMarker = {0xFF, 0xFE};
inline constexpr std::uint8_t CompressedTextToggle = 0x00;

// A data page: row offsets follow the header, the rows fill from the end.
namespace datapage {
inline constexpr std::size_t FreeSpace = 2;
inline constexpr std::size_t OwnerDefPage = 4; // the table's definition page
inline constexpr std::size_t RowCount = 12;
inline constexpr std::size_t RowOffsets = 14;
// The high bits of a row offset.
inline constexpr std::uint16_t DeletedRowFlag = 0x8000;
inline constexpr std::uint16_t OverflowRowFlag = 0x4000;
inline constexpr std::uint16_t RowOffsetMask = 0x1FFF;
} // namespace datapage

// A table definition, which may run on over further definition pages.
namespace tabledef {
inline constexpr std::size_t FreeSpace = 2;
inline constexpr std::size_t NextPage = 4; // 0 on the last page
inline constexpr std::size_t Length = 8;
inline constexpr std::size_t ContinuationHeaderSize = 8; // of each page after the first
inline constexpr std::size_t RowCount = 16;
inline constexpr std::size_t TableType = 40;
inline constexpr std::size_t MostColumns = 41; // most columns a row can have
inline constexpr std::size_t VarColumnCount = 43;
inline constexpr std::size_t ColumnCount = 45;
inline constexpr std::size_t RealIndexCount = 51;
inline constexpr std::size_t UsedPagesMap = 55; // page << 8 | row of the usage map
inline constexpr std::size_t FreePagesMap = 59;
inline constexpr std::size_t HeaderSize = 63;
inline constexpr std::size_t RealIndexEntrySize = 12; // they come before the columns
inline constexpr std::uint8_t UserTable = 0x4E;
inline constexpr std::uint8_t SystemTable = 0x53;
} // namespace tabledef

// One column's entry in a table definition.
namespace columnentry {
inline constexpr std::size_t Size = 25;
inline constexpr std::size_t Type = 0;
inline constexpr std::size_t Number = 5; // bit of the null mask
inline constexpr std::size_t VarIndex = 7; // entry of the variable-data table
inline constexpr std::size_t Index = 9;
inline constexpr std::size_t SortOrder = 11;
inline constexpr std::size_t Flags = 15;
inline constexpr std::size_t FixedOffset = 21; // from the end of the column count
inline constexpr std::size_t Length = 23;
inline constexpr std::uint8_t FixedLengthFlag = 0x01;
inline constexpr std::uint8_t NullableFlag = 0x02;
} // namespace columnentry

// A usage map row: its kind, then an inline bitmap or the bitmap pages.
namespace usagemap {
inline constexpr std::uint8_t Inline = 0x00;
inline constexpr std::uint8_t Indirect = 0x01;
inline constexpr std::size_t InlineFirstPage = 1; // the page bit 0 marks
inline constexpr std::size_t InlineBitmap = 5;
inline constexpr std::size_t IndirectPages = 1;
inline constexpr std::size_t BitmapPageBitmap = 4; // on a usage bitmap page
} // namespace usagemap

// Pages one usage bitmap page can mark.
inline constexpr std::uint32_t PagesPerBitmapPage = (PageSize - usagemap::BitmapPageBitmap) * 8;

// The catalog, MSysObjects, has its definition on this page in every file.
inline constexpr std::uint32_t CatalogDefPage = 2;
// The catalog's Type of a table, and the part of its Id that is the page of
// the table's definition.
inline constexpr std::int16_t TableObjectType = 1;
inline constexpr std::uint32_t ObjectIdPageMask = 0x00FFFFFF;

} // namespace jet4
