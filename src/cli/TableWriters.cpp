#include "cli/TableWriters.h"

#include "data/NumberFormat.h"
#include "spreadsheet/SheetWriter.h"

namespace realm::cli {

namespace {

// The escapes are function objects rather than functions, so that each
// one is inlined into the conversion loop it is given to.
struct CopyChar {
    char *operator()(char c, char *out) const
    {
        *out++ = c;
        return out;
    }
};

char *writeEscape(char letter, char *out)
{
    *out++ = '\\';
    *out++ = letter;
    return out;
}

// Tab-separated: the characters that would split a cell or a line, and the
// escape character itself, become backslash escapes.
struct TsvEscape {
    char *operator()(char c, char *out) const
    {
        switch (c) {
        case '\t':
            return writeEscape('t', out);
        case '\n':
            return writeEscape('n', out);
        case '\r':
            return writeEscape('r', out);
        case '\\':
            return writeEscape('\\', out);
        default:
            return CopyChar()(c, out);
        }
    }
};

struct DoubleQuotes {
    char *operator()(char c, char *out) const
    {
        if (c == '"')
            *out++ = '"';
        return CopyChar()(c, out);
    }
};

struct JsonEscape {
    char *operator()(char c, char *out) const
    {
        if (static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != '\\')
            return CopyChar()(c, out);
        switch (c) {
        case '"':
            return writeEscape('"', out);
        case '\\':
            return writeEscape('\\', out);
        case '\n':
            return writeEscape('n', out);
        case '\r':
            return writeEscape('r', out);
        case '\t':
            return writeEscape('t', out);
        case '\b':
            return writeEscape('b', out);
        case '\f':
            return writeEscape('f', out);
        default:
            return writeUnicodeEscape(c, out);
        }
    }

    static char *writeUnicodeEscape(char c, char *out)
    {
        static constexpr char Hex[] = "0123456789abcdef";
        for (const char part : {'\\', 'u', '0', '0', Hex[c >> 4], Hex[c & 0xF]})
            *out++ = part;
        return out;
    }
};

void appendJoined(OutputBuffer &out, const std::vector<std::string> &names, char separator)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out.append(separator);
        out.append(names[i]);
    }
}

// The cell's text as the list shows it, written straight from where it is
// held: whole numbers as digits, texts converted from UTF-16 once, each
// character below 0x80 through `escape`.
template <class Escape>
void appendCellText(OutputBuffer &out, const ListFormat::ShownCell &cell, Escape escape)
{
    if (cell.plus)
        out.append('+');
    switch (cell.value.kind) {
    case ResultTable::Kind::Null:
        return;
    case ResultTable::Kind::Integer:
        out.appendInteger(cell.value.integer);
        return;
    case ResultTable::Kind::Real:
        out.appendText(formatNumber(cell.value.real), escape);
        return;
    case ResultTable::Kind::Text:
        out.appendText(cell.value.text, escape);
        return;
    }
}

void writeTsvCell(OutputBuffer &out, const ListFormat::ShownCell &cell)
{
    appendCellText(out, cell, TsvEscape());
}

// Only a text can hold a character that needs quotes: numbers never do.
bool needsCsvQuotes(const ListFormat::ShownCell &cell)
{
    if (cell.value.kind != ResultTable::Kind::Text)
        return false;
    for (const QChar c : cell.value.text) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

void writeCsvCell(OutputBuffer &out, const ListFormat::ShownCell &cell)
{
    if (!needsCsvQuotes(cell)) {
        appendCellText(out, cell, CopyChar());
        return;
    }
    out.append('"');
    appendCellText(out, cell, DoubleQuotes());
    out.append('"');
}

// Delimited text: a header line of the column names, then a line a row; a
// cell without a value is written as nothing.
template <char Separator, const char *LineEnd, void (*WriteCell)(OutputBuffer &, const ListFormat::ShownCell &)>
class DelimitedWriter : public TableWriter {
public:
    using TableWriter::TableWriter;

protected:
    void writeStart() override
    {
        appendJoined(out(), columns(), Separator);
        out().append(LineEnd);
    }
    void writeEnd() override { }
    void writeCells(const Cells &cells) override
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0)
                out().append(Separator);
            if (cells[i].isSet)
                WriteCell(out(), cells[i]);
        }
        out().append(LineEnd);
    }
};

