#include "CliRun.h"
#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "data/Settings.h"

#include <QFile>
#include <QJsonArray>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

constexpr int Duplicates = 30;
// Half the generated item names end in a grade "(一阶)" ... "(四阶)": with
// 5,000 items, more ids than one request may carry.
const QString GradeFragment = u"阶"_s;

struct ItemRow {
    qint64 instance;
    qint64 characterId;
    qint64 itemType;
    qint64 amount;
    std::optional<qint64> enchant;
};

// The game file read row by row with SQLite alone, and the audits counted
// from those rows here, without the program's queries or sums.
struct GameFile {
    std::map<qint64, QString> characters;
    std::vector<ItemRow> items;

    explicit GameFile(const QString &path)
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT char_id, char_name FROM user_data", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            characters[sqlite3_column_int64(statement, 0)]
                = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 1)));
        sqlite3_finalize(statement);
        sqlite3_prepare_v2(db, "SELECT item_id, char_id, item_type, amount, enchant FROM user_item", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const bool noEnchant = sqlite3_column_type(statement, 4) == SQLITE_NULL;
            items.push_back({sqlite3_column_int64(statement, 0), sqlite3_column_int64(statement, 1),
                             sqlite3_column_int64(statement, 2), sqlite3_column_int64(statement, 3),
                             noEnchant ? std::nullopt : std::optional(sqlite3_column_int64(statement, 4))});
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }

    // item_id,item_name-less totals lines: "item,characters,rows,amount,max_enchant".
    QStringList itemTotals() const
    {
        struct Sum {
            std::set<qint64> holders;
            qint64 rows = 0;
            qint64 amount = 0;
            std::optional<qint64> enchant;
        };
        std::map<qint64, Sum> sums;
        for (const ItemRow &row : items) {
            if (!characters.contains(row.characterId))
                continue;
            Sum &sum = sums[row.itemType];
            sum.holders.insert(row.characterId);
            ++sum.rows;
            sum.amount += row.amount;
            if (row.enchant)
                sum.enchant = std::max(sum.enchant.value_or(*row.enchant), *row.enchant);
        }
        std::vector<std::pair<qint64, qint64>> order; // amount, item
        for (const auto &[item, sum] : sums)
            order.emplace_back(sum.amount, item);
        std::sort(order.begin(), order.end(), [](auto a, auto b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
        QStringList lines;
        for (const auto &[amount, item] : order) {
            const Sum &sum = sums.at(item);
            lines << u"%1,%2,%3,%4,%5"_s.arg(item).arg(sum.holders.size()).arg(sum.rows).arg(amount).arg(sum.enchant ? QString::number(*sum.enchant) : QString());
        }
        return lines;
    }

    // "char_name,item,rows,amount" of the items in `types`, as a set.
    QStringList characterTotals(const std::set<qint64> &types) const
    {
        std::map<std::pair<qint64, qint64>, std::pair<qint64, qint64>> sums;
        for (const ItemRow &row : items) {
            if (characters.contains(row.characterId) && types.contains(row.itemType)) {
                auto &sum = sums[{row.characterId, row.itemType}];
                ++sum.first;
                sum.second += row.amount;
            }
        }
        QStringList lines;
        for (const auto &[key, sum] : sums)
            lines << u"%1,%2,%3,%4"_s.arg(characters.at(key.first)).arg(key.second).arg(sum.first).arg(sum.second);
        lines.sort();
        return lines;
    }

    // "instance,char_name,item,amount" of every row of an instance held more
    // than once, that has a row of `types` (every type when empty), as a set.
    QStringList duplicatedRows(const std::set<qint64> &types = {}) const
    {
        std::map<qint64, std::vector<const ItemRow *>> byInstance;
        for (const ItemRow &row : items)
            byInstance[row.instance].push_back(&row);
        QStringList lines;
        for (const auto &[instance, rows] : byInstance) {
            const bool matches = types.empty() || std::any_of(rows.begin(), rows.end(), [&](const ItemRow *row) {
                                     return types.contains(row->itemType);
                                 });
            if (rows.size() < 2 || !matches)
                continue;
            for (const ItemRow *row : rows)
                lines << u"%1,%2,%3,%4"_s.arg(instance).arg(characters.at(row->characterId)).arg(row->itemType).arg(row->amount);
        }
        lines.sort();
        return lines;
    }

    // The rows of both files as of one: the other's characters under ids of
    // their own, since a character of one server is never one of another.
    GameFile &operator+=(const GameFile &other)
    {
        const qint64 offset = characters.empty() ? 0 : characters.rbegin()->first + 1;
        for (const auto &[id, name] : other.characters)
            characters[id + offset] = name;
        for (ItemRow row : other.items) {
            row.characterId += offset;
            items.push_back(row);
        }
        return *this;
    }

    qint64 equipmentRows(const std::set<qint64> &types) const
    {
        return std::count_if(items.begin(), items.end(), [&](const ItemRow &row) {
            return characters.contains(row.characterId) && types.contains(row.itemType);
        });
    }
};

// The ids whose Chinese name in the generator's item table holds `fragment`.
std::set<qint64> idsNamed(const QString &itemsTsv, const QString &fragment)
{
    QFile file(itemsTsv);
    file.open(QIODevice::ReadOnly);
    std::set<qint64> ids;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n').mid(1)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() > 1 && fields[1].contains(fragment))
            ids.insert(fields[0].toLongLong());
    }
    return ids;
}

