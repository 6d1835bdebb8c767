#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <string>
#include <vector>

class QTemporaryFile;
struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace realm::spreadsheet {

// One worksheet written as an .xlsx file a row at a time, in constant
// memory: the header row bold and frozen, every cell as the list shows it,
// columns as wide as their longest text. Texts are stored as texts, never
// as formulas, so nothing in them runs. The file is written beside the
// target and put in its place only by commit(); a writer destroyed before
// that, or after a failure, leaves whatever stood there before.
class SheetWriter {
public:
    // Data rows a worksheet holds below its header row.
    static constexpr int MaxRows = 1048575;

    explicit SheetWriter(const QString &path);
    ~SheetWriter();
    SheetWriter(const SheetWriter &) = delete;
    SheetWriter &operator=(const SheetWriter &) = delete;

    void writeHeader(const QStringList &captions);
    // A cell of the row being written, as the list shows it: a plain
    // decimal that a spreadsheet shows exactly so becomes a number,
    // anything else (such as "+12" or "007") a text; an empty text leaves
    // the cell empty.
    void writeCell(int column, QStringView shown);
    // The next writeCell calls go to the next row.
    void endRow();
    // Completes the file and puts it in the target's place.
    bool commit();

    bool failed() const { return !m_failure.isEmpty(); }
    // Why the file was not written, in words for the user.
    const QString &failure() const { return m_failure; }

private:
    void open();
    void fail(const QString &message);
    void noteWidth(int column, QStringView text, int extra = 0);
    void setColumnWidths();
    bool sheetDataWritten() const;
    bool replaceTarget();
    const char *utf8(QStringView text);

    QString m_target;
    std::unique_ptr<QTemporaryFile> m_temporary;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_bold = nullptr;
    int m_row = 0; // the sheet row being written; 0 is the header
    std::vector<int> m_widths;
    std::string m_utf8;
    QString m_escaped;
    QString m_failure;
};

} // namespace realm::spreadsheet
