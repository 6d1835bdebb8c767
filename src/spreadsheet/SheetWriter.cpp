#include "spreadsheet/SheetWriter.h"

#include "data/RegularFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace realm::spreadsheet {

using namespace Qt::StringLiterals;

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

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool startsEscape(QStringView text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || (text[at + 1] != u'x' && text[at + 1] != u'X') || text[at + 6] != u'_')
        return false;
    return isHexDigit(text[at + 2]) && isHexDigit(text[at + 3]) && isHexDigit(text[at + 4]) && isHexDigit(text[at + 5]);
}

// A spreadsheet reads "_x0041_" in a cell's text as the character it
// names (the file's escape for control characters): an underscore that
// starts such a run is itself escaped, so the text reads back as written.
QStringView withEscapesKept(QStringView text, QString &buffer)
{
    if (!text.contains(u'_'))
        return text;
    buffer.clear();
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (startsEscape(text, at))
            buffer += u"_x005F"_s;
        buffer += text[at];
    }
    return buffer;
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

SheetWriter::~SheetWriter()
{
    if (!m_workbook)
        return;
    // Dropped unfinished: the rows written so far are thrown away rather
    // than packed into a file nobody keeps.
    if (m_sheet && m_sheet->optimize_tmpfile) {
        std::fclose(m_sheet->optimize_tmpfile);
        if (m_sheet->file == m_sheet->optimize_tmpfile)
            m_sheet->file = nullptr;
        m_sheet->optimize_tmpfile = nullptr;
    }
    lxw_workbook_free(m_workbook);
}

void SheetWriter::open()
{
    m_temporary = std::make_unique<QTemporaryFile>(m_target + QStringLiteral(".XXXXXX"));
    if (!m_temporary->open()) {
        fail(folderProblem(m_target, m_temporary->errorString()));
        return;
    }
    m_temporary->close();
    // The rows wait in a file of their own until the sheet is packed; it
    // goes beside the target, on the disk chosen for the result.
    const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(folder.constData());
    m_workbook = workbook_new_opt(QFile::encodeName(m_temporary->fileName()).constData(), &options);
    m_sheet = m_workbook ? workbook_add_worksheet(m_workbook, nullptr) : nullptr;
    if (!m_sheet) {
        fail(folderProblem(m_target, QString::fromUtf8(lxw_strerror(LXW_ERROR_CREATING_TMPFILE))));
        return;
    }
    m_bold = workbook_add_format(m_workbook);
    format_set_bold(m_bold);
    worksheet_freeze_panes(m_sheet, 1, 0);
}

void SheetWriter::fail(const QString &message)
{
    if (m_failure.isEmpty())
        m_failure = message;
}

const char *SheetWriter::utf8(QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    m_utf8.resize(std::size_t(encoder.requiredSpace(text.size())) + 1);
    char *const end = encoder.appendToBuffer(m_utf8.data(), text);
    *end = '\0';
    return m_utf8.data();
}

void SheetWriter::noteWidth(int column, QStringView text, int extra)
{
    if (std::size_t(column) >= m_widths.size())
        m_widths.resize(std::size_t(column) + 1, 0);
    int &width = m_widths[std::size_t(column)];
    if (2 * text.size() > width)
        width = std::max(width, std::min(shownWidth(text) + extra, WidestColumn));
}

void SheetWriter::writeHeader(const QStringList &captions)
{
    if (failed())
        return;
    for (int column = 0; column < captions.size(); ++column) {
        // Bold letters are a little wider.
        noteWidth(column, captions[column], 1);
        worksheet_write_string(m_sheet, 0, lxw_col_t(column), utf8(captions[column]), m_bold);
    }
    m_row = 1;
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
    const auto row = lxw_row_t(m_row);
    const auto col = lxw_col_t(column);
    if (showsUnchangedAsNumber(shown))
        worksheet_write_number(m_sheet, row, col, shown.toDouble(), nullptr);
    else
        worksheet_write_string(m_sheet, row, col, utf8(withEscapesKept(shown, m_escaped)), nullptr);
}

void SheetWriter::endRow()
{
    ++m_row;
}

void SheetWriter::setColumnWidths()
{
    for (std::size_t column = 0; column < m_widths.size(); ++column) {
        const double width = std::max(m_widths[column], 6) + 2;
        worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
    }
}

// The rows go to their file as they are written, and a write that fell
// short there (a full disk) would otherwise pass unnoticed into the sheet.
bool SheetWriter::sheetDataWritten() const
{
    std::FILE *rows = m_sheet->optimize_tmpfile;
    return !rows || (std::fflush(rows) == 0 && !std::ferror(rows));
}

bool SheetWriter::replaceTarget()
{
    if (QFileInfo::exists(m_target))
        m_temporary->setPermissions(QFile::permissions(m_target));
    else
        m_temporary->setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(m_temporary->fileName()).toStdString(),
                            QFile::encodeName(m_target).toStdString(), error);
    if (error)
        return false;
    m_temporary->setAutoRemove(false);
    return true;
}

bool SheetWriter::commit()
{
    if (failed())
        return false;
    setColumnWidths();
    const bool rowsWritten = sheetDataWritten();
    const lxw_error closed = workbook_close(m_workbook);
    m_workbook = nullptr;
    if (!rowsWritten || closed != LXW_NO_ERROR || !replaceTarget()) {
        fail(Text::tr("写入 “%1” 失败，磁盘可能已满。未留下文件。").arg(m_target));
        return false;
    }
    return true;
}

} // namespace realm::spreadsheet
