#include "data/DataError.h"
#include "data/ItemDatabase.h"
#include "jet4/ItemFileWriter.h"
#include "jet4/TableReader.h"

#include "Fixtures.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <random>
#include <sstream>

// Damaged item files made from the writer's own output: every one must give
// the whole table or an error, never a crash, a hang or a shorter table.
class TestItemFileCorpus : public QObject {
    Q_OBJECT

    using Bytes = std::vector<std::uint8_t>;
    using Rows = std::vector<std::vector<jet4::StoredValue>>;
    enum class Outcome { Rows,
                         Error };
    struct Result {
        Outcome outcome;
        Rows rows;
    };

    static constexpr std::size_t Page = jet4::PageSize;

    static std::vector<jet4::ItemRow> sampleRows(int count)
    {
        std::vector<jet4::ItemRow> rows;
        for (int i = 0; i < count; ++i) {
            jet4::ItemRow row;
            if (i % 11 != 3)
                row.id = i * 7 - 20;
            if (i % 13 != 5)
                row.c = i % 4 == 0 ? u"\U0001F600 剑 " + std::u16string(std::size_t(i % 90), u'中') : u"名" + std::u16string(std::size_t(i % 60), u'x');
            if (i % 17 != 2)
                row.e = i % 5 == 0 ? u"\uFEFFcompressed " + std::u16string(std::size_t(i % 40), u'e') : std::u16string(std::size_t(i % 7), u'E');
            rows.push_back(row);
        }
        return rows;
    }

    static Bytes writeFile(const std::vector<jet4::ItemRow> &rows)
    {
        std::stringstream out;
        jet4::ItemFileWriter writer(out);
        for (const jet4::ItemRow &row : rows)
            writer.append(row);
        writer.finish();
        const std::string text = out.str();
        return Bytes(text.begin(), text.end());
    }

    static Result read(const Bytes &file)
    {
        try {
            const jet4::TableReader table(file, "item");
            Rows rows;
            table.forEachRow([&rows](std::span<const jet4::StoredValue> values) { rows.emplace_back(values.begin(), values.end()); });
            return {Outcome::Rows, rows};
        } catch (const jet4::NotJet4File &) {
        } catch (const jet4::DamagedFile &) {
        } catch (const jet4::MissingTable &) {
        }
        return {Outcome::Error, {}};
    }

    static Rows expectedRows(const std::vector<jet4::ItemRow> &rows)
    {
        Rows expected;
        for (const jet4::ItemRow &row : rows) {
            expected.push_back({row.id ? jet4::StoredValue(std::int64_t{*row.id}) : jet4::StoredValue(),
                                row.c ? jet4::StoredValue(*row.c) : jet4::StoredValue(),
                                row.e ? jet4::StoredValue(*row.e) : jet4::StoredValue()});
        }
        return expected;
    }

    static Rows sorted(Rows rows)
    {
        std::ranges::sort(rows);
        return rows;
    }

    static void swapPages(Bytes &file, std::size_t a, std::size_t b)
    {
        std::swap_ranges(file.begin() + std::ptrdiff_t(a * Page), file.begin() + std::ptrdiff_t((a + 1) * Page), file.begin() + std::ptrdiff_t(b * Page));
    }

    static bool isItemDataPage(const Bytes &file, std::size_t page)
    {
        return file[page * Page] == 0x01 && file[page * Page + 4] == 4;
    }

    Bytes m_file;
    Rows m_expected;

private slots:
    void initTestCase()
    {
        const auto rows = sampleRows(160);
        m_file = writeFile(rows);
        m_expected = expectedRows(rows);
        QVERIFY2(m_file.size() / Page >= 10, "the corpus needs several data pages");
    }

    void undamagedFileReadsBackExactly()
    {
        const Result result = read(m_file);
        QCOMPARE(int(result.outcome), int(Outcome::Rows));
        QVERIFY(result.rows == m_expected);
    }

    void everyTruncationIsAnError()
    {
        std::vector<std::size_t> lengths = {0, 1, 19, 20, 21, 100, Page - 1, Page + 1};
        for (std::size_t length = 61; length < m_file.size(); length += 61)
            lengths.push_back(length);
        for (std::size_t page = 1; page < m_file.size() / Page; ++page)
            lengths.push_back(page * Page);
        for (const std::size_t length : lengths) {
            const Bytes cut(m_file.begin(), m_file.begin() + std::ptrdiff_t(length));
            QVERIFY2(read(cut).outcome == Outcome::Error, qPrintable(QStringLiteral("cut to %1 bytes").arg(length)));
        }
    }

