#include "spreadsheet/WorkbookParts.h"

#include "spreadsheet/ZipPacker.h"

#include <algorithm>

namespace realm::spreadsheet {

namespace {

#define REALM_XML_DECLARATION "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
#define REALM_MAIN_NAMESPACE "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
#define REALM_RELATIONSHIPS "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
#define REALM_PACKAGE_RELATIONSHIPS "http://schemas.openxmlformats.org/package/2006/relationships"
#define REALM_CONTENT_TYPE "application/vnd.openxmlformats-officedocument.spreadsheetml."

constexpr char ContentTypes[] = REALM_XML_DECLARATION
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" REALM_CONTENT_TYPE "sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" REALM_CONTENT_TYPE "worksheet+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\" ContentType=\"" REALM_CONTENT_TYPE "styles+xml\"/>"
    "</Types>";

constexpr char PackageRelationships[] = REALM_XML_DECLARATION
    "<Relationships xmlns=\"" REALM_PACKAGE_RELATIONSHIPS "\">"
    "<Relationship Id=\"rId1\" Type=\"" REALM_RELATIONSHIPS "/officeDocument\" Target=\"xl/workbook.xml\"/>"
    "</Relationships>";

constexpr char Workbook[] = REALM_XML_DECLARATION
    "<workbook xmlns=\"" REALM_MAIN_NAMESPACE "\" xmlns:r=\"" REALM_RELATIONSHIPS "\">"
    "<bookViews><workbookView/></bookViews>"
    "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
    "</workbook>";

constexpr char WorkbookRelationships[] = REALM_XML_DECLARATION
    "<Relationships xmlns=\"" REALM_PACKAGE_RELATIONSHIPS "\">"
    "<Relationship Id=\"rId1\" Type=\"" REALM_RELATIONSHIPS "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"" REALM_RELATIONSHIPS "/styles\" Target=\"styles.xml\"/>"
    "</Relationships>";

// Style 0 plain, style 1 bold.
constexpr char Styles[] = REALM_XML_DECLARATION
    "<styleSheet xmlns=\"" REALM_MAIN_NAMESPACE "\">"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

// The frozen first row: the pane below it scrolls, from A2 on.
constexpr char SheetStart[] = REALM_XML_DECLARATION
    "<worksheet xmlns=\"" REALM_MAIN_NAMESPACE "\" xmlns:r=\"" REALM_RELATIONSHIPS "\">";
constexpr char SheetViews[] = "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\">"
                              "<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
                              "<selection pane=\"bottomLeft\"/></sheetView></sheetViews>"
                              "<sheetFormatPr defaultRowHeight=\"15\"/>";

// A spreadsheet's column width counts the cell's padding too: 5 pixels,
// in digits 7 pixels wide, rounded down to 1/256 as the format keeps it.
constexpr char PaddingFraction[] = ".7109375";
// Narrower columns would cut short even the numbers.
constexpr int NarrowestColumn = 6;
constexpr int ColumnMargin = 2;

std::string dimension(const SheetExtent &extent)
{
    std::string element = "<dimension ref=\"A1";
    if (extent.lastColumn > 0 || extent.lastRow > 0)
        element += ':' + columnName(extent.lastColumn) + std::to_string(extent.lastRow + 1);
    return element + "\"/>";
}

std::string columns(const std::vector<int> &widths)
{
    if (widths.empty())
        return {};
    std::string element = "<cols>";
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const std::string number = std::to_string(column + 1);
        const int width = std::max(widths[column], NarrowestColumn) + ColumnMargin;
        element += "<col min=\"" + number + "\" max=\"" + number + "\" width=\"" + std::to_string(width) + PaddingFraction
            + "\" customWidth=\"1\"/>";
    }
    return element + "</cols>";
}

} // namespace

void addWorkbookParts(ZipPacker &zip)
{
    zip.add("[Content_Types].xml", ContentTypes);
    zip.add("_rels/.rels", PackageRelationships);
    zip.add("xl/workbook.xml", Workbook);
    zip.add("xl/_rels/workbook.xml.rels", WorkbookRelationships);
    zip.add("xl/styles.xml", Styles);
}

std::string sheetHead(const SheetExtent &extent)
{
    return SheetStart + dimension(extent) + SheetViews + columns(extent.widths) + "<sheetData>";
}

std::string columnName(int column)
{
    std::string name;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        name.insert(name.begin(), char('A' + (rest - 1) % 26));
    return name;
}

} // namespace realm::spreadsheet
