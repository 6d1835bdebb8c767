#include "CliInProcess.h"
#include "Fixtures.h"

using namespace realm;
using namespace Qt::StringLiterals;

namespace {

// Names that break naive writers: separators and line breaks inside a cell,
// quotes, a backslash, a control character, Chinese and a character beyond
// the Basic Multilingual Plane, a Null name and an empty one. Item 999 is
// not in the item file; one amount and one enchant level are Null.
const QString AwkwardGame = QStringLiteral(
    "CREATE TABLE user_data (char_id INTEGER, char_name TEXT, account_name TEXT);"
    "CREATE TABLE user_item (item_id INTEGER, char_id INTEGER, item_type INTEGER, amount INTEGER, enchant INTEGER);"
    "CREATE TABLE pet_data (pet_id INTEGER, nick_name TEXT);"
    "INSERT INTO user_data VALUES (1,'tab'||char(9)||'in','a'),(2,'line'||char(10)||'break'||char(13),'a'),"
    "  (3,'say \"hi\", ok','a'),(4,'back\\slash','a'),(5,'李逍遥😀','a'),(6,NULL,'a'),(7,'','a'),"
    "  (8,'bell'||char(7),'a');"
    "INSERT INTO user_item VALUES (101,1,57,1,12),(102,2,999,2,NULL),(103,3,57,NULL,0),(104,4,58,4,1),"
    "  (105,5,1,5,2),(106,6,57,6,3),(107,7,57,7,4),(108,8,57,8,5);");

const QString AwkwardItems = QStringLiteral("57\t青铜,\"长\"剑\tBronze Sword\n"
                                            "58\t白银长剑\tSilver Sword\n"
                                            "1\t金币\tGold Coin\n");

// Numbers at the edges of what a cell holds, and numbers that are not whole:
// the columns have no type, so SQLite keeps 57.0 a real.
const QString NumberGame = QStringLiteral(
    "CREATE TABLE user_data (char_id, char_name, account_name);"
    "CREATE TABLE user_item (item_id, char_id, item_type, amount, enchant);"
    "CREATE TABLE pet_data (pet_id, nick_name);"
    "INSERT INTO user_data VALUES (1,'a','x');"
    "INSERT INTO user_item VALUES (1,1,57.0,-9223372036854775807-1,-3),(2,1,58,2.5,0.5),"
    "  (3,1,57,1e20,9223372036854775807);");

// The cells' texts of read-back worksheet lines, without their types, and
// the types alone.
QByteArray textsOf(const QStringList &sheet)
{
    QByteArray texts;
    for (const QString &line : sheet) {
        QStringList cells = line.split(u'\t');
        for (QString &cell : cells)
            cell = cell.mid(2);
        texts += cells.join(u'\t').toUtf8() + '\n';
    }
    return texts;
}

QStringList typesOf(const QStringList &sheet)
{
    QStringList types;
    for (const QString &line : sheet) {
        QString kinds;
        for (const QString &cell : line.split(u'\t'))
            kinds += cell.front();
        types << kinds;
    }
    return types;
}

// Texts a spreadsheet would read as something else: its file's own escape
// of a character, formulas, a number with a leading zero.
const QString LookAlikeGame = QStringLiteral(
    "CREATE TABLE user_data (char_id INTEGER, char_name TEXT, account_name TEXT);"
    "CREATE TABLE user_item (item_id INTEGER, char_id INTEGER, item_type INTEGER, amount INTEGER, enchant INTEGER);"
    "CREATE TABLE pet_data (pet_id INTEGER, nick_name TEXT);"
    "INSERT INTO user_data VALUES (1,'_x0041_','a'),(2,'=1+2','a'),(3,'@SUM(B2)','a'),(4,'007','a');"
    "INSERT INTO user_item VALUES (101,1,57,1,0),(102,2,57,2,0),(103,3,57,3,0),(104,4,57,4,0);");

} // namespace

class TestCliFormats : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;

    QByteArray equipmentRows(const char *format)
    {
        const test::CliRun run = test::runCliInProcess({QStringLiteral("--dir"), m_folder.path(), QStringLiteral("--format"),
                                                        QString::fromLatin1(format), QStringLiteral("equip")});
        if (run.exitCode != 0)
            qWarning("exit %d: %s", run.exitCode, run.err.constData());
        return run.out;
    }