// The CSV lines of a run, without the header, with some columns only.
QStringList csvLines(const realm::test::CliRun &run, const QList<int> &columns)
{
    QStringList lines;
    for (const QString &line : QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts).mid(1)) {
        const QStringList cells = line.trimmed().split(u',');
        QStringList kept;
        for (const int column : columns)
            kept << cells.value(column);
        lines << kept.join(u',');
    }
    return lines;
}

// The lines of a run with a server column, by server, without it.
std::map<QString, QStringList> linesByServer(const realm::test::CliRun &run)
{
    std::map<QString, QStringList> byServer;
    for (const QString &line : csvLines(run, {0, 1, 3, 4, 5, 6}))
        byServer[line.section(u',', 0, 0)] << line.section(u',', 1);
    return byServer;
}

} // namespace

// Totals, duplicates and the search by item name on a generated game file,
// on the embedded file and through FreeTDS with the TDS test server, against
// what this test counts from the file's rows itself.
class TestItemAudits : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_embedded;
    std::unique_ptr<realm::test::FixtureFolder> m_served;
    std::unique_ptr<realm::test::TdsServerProcess> m_server;
    std::unique_ptr<GameFile> m_game;
    std::set<qint64> m_graded;
    // Two servers: the served file and another, each on its TDS server.
    realm::test::FixtureFolder m_other;
    std::unique_ptr<realm::test::TdsServerProcess> m_otherServer;
    realm::test::FixtureFolder m_twoServers;
    std::unique_ptr<GameFile> m_otherGame;

    void startOtherServer()
    {
        m_other.writeGenerated(12000, {u"--items"_s, u"5000"_s, u"--duplicates"_s, QString::number(Duplicates), u"--seed"_s, u"7"_s});
        m_otherGame = std::make_unique<GameFile>(m_other.file(u"realmdb.sqlite"_s));
        m_otherServer = std::make_unique<realm::test::TdsServerProcess>(realm::test::standardServerOptions(m_other, u"pw"_s));
        QString error;
        QVERIFY2(m_otherServer->start(&error), qPrintable(error));
        QVERIFY(QFile::copy(m_embedded.file(u"db.mdb"_s), m_twoServers.file(u"db.mdb"_s)));
        m_twoServers.writeIni((realm::test::sqlServerIni(m_server->serverAddress(), u"operator"_s, u"pw"_s) + u"name=一区\n"_s
                               + u"[服务器:二区]\nserverip=%1\nuserid=operator\npassword=pw\n"_s.arg(m_otherServer->serverAddress()))
                                  .toUtf8());
    }

    QString folderOf(const QString &path) const { return path == u"embedded" ? m_embedded.path() : m_served->path(); }

    realm::test::CliRun run(const QStringList &arguments) const
    {
        QFETCH(QString, path);
        const auto result = realm::test::runCli(QStringList{u"--dir"_s, folderOf(path), u"--format"_s, u"csv"_s} + arguments);
        if (result.exitCode != 0)
            qWarning("%s", result.err.constData());
        return result;
    }

    static void paths()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("embedded") << u"embedded"_s;
        QTest::newRow("sql server") << u"sql server"_s;
    }

