#include "spreadsheet/SheetWriter.h"

#include "data/RegularFile.h"
#include "spreadsheet/DeflateStream.h"
#include "spreadsheet/WorkbookParts.h"
#include "spreadsheet/XmlText.h"
#include "spreadsheet/ZipPacker.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

namespace realm::spreadsheet {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(realm::spreadsheet::SheetWriter)
};

// A spreadsheet's general format shows at most eleven characters of a
// number as they are; a longer one it rounds or turns into an exponent.
constexpr qsizetype LongestShownNumber = 11;
// Spreadsheets cap a column at 255 characters; wider than this only hides
// the columns beside it.
constexpr int WidestColumn = 80;
// The text a cell holds at most, in characters.
constexpr qsizetype LongestCellText = 32767;
// The rows' XML goes to zlib a megabyte at a time; a cell's text, escaped,
// takes at most a quarter of that.
constexpr std::size_t XmlBufferSize = 1 << 20;
// The rows are most of the file. At zlib's fastest level a million rows
// deflate in less than half the time of its default level, into a file a
// fifth larger.
constexpr int RowsLevel = Z_BEST_SPEED;

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
        ++at;
    return at;
}

// -12, 0, 3.25: what a spreadsheet shows back unchanged once read as a
// number. A leading "+", a leading zero, a trailing zero after the point,
// an exponent and "-0" would all be shown otherwise.
bool showsUnchangedAsNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > LongestShownNumber)
        return false;
    const qsizetype start = text.front() == u'-' ? 1 : 0;
    const qsizetype wholeEnd = skipDigits(text, start);
    const qsizetype wholeDigits = wholeEnd - start;
    if (wholeDigits == 0 || (wholeDigits > 1 && text[start] == u'0'))
        return false;
    if (wholeEnd == text.size())
        return !(start == 1 && text[start] == u'0');
    if (text[wholeEnd] != u'.')
        return false;
    const qsizetype fractionEnd = skipDigits(text, wholeEnd + 1);
    return fractionEnd == text.size() && fractionEnd > wholeEnd + 1 && text.back() != u'0';
}

// Columns of a fixed-width face: East Asian characters take two.
int shownWidth(QStringView text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (c.isLowSurrogate())
            continue;
        const bool wide = (unit >= 0x1100 && unit <= 0x115F) || (unit >= 0x2E80 && unit <= 0xA4CF)
            || (unit >= 0xAC00 && unit <= 0xD7A3) || (unit >= 0xF900 && unit <= 0xFAFF)
            || (unit >= 0xFE30 && unit <= 0xFE4F) || (unit >= 0xFF00 && unit <= 0xFF60)
            || (unit >= 0xFFE0 && unit <= 0xFFE6) || c.isHighSurrogate();
        width += wide ? 2 : 1;
    }
    return width;
}

QString folderProblem(const QString &path, const QString &reason)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return Text::tr("文件夹 “%1” 不存在。").arg(folder.filePath());
    return Text::tr("无法在文件夹 “%1” 中写入文件（%2）。").arg(folder.filePath(), reason);
}

// Where the file goes: through a link to the file it names, as a saved
// file does.
QString resolvedTarget(const QString &path)
{
    const QFileInfo info(path);
    const QString linked = info.isSymLink() ? info.canonicalFilePath() : QString();
    return linked.isEmpty() ? path : linked;
}

} // namespace

SheetWriter::SheetWriter(const QString &path)
    : m_target(resolvedTarget(path))
{
    if (QFileInfo(path).isDir())
        fail(Text::tr("“%1” 是一个文件夹，请换一个文件名。").arg(path));
    else if (!mayWriteFile(path))
        fail(Text::tr("“%1” 不是普通文件（而是设备、管道或套接字），不能导出到那里。请换一个文件名。").arg(path));
    else
        open();
}

SheetWriter::~SheetWriter() = default;