    void flippedBytesGiveTheWholeTableOrAnError()
    {
        std::mt19937 random(13);
        int exact = 0;
        int errors = 0;
        for (std::size_t page = 0; page < m_file.size() / Page; ++page) {
            std::vector<std::size_t> offsets;
            for (std::size_t i = 0; i < 160; ++i)
                offsets.push_back(i);
            for (std::size_t i = Page - 256; i < Page; ++i)
                offsets.push_back(i);
            for (int i = 0; i < 48; ++i)
                offsets.push_back(std::uniform_int_distribution<std::size_t>(160, Page - 257)(random));
            for (const std::size_t offset : offsets) {
                for (const std::uint8_t mask : {std::uint8_t(0x01), std::uint8_t(0x80), std::uint8_t(0xFF)}) {
                    Bytes damaged = m_file;
                    damaged[page * Page + offset] ^= mask;
                    const Result result = read(damaged);
                    if (result.outcome == Outcome::Error) {
                        ++errors;
                        continue;
                    }
                    QVERIFY2(result.rows.size() == m_expected.size(), qPrintable(QStringLiteral("page %1, byte %2 ^ %3: %4 rows").arg(page).arg(offset).arg(mask).arg(result.rows.size())));
                    exact += result.rows == m_expected ? 1 : 0;
                }
            }
        }
        QVERIFY(exact > 0 && errors > 0);
    }

    void swappedOrCopiedPagesGiveTheWholeTableOrAnError()
    {
        const std::size_t pages = m_file.size() / Page;
        for (std::size_t a = 0; a < pages; ++a) {
            for (std::size_t b = a + 1; b < pages; ++b) {
                Bytes swapped = m_file;
                swapPages(swapped, a, b);
                const Result result = read(swapped);
                const bool reordered = isItemDataPage(m_file, a) && isItemDataPage(m_file, b);
                const QString label = QStringLiteral("pages %1 and %2").arg(a).arg(b);
                if (result.outcome == Outcome::Rows)
                    QVERIFY2(reordered ? sorted(result.rows) == sorted(m_expected) : result.rows == m_expected, qPrintable(label + QStringLiteral(" swapped")));

                Bytes copied = m_file;
                std::copy_n(m_file.begin() + std::ptrdiff_t(a * Page), Page, copied.begin() + std::ptrdiff_t(b * Page));
                const Result copy = read(copied);
                QVERIFY2(copy.outcome == Outcome::Error || copy.rows == m_expected, qPrintable(label + QStringLiteral(" copied")));
            }
        }
    }

    void deletedRowsAreSkippedAndCounted()
    {
        Bytes file = m_file;
        const std::size_t firstDataPage = 5;
        file[firstDataPage * Page + 14 + 2 * 1 + 1] |= 0x80; // second row of the page
        const Result uncounted = read(file);
        QVERIFY(uncounted.outcome == Outcome::Error);

        file[4 * Page + 16] = std::uint8_t(file[4 * Page + 16] - 1); // the table's row count
        const Result counted = read(file);
        Rows expected = m_expected;
        expected.erase(expected.begin() + 1);
        QCOMPARE(int(counted.outcome), int(Outcome::Rows));
        QVERIFY(counted.rows == expected);
    }

    void damagedFileIsReportedWithItsNameAtOpen()
    {
        realm::test::FixtureFolder folder;
        const QString path = folder.file(QStringLiteral("db.mdb"));
        const std::vector<std::pair<Bytes, QString>> cases = {
            {Bytes(m_file.begin(), m_file.end() - std::ptrdiff_t(Page)), QStringLiteral("已损坏")},
            {Bytes(m_file.begin(), m_file.begin() + 100), QStringLiteral("已损坏")},
            {Bytes{'n', 'o', 't'}, QStringLiteral("不是 Jet 4 数据库")},
        };
        for (const auto &[bytes, words] : cases) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
            file.close();
            try {
                realm::openItemDatabase(path);
                QFAIL("a damaged file opened");
            } catch (const realm::DataError &error) {
                QVERIFY2(error.text().contains(path) && error.text().contains(words), qPrintable(error.text()));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestItemFileCorpus)
#include "test_itemfile_corpus.moc"