private slots:
    void initTestCase()
    {
        m_folder.writeItems(AwkwardItems);
        m_folder.writeGameDatabase(AwkwardGame);
        m_folder.writeSqliteIni();
    }

    void tsvEscapesSeparatorsAndLeavesNullEmpty()
    {
        QCOMPARE(equipmentRows("tsv"),
                 QByteArray("char_name\titem_id\titem_name\tamount\tenchant\tpet_name\n"
                            "tab\\tin\t57\t青铜,\"长\"剑\t1\t+12\t\n"
                            "line\\nbreak\\r\t999\t\t2\t+\t\n"
                            "say \"hi\", ok\t57\t青铜,\"长\"剑\t\t+0\t\n"
                            "back\\\\slash\t58\t白银长剑\t4\t+1\t\n"
                            "李逍遥😀\t1\t金币\t5\t+2\t\n"
                            "\t57\t青铜,\"长\"剑\t6\t+3\t\n"
                            "\t57\t青铜,\"长\"剑\t7\t+4\t\n"
                            "bell\a\t57\t青铜,\"长\"剑\t8\t+5\t\n"));
    }

    void csvQuotesOnlyWhereNeeded()
    {
        QCOMPARE(equipmentRows("csv"),
                 QByteArray("char_name,item_id,item_name,amount,enchant,pet_name\r\n"
                            "tab\tin,57,\"青铜,\"\"长\"\"剑\",1,+12,\r\n"
                            "\"line\nbreak\r\",999,,2,+,\r\n"
                            "\"say \"\"hi\"\", ok\",57,\"青铜,\"\"长\"\"剑\",,+0,\r\n"
                            "back\\slash,58,白银长剑,4,+1,\r\n"
                            "李逍遥😀,1,金币,5,+2,\r\n"
                            ",57,\"青铜,\"\"长\"\"剑\",6,+3,\r\n"
                            ",57,\"青铜,\"\"长\"\"剑\",7,+4,\r\n"
                            "bell\a,57,\"青铜,\"\"长\"\"剑\",8,+5,\r\n"));
    }

    void jsonTellsNullFromEmptyText()
    {
        const QByteArray json = equipmentRows("json");
        const QByteArray item57 = "\"item_id\":\"57\",\"item_name\":\"青铜,\\\"长\\\"剑\"";
        QCOMPARE(json, QByteArray("[\n"
                                  "{\"char_name\":\"tab\\tin\","
                                  + item57 + ",\"amount\":\"1\",\"enchant\":\"+12\",\"pet_name\":null},\n"
                                             "{\"char_name\":\"line\\nbreak\\r\",\"item_id\":\"999\",\"item_name\":null,"
                                             "\"amount\":\"2\",\"enchant\":\"+\",\"pet_name\":null},\n"
                                             "{\"char_name\":\"say \\\"hi\\\", ok\","
                                  + item57 + ",\"amount\":null,\"enchant\":\"+0\",\"pet_name\":null},\n"
                                             "{\"char_name\":\"back\\\\slash\",\"item_id\":\"58\",\"item_name\":\"白银长剑\","
                                             "\"amount\":\"4\",\"enchant\":\"+1\",\"pet_name\":null},\n"
                                             "{\"char_name\":\"李逍遥😀\",\"item_id\":\"1\",\"item_name\":\"金币\","
                                             "\"amount\":\"5\",\"enchant\":\"+2\",\"pet_name\":null},\n"
                                             "{\"char_name\":null,"
                                  + item57 + ",\"amount\":\"6\",\"enchant\":\"+3\",\"pet_name\":null},\n"
                                             "{\"char_name\":\"\","
                                  + item57 + ",\"amount\":\"7\",\"enchant\":\"+4\",\"pet_name\":null},\n"
                                             "{\"char_name\":\"bell\\u0007\","
                                  + item57 + ",\"amount\":\"8\",\"enchant\":\"+5\",\"pet_name\":null}\n"
                                             "]\n"));
        QJsonParseError error;
        QJsonDocument::fromJson(json, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }

    void numbersAreWrittenAsTheListShowsThem()
    {
        test::FixtureFolder folder;
        folder.writeItems(QStringLiteral("57\t剑\tSword\n"));
        folder.writeGameDatabase(NumberGame);
        folder.writeSqliteIni();
        const QStringList equip = {QStringLiteral("--dir"), folder.path(), QStringLiteral("equip")};
        const QByteArray rows = "a\t57\t剑\t-9223372036854775808\t+-3\t\n"
                                "a\t57\t剑\t1E+20\t+9223372036854775807\t\n"
                                "a\t58\t\t2.5\t+0.5\t\n";
        QCOMPARE(test::runCliInProcess(equip).out, "char_name\titem_id\titem_name\tamount\tenchant\tpet_name\n" + rows);
        QByteArray csv = rows;
        csv.replace('\t', ',').replace("\n", "\r\n");
        QCOMPARE(test::runCliInProcess(QStringList{QStringLiteral("--format=csv")} + equip).out,
                 "char_name,item_id,item_name,amount,enchant,pet_name\r\n" + csv);
    }

    // Read back by another reader, the worksheet holds what the tsv output
    // shows, cell for cell; numbers only where a spreadsheet shows them so.
    void xlsxHoldsWhatTheTextShows_data()
    {
        QTest::addColumn<QString>("game");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("awkward texts") << AwkwardGame
                                       << QStringList{u"ssssss"_s, u"snsnse"_s, u"snense"_s, u"snsese"_s, u"snsnse"_s,
                                                      u"snsnse"_s, u"ensnse"_s, u"ensnse"_s, u"snsnse"_s};
        QTest::newRow("look-alikes") << LookAlikeGame
                                     << QStringList{u"ssssss"_s, u"snsnse"_s, u"snsnse"_s, u"snsnse"_s, u"snsnse"_s};
        QTest::newRow("numbers") << NumberGame
                                 << QStringList{u"ssssss"_s, u"snssse"_s, u"snssse"_s, u"snsnse"_s};
    }
    void xlsxHoldsWhatTheTextShows()
    {
        QFETCH(QString, game);
        QFETCH(QStringList, types);
        test::FixtureFolder folder;
        folder.writeItems(AwkwardItems);
        folder.writeGameDatabase(game);
        folder.writeSqliteIni();
        const QStringList equip = {QStringLiteral("--dir"), folder.path(), QStringLiteral("equip")};
        const QString path = folder.file(QStringLiteral("equip.xlsx"));
        const test::CliRun run = test::runCliInProcess(QStringList{QStringLiteral("--format=xlsx"), QStringLiteral("--output"), path} + equip);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray());
#ifdef Q_OS_WIN
        QSKIP("Wine gives a host program no pipes: the Windows build's worksheets are read on the host instead");
#endif
        const QStringList sheet = test::readXlsx(path);
        QCOMPARE(textsOf(sheet), test::runCliInProcess(equip).out);
        QCOMPARE(typesOf(sheet), types);
    }

    void xlsxWithoutAFileIsAUsageError()
    {
        const QStringList pets = {QStringLiteral("--dir"), m_folder.path(), QStringLiteral("pet"), QStringLiteral("x")};
        for (const QStringList &arguments : {QStringList{QStringLiteral("--format=xlsx")} + pets,
                                             QStringList{QStringLiteral("--output=x.xlsx")} + pets}) {
            const test::CliRun run = test::runCliInProcess(arguments);
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.contains("--output"), run.err.constData());
        }
    }

    void noRowsIsAHeaderOrAnEmptyArray()
    {
        const QStringList nobody = {QStringLiteral("--dir"), m_folder.path(), QStringLiteral("account"),
                                    QStringLiteral("nobody")};
        QCOMPARE(test::runCliInProcess(nobody).out, QByteArray("char_name\taccount_name\n"));
        QCOMPARE(test::runCliInProcess(QStringList{QStringLiteral("--format=csv")} + nobody).out,
                 QByteArray("char_name,account_name\r\n"));
        QCOMPARE(test::runCliInProcess(QStringList{QStringLiteral("--format=json")} + nobody).out, QByteArray("[]\n"));
    }

    void outputIsUtf8InThePlainCLocale()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C"));
        const test::CliRun run = test::runCli({QStringLiteral("--dir"), m_folder.path(), QStringLiteral("equip"),
                                               QStringLiteral("--name"), QStringLiteral("逍遥")},
                                              QStringLiteral(REALMQUERY_CLI_PATH), environment);
        QCOMPARE(run.out, QByteArray("char_name\titem_id\titem_name\tamount\tenchant\tpet_name\n"
                                     "李逍遥😀\t1\t金币\t5\t+2\t\n"));
    }
};

QTEST_MAIN(TestCliFormats)
#include "test_cli_formats.moc"