constexpr char TsvLineEnd[] = "\n";
constexpr char CsvLineEnd[] = "\r\n";
using TsvWriter = DelimitedWriter<'\t', TsvLineEnd, writeTsvCell>;
using CsvWriter = DelimitedWriter<',', CsvLineEnd, writeCsvCell>;

// An array of objects, one a line, each with every column as a key.
class JsonWriter : public TableWriter {
public:
    JsonWriter(const QStringList &columns, OutputBuffer &buffer)
        : TableWriter(columns, buffer)
    {
        for (std::size_t i = 0; i < this->columns().size(); ++i)
            m_keys.push_back((i == 0 ? "{\"" : ",\"") + this->columns()[i] + "\":");
    }

protected:
    void writeStart() override { out().append('['); }
    void writeEnd() override { out().append(rowsWritten() > 0 ? "\n]\n" : "]\n"); }
    void writeCells(const Cells &cells) override
    {
        out().append(rowsWritten() > 0 ? ",\n" : "\n");
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out().append(m_keys[i]);
            writeValue(cells[i]);
        }
        out().append('}');
    }

private:
    void writeValue(const ListFormat::ShownCell &cell)
    {
        if (!cell.isSet) {
            out().append("null");
            return;
        }
        out().append('"');
        appendCellText(out(), cell, JsonEscape());
        out().append('"');
    }

    std::vector<std::string> m_keys;
};

// A worksheet in a file of its own; standard output stays empty.
class XlsxWriter : public TableWriter {
public:
    XlsxWriter(const QStringList &columns, OutputBuffer &buffer, const QString &path)
        : TableWriter(columns, buffer), m_captions(columns), m_sheet(std::make_unique<spreadsheet::SheetWriter>(path)) { }

    void finishIncomplete() override { m_sheet.reset(); }
    QString failure() const override { return m_sheet ? m_sheet->failure() : QString(); }

protected:
    void writeStart() override { m_sheet->writeHeader(m_captions); }
    void writeEnd() override { m_sheet->commit(); }
    void writeCells(const Cells &cells) override
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].isSet)
                m_sheet->writeCell(int(i), shownText(cells[i]));
        }
        m_sheet->endRow();
    }

private:
    // The cell's text as the list shows it; the sheet decides what is a
    // number from that, as it does for the window's export.
    QStringView shownText(const ListFormat::ShownCell &cell)
    {
        if (!cell.plus && cell.value.kind == ResultTable::Kind::Text)
            return cell.value.text;
        m_text = cell.plus ? QStringLiteral("+") : QString();
        switch (cell.value.kind) {
        case ResultTable::Kind::Integer:
            m_text += QString::number(cell.value.integer);
            break;
        case ResultTable::Kind::Real:
            m_text += formatNumber(cell.value.real);
            break;
        case ResultTable::Kind::Text:
            m_text += cell.value.text;
            break;
        case ResultTable::Kind::Null:
            break;
        }
        return m_text;
    }

    QStringList m_captions;
    std::unique_ptr<spreadsheet::SheetWriter> m_sheet;
    QString m_text;
};

} // namespace

TableWriter::TableWriter(const QStringList &columns, OutputBuffer &out)
    : m_out(out)
{
    for (const QString &name : columns)
        m_columns.push_back(name.toStdString());
}

void TableWriter::startOnce()
{
    if (m_started)
        return;
    m_started = true;
    writeStart();
}

void TableWriter::writeRow(const Cells &cells)
{
    startOnce();
    writeCells(cells);
    ++m_rowsWritten;
}

void TableWriter::finish()
{
    startOnce();
    writeEnd();
    m_out.flush();
}

std::unique_ptr<TableWriter> makeTableWriter(OutputFormat format, const QStringList &columns, OutputBuffer &out,
                                             const QString &path)
{
    switch (format) {
    case OutputFormat::Xlsx:
        return std::make_unique<XlsxWriter>(columns, out, path);
    case OutputFormat::Csv:
        return std::make_unique<CsvWriter>(columns, out);
    case OutputFormat::Json:
        return std::make_unique<JsonWriter>(columns, out);
    case OutputFormat::Tsv:
        break;
    }
    return std::make_unique<TsvWriter>(columns, out);
}

} // namespace realm::cli
