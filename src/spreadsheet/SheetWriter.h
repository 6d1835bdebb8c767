#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <string_view>
#include <vector>

class QIODevice;
class QTemporaryFile;

namespace realm::spreadsheet {

class DeflateStream;

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
    void failWriting();
    void noteWidth(int column, QStringView text, int extra = 0);
    void startCell(int column);
    void writeText(int column, QStringView text, const char *style);
    void writeNumber(int column, QStringView text);
    void makeRoom(std::size_t bytes);
    void append(std::string_view bytes);
    void appendNumber(int number);
    void passRowsOn();
    bool copyRows(QIODevice &out);
    bool pack();
    bool replaceTarget();

    QString m_target;
    // The file that commit() puts in the target's place.
    std::unique_ptr<QTemporaryFile> m_temporary;
    // The rows, deflated as they come, until commit() packs them.
    std::unique_ptr<QTemporaryFile> m_rowsFile;
    std::unique_ptr<DeflateStream> m_rows;
    // The rows' XML on its way to m_rows.
    std::vector<char> m_xml;
    std::size_t m_xmlUsed = 0;
    int m_row = 0; // the sheet row being written; 0 is the header
    bool m_rowStarted = false;
    int m_lastRowStarted = -1;
    int m_nextColumn = 0; // where a cell without a reference goes
    int m_lastColumn = -1;
    std::vector<int> m_widths;
    QString m_failure;
};

} // namespace realm::spreadsheet