void SheetWriter::open()
{
    // The rows wait in a file of their own until the sheet is packed; it
    // goes beside the target, on the disk chosen for the result.
    m_temporary = std::make_unique<QTemporaryFile>(m_target + QStringLiteral(".XXXXXX"));
    m_rowsFile = std::make_unique<QTemporaryFile>(m_target + QStringLiteral(".XXXXXX"));
    for (QTemporaryFile *file : {m_temporary.get(), m_rowsFile.get()}) {
        if (!file->open()) {
            fail(folderProblem(m_target, file->errorString()));
            return;
        }
    }
    // Linux opens a temporary file without a name and links it into the
    // folder when its name is first asked for: the export under way shows
    // beside the target from its start, as on other systems. There the
    // rows' file never gets a name and leaves nothing if the program dies.
    m_temporary->fileName();
    m_rows = std::make_unique<DeflateStream>(*m_rowsFile, RowsLevel);
    m_xml.resize(XmlBufferSize);
}

void SheetWriter::fail(const QString &message)
{
    if (m_failure.isEmpty())
        m_failure = message;
}

void SheetWriter::failWriting()
{
    fail(Text::tr("写入 “%1” 失败，磁盘可能已满。未留下文件。").arg(m_target));
}

void SheetWriter::noteWidth(int column, QStringView text, int extra)
{
    if (std::size_t(column) >= m_widths.size())
        m_widths.resize(std::size_t(column) + 1, 0);
    int &width = m_widths[std::size_t(column)];
    if (width < WidestColumn && 2 * text.size() > width)
        width = std::max(width, std::min(shownWidth(text) + extra, WidestColumn));
}

void SheetWriter::makeRoom(std::size_t bytes)
{
    if (m_xmlUsed + bytes > m_xml.size())
        passRowsOn();
}

void SheetWriter::append(std::string_view bytes)
{
    makeRoom(bytes.size());
    std::memcpy(m_xml.data() + m_xmlUsed, bytes.data(), bytes.size());
    m_xmlUsed += bytes.size();
}

void SheetWriter::appendNumber(int number)
{
    char digits[16];
    char *const end = digits + sizeof digits;
    char *first = end;
    for (auto rest = unsigned(number); first == end || rest > 0; rest /= 10)
        *--first = char('0' + rest % 10);
    append({first, std::size_t(end - first)});
}

void SheetWriter::passRowsOn()
{
    m_rows->write({m_xml.data(), m_xmlUsed});
    m_xmlUsed = 0;
    if (!m_rows->good())
        failWriting();
}

// Rows and cells carry no reference where they follow the one before: a
// reader counts them. A row or cell after a gap names its place.
void SheetWriter::startCell(int column)
{
    if (!m_rowStarted) {
        if (m_row == m_lastRowStarted + 1) {
            append("<row>");
        } else {
            append("<row r=\"");
            appendNumber(m_row + 1);
            append("\">");
        }
        m_rowStarted = true;
        m_lastRowStarted = m_row;
        m_nextColumn = 0;
    }
    if (column == m_nextColumn) {
        append("<c");
    } else {
        append("<c r=\"");
        append(columnName(column));
        appendNumber(m_row + 1);
        append("\"");
    }
    m_nextColumn = column + 1;
    m_lastColumn = std::max(m_lastColumn, column);
}

