#pragma once

#include <string>
#include <vector>

namespace realm::spreadsheet {

class ZipPacker;

// Where the one worksheet's XML goes in the package.
inline constexpr char SheetPartName[] = "xl/worksheets/sheet1.xml";
// The style index of the header row's bold cells.
inline constexpr char BoldStyle[] = "1";

// The package's parts but the worksheet: content types, relationships,
// the workbook and its styles.
void addWorkbookParts(ZipPacker &zip);

// The worksheet's columns and rows that hold cells, for the part's head.
struct SheetExtent {
    int lastColumn = -1; // counted from 0; -1 when no cell was written
    int lastRow = -1;
    std::vector<int> widths; // a column's width in characters
};

// The worksheet up to its first row: the cells it spans, the frozen header
// row, the column widths, the start of the rows.
std::string sheetHead(const SheetExtent &extent);
// What follows the last row.
inline constexpr char SheetTail[] = "</sheetData></worksheet>";

// "A", "B", ... "Z", "AA": a column's name in a cell reference.
std::string columnName(int column);

} // namespace realm::spreadsheet
