#include "Fixtures.h"
#include "spreadsheet/SheetWriter.h"

#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// The column the gap runs to: past Z, so that its reference takes two
// letters.
constexpr int FarColumn = 27;

// A cell as xlsx_cells.py prints a text: its escapes decoded, then the
// separators escaped as the command line's tsv escapes them.
QString readBack(const QString &text)
{
    QString shown = text;
    shown.replace(u'\\', u"\\\\"_s).replace(u'\t', u"\\t"_s).replace(u'\n', u"\\n"_s).replace(u'\r', u"\\r"_s);
    return u"s:"_s + shown;
}

} // namespace

// What breaks a hand-made worksheet, read back by another reader once the
// zip's CRC-32s and lengths have passed.
class TestSheetWriter : public QObject {
    Q_OBJECT

private slots:
    void awkwardTextsAndGapsReadBackAsWritten()
    {
        const QString longestEscaped(32767, QChar(1));
        const QList<QString> texts = {u"<a&b>]]></t>"_s, u"_x0041_ _X00a1_ _x12_ __x0041_"_s, u"nul\0here"_s,
                                      u"\uFFFE\uFFFF"_s, u" lead and trail\t"_s, u"cr\r\nlf"_s, longestEscaped};
        // One text a row in the first column and again past a gap; then a
        // row without cells, then lone surrogates.
        std::vector<std::map<int, QString>> rows;
        for (const QString &text : texts)
            rows.push_back({{0, text}, {FarColumn, text}});
        rows.push_back({});
        rows.push_back({{1, QString(QChar(0xD800)) + u'x'}, {2, u"y"_s + QChar(0xDC00)}});

        QTemporaryDir folder;
        const QString path = folder.filePath(u"awkward.xlsx"_s);
        realm::spreadsheet::SheetWriter sheet(path);
        sheet.writeHeader({u"h"_s});
        for (const auto &row : rows) {
            for (const auto &[column, text] : row)
                sheet.writeCell(column, text);
            sheet.endRow();
        }
        QVERIFY2(sheet.commit(), qPrintable(sheet.failure()));

        QStringList expected = {u"s:h"_s + u"\te:"_s.repeated(FarColumn)};
        rows.back() = {{1, u"\uFFFDx"_s}, {2, u"y\uFFFD"_s}};
        for (const auto &row : rows) {
            QStringList cells(FarColumn + 1, u"e:"_s);
            for (const auto &[column, text] : row)
                cells[column] = readBack(text);
            expected << cells.join(u'\t');
        }
        QCOMPARE(realm::test::readXlsx(path), expected);
    }
};

QTEST_GUILESS_MAIN(TestSheetWriter)
#include "test_sheet_writer.moc"
