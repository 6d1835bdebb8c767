#pragma once

#include "cli/OutputBuffer.h"
#include "query/ListFormat.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace realm::cli {

enum class OutputFormat { Tsv,
                          Csv,
                          Json,
                          Xlsx };

// One row's cells as the list shows them; a cell without a value is not set.
using Cells = std::vector<ListFormat::ShownCell>;

// Writes rows of fixed columns in one format. Nothing is written before the
// first row or `finish`, so a search that fails leaves the output empty.
class TableWriter {
public:
    TableWriter(const QStringList &columns, OutputBuffer &out);
    virtual ~TableWriter() = default;

    const std::vector<std::string> &columns() const { return m_columns; }
    void writeRow(const Cells &cells);
    // Ends the table (also one without rows) and writes out the buffer.
    void finish();
    // Ends a table that lacks rows, after a stop or a failure: the rows
    // written stay, except in a file that is kept only whole.
    virtual void finishIncomplete() { finish(); }
    bool wroteRows() const { return m_rowsWritten > 0; }
    // Why the rows could not be written where they go; empty while they
    // can (the output buffer tells of its own failures).
    virtual QString failure() const { return {}; }

protected:
    virtual void writeStart() = 0;
    virtual void writeCells(const Cells &cells) = 0;
    virtual void writeEnd() = 0;

    OutputBuffer &out() { return m_out; }
    qint64 rowsWritten() const { return m_rowsWritten; }

private:
    void startOnce();

    std::vector<std::string> m_columns;
    OutputBuffer &m_out;
    bool m_started = false;
    qint64 m_rowsWritten = 0;
};

// A writer of `format` to `out`; an xlsx writer writes the file `path`
// instead.
std::unique_ptr<TableWriter> makeTableWriter(OutputFormat format, const QStringList &columns, OutputBuffer &out,
                                             const QString &path = {});

} // namespace realm::cli
