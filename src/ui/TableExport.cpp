#include "ui/TableExport.h"

#include "data/RegularFile.h"
#include "spreadsheet/SheetWriter.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

namespace realm::ui {

namespace {

constexpr int RowsPerProgress = 16384;
constexpr qsizetype FlushChars = 1 << 19;

QString tr(const char *text)
{
    return QCoreApplication::translate("TableExport", text);
}

ExportOutcome failed(const QString &message)
{
    return {ExportOutcome::Status::Failed, 0, message};
}

// Plain words for the cases a user can do something about.
QString openFailure(const QString &path, const QString &reason)
{
    const QFileInfo target(path);
    if (target.isDir())
        return tr("“%1” 是一个文件夹，请换一个文件名。").arg(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return tr("文件夹 “%1” 不存在。").arg(folder.filePath());
    return tr("无法在文件夹 “%1” 中写入文件（%2）。").arg(folder.filePath(), reason);
}

QString writeFailure(const QString &path, const QString &reason)
{
    return tr("写入 “%1” 失败，磁盘可能已满（%2）。未留下文件。").arg(path, reason);
}

// Lines gathered as text and turned into UTF-8 a large piece at a time.
class DelimitedWriter {
public:
    DelimitedWriter(const QAbstractItemModel &rows, Delimiter delimiter, QSaveFile &file)
        : m_rows(rows), m_separator(delimiter == Delimiter::Comma ? u',' : u'\t'), m_delimiter(delimiter), m_file(file)
    {
        m_text.reserve(FlushChars + 4096);
        m_text += QChar(0xFEFF);
    }

    void appendHeader()
    {
        for (int column = 0; column < m_rows.columnCount(); ++column)
            appendCell(m_rows.headerData(column, Qt::Horizontal).toString(), column);
        m_text += u"\r\n";
    }

    void appendRow(int row)
    {
        for (int column = 0; column < m_rows.columnCount(); ++column)
            appendCell(m_rows.index(row, column).data().toString(), column);
        m_text += u"\r\n";
    }

    // Writes what was gathered once there is enough of it, or `always`.
    bool write(bool always = false)
    {
        if (!always && m_text.size() < FlushChars)
            return true;
        const QByteArray bytes = m_text.toUtf8();
        m_text.clear();
        return m_file.write(bytes) == bytes.size();
    }

    bool finish() { return write(true) && m_file.commit(); }
    QString failure() const { return writeFailure(m_file.fileName(), m_file.errorString()); }

private:
    void appendCell(const QString &text, int column)
    {
        if (column > 0)
            m_text += m_separator;
        appendField(m_text, guardFormula(text), m_delimiter);
    }

    const QAbstractItemModel &m_rows;
    QChar m_separator;
    Delimiter m_delimiter;
    QSaveFile &m_file;
    QString m_text;
};

// The rows into a worksheet, each cell as the list shows it.
class XlsxWriter {
public:
    XlsxWriter(const QAbstractItemModel &rows, const QString &path)
        : m_rows(rows), m_sheet(path) { }

    void appendHeader()
    {
        QStringList captions;
        for (int column = 0; column < m_rows.columnCount(); ++column)
            captions << m_rows.headerData(column, Qt::Horizontal).toString();
        m_sheet.writeHeader(captions);
    }

    void appendRow(int row)
    {
        for (int column = 0; column < m_rows.columnCount(); ++column)
            m_sheet.writeCell(column, m_rows.index(row, column).data().toString());
        m_sheet.endRow();
    }

    bool write() const { return !m_sheet.failed(); }
    bool finish() { return m_sheet.commit(); }
    QString failure() const { return m_sheet.failure(); }

private:
    const QAbstractItemModel &m_rows;
    spreadsheet::SheetWriter m_sheet;
};

// Notes when the rows being written change under the export.
class ChangeWatch {
public:
    explicit ChangeWatch(const QAbstractItemModel &rows)
    {
        const auto changed = [this] { m_changed = true; };
        m_connections = {QObject::connect(&rows, &QAbstractItemModel::modelAboutToBeReset, changed),
                         QObject::connect(&rows, &QAbstractItemModel::layoutAboutToBeChanged, changed),
                         QObject::connect(&rows, &QAbstractItemModel::rowsAboutToBeRemoved, changed),
                         QObject::connect(&rows, &QAbstractItemModel::rowsAboutToBeMoved, changed)};
    }
    ~ChangeWatch()
    {
        for (const QMetaObject::Connection &connection : m_connections)
            QObject::disconnect(connection);
    }
    ChangeWatch(const ChangeWatch &) = delete;
    ChangeWatch &operator=(const ChangeWatch &) = delete;

    bool changed() const { return m_changed; }

private:
    QList<QMetaObject::Connection> m_connections;
    bool m_changed = false;
};

// The header and every row through `writer`, stopping when asked or when
// the rows change under it.
template <typename Writer>
ExportOutcome writeRows(const QAbstractItemModel &rows, Writer &writer, const std::function<bool(int)> &progress)
{
    const ChangeWatch watch(rows);
    const int rowCount = rows.rowCount();
    writer.appendHeader();
    for (int row = 0; row < rowCount; ++row) {
        if (row % RowsPerProgress == 0 && progress && !progress(row))
            return {ExportOutcome::Status::Stopped, row, {}};
        if (watch.changed())
            return failed(tr("导出时列表被新的查询替换，未写入文件。"));
        writer.appendRow(row);
        if (!writer.write())
            return failed(writer.failure());
    }
    if (!writer.finish())
        return failed(writer.failure());
    return {ExportOutcome::Status::Written, rowCount, {}};
}

ExportOutcome exportDelimited(const QAbstractItemModel &rows, Delimiter delimiter, const QString &path,
                              const std::function<bool(int)> &progress)
{
    QSaveFile file(path);
    // Unbuffered: a buffered save file commits even when its last flush
    // failed short of space, leaving a cut-off file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(openFailure(path, file.errorString()));
    DelimitedWriter writer(rows, delimiter, file);
    return writeRows(rows, writer, progress);
}

ExportOutcome exportXlsx(const QAbstractItemModel &rows, const QString &path, const std::function<bool(int)> &progress)
{
    XlsxWriter writer(rows, path);
    if (!writer.write())
        return failed(writer.failure());
    return writeRows(rows, writer, progress);
}

} // namespace

ExportOutcome exportRows(const QAbstractItemModel &rows, ExportFormat format, const QString &path,
                         const std::function<bool(int)> &progress)
{
    if (QFileInfo(path).isDir())
        return failed(openFailure(path, {}));
    // The save file would put a regular file in the place of a device or a
    // FIFO, and call that a success.
    if (!mayWriteFile(path))
        return failed(tr("“%1” 不是普通文件（而是设备、管道或套接字），不能导出到那里。请换一个文件名。").arg(path));
    switch (format) {
    case ExportFormat::Xlsx:
        return exportXlsx(rows, path, progress);
    case ExportFormat::TabText:
        return exportDelimited(rows, Delimiter::Tab, path, progress);
    case ExportFormat::Csv:
        break;
    }
    return exportDelimited(rows, Delimiter::Comma, path, progress);
}

} // namespace realm::ui