private slots:
    void initTestCase()
    {
        m_embedded.writeGenerated(20000, {u"--items"_s, u"5000"_s, u"--duplicates"_s, QString::number(Duplicates)});
        m_game = std::make_unique<GameFile>(m_embedded.file(u"realmdb.sqlite"_s));
        m_graded = idsNamed(m_embedded.file(u"items.tsv"_s), GradeFragment);
        QVERIFY2(m_graded.size() > 2100, "the fragment must name more ids than one request carries");
        m_served = std::make_unique<realm::test::FixtureFolder>();
        for (const QString &name : {u"realmdb.sqlite"_s, u"db.mdb"_s})
            QVERIFY(QFile::copy(m_embedded.file(name), m_served->file(name)));
        m_server = std::make_unique<realm::test::TdsServerProcess>(realm::test::standardServerOptions(*m_served, u"pw"_s));
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        m_served->writeIni(realm::test::sqlServerIni(m_server->serverAddress(), u"operator"_s, u"pw"_s).toUtf8());
        startOtherServer();
    }

    void totalsByItemAddUpEveryRow_data() { paths(); }
    void totalsByItemAddUpEveryRow()
    {
        const auto result = run({u"totals"_s});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("item_id,item_name,characters,rows,amount,max_enchant"));
        QCOMPARE(csvLines(result, {0, 2, 3, 4, 5}), m_game->itemTotals());
    }

    // The name matches more ids than one request may carry: the grouped
    // statements of each slice are added up into one list.
    void totalsByCharacterOfANameOverSeveralRequests_data() { paths(); }
    void totalsByCharacterOfANameOverSeveralRequests()
    {
        const auto result = run({u"totals"_s, u"--by"_s, u"character"_s, u"--item-name"_s, GradeFragment});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("char_name,item_id,item_name,rows,amount"));
        const QStringList lines = csvLines(result, {0, 1, 3, 4});
        for (qsizetype i = 1; i < lines.size(); ++i)
            QVERIFY2(lines[i - 1].section(u',', 3).toLongLong() >= lines[i].section(u',', 3).toLongLong(),
                     "sorted by amount, highest first");
        QStringList sorted = lines;
        sorted.sort();
        QCOMPARE(sorted, m_game->characterTotals(m_graded));
    }

    void duplicatesListEveryCopyByInstance_data() { paths(); }
    void duplicatesListEveryCopyByInstance()
    {
        const auto result = run({u"dupes"_s});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("instance_id,char_name,item_id,item_name,amount,enchant"));
        const QStringList lines = csvLines(result, {0, 1, 2, 4});
        for (qsizetype i = 1; i < lines.size(); ++i)
            QVERIFY(lines[i - 1].section(u',', 0, 0).toLongLong() <= lines[i].section(u',', 0, 0).toLongLong());
        QStringList sorted = lines;
        sorted.sort();
        QCOMPARE(sorted, m_game->duplicatedRows());
        // The generator's count: a third of the instances with three rows.
        QCOMPARE(lines.size(), qsizetype(Duplicates * 2 + Duplicates / 3));
    }

    void duplicatesOfANameKeepEveryRowOfTheirInstances_data() { paths(); }
    void duplicatesOfANameKeepEveryRowOfTheirInstances()
    {
        const auto result = run({u"dupes"_s, u"--item-name"_s, GradeFragment});
        QCOMPARE(result.exitCode, 0);
        QStringList lines = csvLines(result, {0, 1, 2, 4});
        lines.sort();
        QCOMPARE(lines, m_game->duplicatedRows(m_graded));
        QVERIFY(!lines.isEmpty());
    }

    void equipmentByANameOfThousandsOfItems_data() { paths(); }
    void equipmentByANameOfThousandsOfItems()
    {
        const qsizetype logStart = m_server->requests().size();
        const auto result = run({u"equip"_s, u"--item-name"_s, GradeFragment});
        QCOMPARE(result.exitCode, 0);
        const QStringList types = csvLines(result, {1});
        QCOMPARE(types.size(), qsizetype(m_game->equipmentRows(m_graded)));
        QVERIFY(std::all_of(types.begin(), types.end(), [&](const QString &type) { return m_graded.contains(type.toLongLong()); }));
        QFETCH(QString, path);
        if (path == u"embedded")
            return;
        int requests = 0;
        for (const QJsonObject &statement : m_server->statementsSince(logStart)) {
            if (!statement.value(u"sql").toString().contains(u"item_type in"))
                continue;
            ++requests;
            QVERIFY(statement.value(u"params").toArray().size() + 2 <= 2100);
        }
        QCOMPARE(requests, int((m_graded.size() + 2097) / 2098));
    }

    // Each server's own totals, then those of both, added up from the
    // servers' groups, after every server's lines.
    void totalsOfTwoServersAndOfBothTogether()
    {
        const auto result = realm::test::runCli({u"--dir"_s, m_twoServers.path(), u"--all-servers"_s, u"--format"_s, u"csv"_s, u"totals"_s});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("server,item_id,item_name,characters,rows,amount,max_enchant"));
        std::map<QString, QStringList> byServer = linesByServer(result);
        QCOMPARE(byServer.size(), std::size_t(3));
        QCOMPARE(byServer[u"一区"_s], m_game->itemTotals());
        QCOMPARE(byServer[u"二区"_s], m_otherGame->itemTotals());
        GameFile both = *m_game;
        both += *m_otherGame;
        QCOMPARE(byServer[u"*"_s], both.itemTotals());
        QVERIFY(QString::fromUtf8(result.out).trimmed().section(u'\n', -qsizetype(byServer[u"*"_s].size())).startsWith(u"*,"_s));
    }

    void aNameOfNoItemRunsNothing()
    {
        const auto result = realm::test::runCli({u"--dir"_s, m_served->path(), u"equip"_s, u"--item-name"_s, u"没有这种东西"_s});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.isEmpty() || result.out.count('\n') == 1);
        QVERIFY2(QString::fromUtf8(result.err).contains(u"没有这种东西"_s), result.err.constData());
    }

    // The limit the slices keep to is the server's: one parameter more than
    // a request may carry fails there.
    void theServerRefusesARequestOverTheLimit()
    {
        const auto game = realm::openGameConnection(realm::readSettings(m_served->path()), m_served->path());
        const QStringList parameters(2099, u"1"_s);
        QString placeholders = u"?"_s.repeated(2099);
        for (qsizetype i = placeholders.size() - 1; i > 0; --i)
            placeholders.insert(i, u',');
        const QString sql = u"select item_id from user_item where item_type in (%1)"_s.arg(placeholders);
        try {
            game->query(sql, parameters);
            QFAIL("a request of 2,101 parameters ran");
        } catch (const realm::DataError &error) {
            QVERIFY2(error.text().contains(u"2100"_s), qPrintable(error.text()));
        }
        QVERIFY(game->query(sql.section(u',', 0, 2097) + u')', parameters.mid(0, 2098))->rowCount() > 0);
    }
};

QTEST_MAIN(TestItemAudits)
#include "test_item_audits.moc"
