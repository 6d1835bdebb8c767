#pragma once

#include "ui/DelimitedText.h"

#include <QString>

#include <functional>

class QAbstractItemModel;

namespace realm::ui {

enum class ExportFormat { Csv,
                          TabText,
                          Xlsx };

struct ExportOutcome {
    enum class Status { Written,
                        Stopped,
                        Failed };
    Status status = Status::Written;
    int rowCount = 0;
    // Why the file was not written, for a failed export.
    QString message;
};

// Writes the header line and every row of `rows` as a spreadsheet reads
// them. Delimited text: UTF-8 with a byte-order mark, CRLF line ends,
// quoted fields, and an apostrophe before cells a spreadsheet would take as
// a formula. Xlsx: a worksheet with every cell as the list shows it, numbers
// as numbers, texts as texts (never formulas), the header bold and frozen,
// at most SheetWriter::MaxRows rows. The file
// appears under `path` only when complete; a stopped or failed export leaves
// whatever stood there before. A path that is a device, a FIFO or a socket
// (links followed) fails the export untouched. `progress` is called now and
// then with the rows written so far and returns false to stop. Rows the
// model gains meanwhile are not written; a model that loses rows or is reset
// fails the export.
ExportOutcome exportRows(const QAbstractItemModel &rows, ExportFormat format, const QString &path,
                         const std::function<bool(int)> &progress = {});

} // namespace realm::ui
