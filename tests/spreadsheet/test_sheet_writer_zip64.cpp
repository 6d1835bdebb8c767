#include "spreadsheet/SheetWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Python's zipfile checks every entry's CRC-32 and length; openpyxl then
// reads the first rows of the sheet.
constexpr char Check[] = R"(
import sys, zipfile, openpyxl
with zipfile.ZipFile(sys.argv[1]) as package:
    print(package.testzip(), package.getinfo("xl/worksheets/sheet1.xml").file_size)
sheet = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0]
print(*[len(cell.value) for cell in next(sheet.iter_rows(min_row=2, max_row=2))])
)";

} // namespace

// A sheet whose XML passes 4 GiB: its entry's sizes need zip64 records.
class TestSheetWriterZip64 : public QObject {
    Q_OBJECT

private slots:
    void sheetPastFourGigabytesReadsBack()
    {
        const QString longest(32767, u'a');
        constexpr int Columns = 8;
        constexpr int Rows = 16400;
        QTemporaryDir folder;
        const QString path = folder.filePath(u"large.xlsx"_s);
        realm::spreadsheet::SheetWriter sheet(path);
        sheet.writeHeader({u"a"_s});
        for (int row = 0; row < Rows; ++row) {
            for (int column = 0; column < Columns; ++column)
                sheet.writeCell(column, longest);
            sheet.endRow();
        }
        QVERIFY2(sheet.commit(), qPrintable(sheet.failure()));

        QProcess check;
        check.start(QStringLiteral(OPENPYXL_PYTHON), {u"-c"_s, QString::fromLatin1(Check), path});
        QVERIFY(check.waitForFinished(1200000));
        QCOMPARE(check.readAllStandardError(), QByteArray());
        const QList<QByteArray> lines = check.readAllStandardOutput().split('\n');
        QCOMPARE(lines.value(0).split(' ').value(0), QByteArray("None"));
        QVERIFY2(lines.value(0).split(' ').value(1).toULongLong() > 0xFFFFFFFFULL, lines.value(0).constData());
        QCOMPARE(lines.value(1), QByteArray("32767 32767 32767 32767 32767 32767 32767 32767"));
    }
};

QTEST_GUILESS_MAIN(TestSheetWriterZip64)
#include "test_sheet_writer_zip64.moc"