void SheetWriter::writeText(int column, QStringView text, const char *style)
{
    startCell(column);
    if (style) {
        append(" s=\"");
        append(style);
        append("\"");
    }
    if (text.isEmpty()) {
        append("/>");
        return;
    }
    append(hasOuterSpace(text) ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>");
    makeRoom(encodedXmlTextBound(text.size()));
    m_xmlUsed = std::size_t(encodeXmlText(text, m_xml.data() + m_xmlUsed) - m_xml.data());
    append("</t></is></c>");
}

// The text of a number that showsUnchangedAsNumber accepted is ASCII and
// already the file's form of it.
void SheetWriter::writeNumber(int column, QStringView text)
{
    startCell(column);
    append("><v>");
    makeRoom(std::size_t(text.size()));
    for (const QChar c : text)
        m_xml[m_xmlUsed++] = char(c.unicode());
    append("</v></c>");
}

void SheetWriter::writeHeader(const QStringList &captions)
{
    if (failed())
        return;
    for (int column = 0; column < captions.size(); ++column) {
        // Bold letters are a little wider.
        noteWidth(column, captions[column], 1);
        writeText(column, captions[column], BoldStyle);
    }
    endRow();
}

void SheetWriter::writeCell(int column, QStringView shown)
{
    if (failed() || shown.isEmpty())
        return;
    if (m_row > MaxRows) {
        fail(Text::tr("表格文件最多容纳 %1 行，列表的行更多，未留下文件。请导出为 CSV。").arg(MaxRows));
        return;
    }
    if (shown.size() > LongestCellText) {
        fail(Text::tr("第 %1 行有一格超过 %2 个字符，表格文件放不下，未留下文件。请导出为 CSV。")
                 .arg(m_row)
                 .arg(LongestCellText));
        return;
    }
    noteWidth(column, shown);
    if (showsUnchangedAsNumber(shown))
        writeNumber(column, shown);
    else
        writeText(column, shown, nullptr);
}

void SheetWriter::endRow()
{
    if (m_rowStarted && !failed())
        append("</row>");
    m_rowStarted = false;
    ++m_row;
}

bool SheetWriter::copyRows(QIODevice &out)
{
    if (!m_rowsFile->seek(0))
        return false;
    quint64 copied = 0;
    for (;;) {
        const qint64 read = m_rowsFile->read(m_xml.data(), qint64(m_xml.size()));
        if (read <= 0)
            return read == 0 && copied == m_rows->deflatedSize();
        if (out.write(m_xml.data(), read) != read)
            return false;
        copied += quint64(read);
    }
}

// The sheet's entry: its head, deflated now that the column widths are
// known and ended on a byte boundary, then the rows' deflated stream as it
// stands, which never refers back past its own start.
bool SheetWriter::pack()
{
    QByteArray deflatedHead;
    QBuffer headBuffer(&deflatedHead);
    headBuffer.open(QIODevice::WriteOnly);
    DeflateStream head(headBuffer, RowsLevel);
    head.write(sheetHead({m_lastColumn, m_lastRowStarted, m_widths}));
    head.syncFlush();
    const DeflatedEntry sheet{crcOfJoined(head.crc(), m_rows->crc(), m_rows->size()), head.size() + m_rows->size(),
                              head.deflatedSize() + m_rows->deflatedSize()};
    ZipPacker zip(*m_temporary);
    addWorkbookParts(zip);
    zip.addDeflated(SheetPartName, sheet, [&](QIODevice &out) {
        return out.write(deflatedHead) == deflatedHead.size() && copyRows(out);
    });
    return head.good() && zip.finish() && m_temporary->flush();
}

bool SheetWriter::replaceTarget()
{
    // A temporary file stays open past close(), and Windows moves no open
    // file: it is let go of first, and removed here if the move fails.
    const QString written = m_temporary->fileName();
    m_temporary->setAutoRemove(false);
    m_temporary.reset();
    if (QFileInfo::exists(m_target))
        QFile::setPermissions(written, QFile::permissions(m_target));
    else
        QFile::setPermissions(written, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (replaceFile(written, m_target))
        return true;
    QFile::remove(written);
    return false;
}

bool SheetWriter::commit()
{
    if (failed())
        return false;
    if (m_rowStarted)
        endRow();
    append(SheetTail);
    passRowsOn();
    m_rows->finish();
    if (!m_rows->good() || !pack() || !replaceTarget()) {
        failWriting();
        return false;
    }
    m_rowsFile.reset();
    return true;
}

} // namespace realm::spreadsheet
