#include "CliRun.h"
#include "Fixtures.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

QStringList arguments(const QString &text)
{
    return text.split(u' ', Qt::SkipEmptyParts);
}

bool hasChinese(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF; });
}

QProcessEnvironment localeEnvironment(const QString &settings)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANG", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    for (const QString &setting : settings.split(u' ', Qt::SkipEmptyParts))
        environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    return environment;
}

// Words of the program's own English messages; none may reach a Chinese one.
const QList<QByteArray> EnglishWords = {"Unknown", "Error", "Run ", "Usage", "Enter", "Cannot", "not found",
                                        "The program", "There is", "takes", "needs", "Name a"};

} // namespace

// The command line's language: chosen by --lang or the locale, the same in
// every line of a message, with the program's name before every error.
class TestCliLanguage : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_folder;

    realm::test::CliRun run(const QString &command, const QString &locale = u"LANG=C.UTF-8"_s)
    {
        return realm::test::runCli(QStringList{u"--dir"_s, m_folder.path()} + arguments(command),
                                   QStringLiteral(REALMQUERY_CLI_PATH), localeEnvironment(locale));
    }

private slots:
    void initTestCase()
    {
        m_folder.writeItems(realm::test::standardItems() + u"70\t空英文名\t\\e\n71\t无英文名\t\n"_s);
        m_folder.writeGameDatabase(realm::test::standardGameSql()
                                   + u"INSERT INTO user_data VALUES (9,'twonames','acct9');"
                                     "INSERT INTO user_item VALUES (120,9,70,1,0),(121,9,71,1,0),(122,9,57,1,0);"_s);
        m_folder.writeSqliteIni();
    }

    void localeAndOptionChooseTheLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("chinese");
        QTest::newRow("C") << u"LANG=C"_s << u"pet"_s << true;
        QTest::newRow("POSIX") << u"LANG=POSIX"_s << u"pet"_s << true;
        QTest::newRow("no locale at all") << QString() << u"pet"_s << true;
        QTest::newRow("zh_CN") << u"LANG=zh_CN.UTF-8"_s << u"pet"_s << true;
        QTest::newRow("zh_TW") << u"LANG=zh_TW.UTF-8"_s << u"pet"_s << true;
        QTest::newRow("en_US") << u"LANG=en_US.UTF-8"_s << u"pet"_s << false;
        QTest::newRow("de_DE") << u"LANG=de_DE.UTF-8"_s << u"pet"_s << false;
        QTest::newRow("LC_ALL beats LANG") << u"LANG=zh_CN.UTF-8 LC_ALL=fr_FR.UTF-8"_s << u"pet"_s << false;
        QTest::newRow("LC_MESSAGES beats LANG") << u"LANG=en_GB.UTF-8 LC_MESSAGES=zh_CN.UTF-8"_s << u"pet"_s << true;
        QTest::newRow("--lang en over zh") << u"LANG=zh_CN.UTF-8"_s << u"--lang en pet"_s << false;
        QTest::newRow("--lang zh over en") << u"LANG=en_US.UTF-8"_s << u"--lang=zh pet"_s << true;
        QTest::newRow("--lang after the command") << u"LANG=C"_s << u"pet --lang en"_s << false;
    }

    // A usage error and the help, in the chosen language.
    void localeAndOptionChooseTheLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, command);
        QFETCH(bool, chinese);
        const realm::test::CliRun problem = run(command, locale);
        QCOMPARE(problem.exitCode, 2);
        QCOMPARE(hasChinese(problem.err), chinese);
        const realm::test::CliRun help = run(command + u" --help"_s, locale);
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(hasChinese(help.out), chinese);
    }

    void everyErrorInOneLanguage_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("missingFile");
        QTest::newRow("unknown --lang") << u"--lang fr equip"_s << 2 << QString();
        QTest::newRow("no command") << QString() << 2 << QString();
        QTest::newRow("unknown command") << u"find x"_s << 2 << QString();
        QTest::newRow("unknown option") << u"equip --colour red"_s << 2 << QString();
        QTest::newRow("missing value") << u"equip --name"_s << 2 << QString();
        QTest::newRow("value for a flag") << u"equip --help=yes"_s << 2 << QString();
        QTest::newRow("bad format") << u"--format xml equip"_s << 2 << QString();
        QTest::newRow("bad item names") << u"equip --item-names x"_s << 2 << QString();
        QTest::newRow("argument count") << u"pet a b"_s << 2 << QString();
        QTest::newRow("argument to equip") << u"equip a"_s << 2 << QString();
        QTest::newRow("empty item boxes") << u"item"_s << 2 << QString();
        QTest::newRow("bad operator") << u"equip --amount 1 --amount-op =="_s << 2 << QString();
        QTest::newRow("number out of range") << u"equip --enchant 1e999"_s << 2 << QString();
        QTest::newRow("item id out of range") << u"item --id 1e999"_s << 2 << QString();
        QTest::newRow("no such character") << u"account nobody"_s << 0 << QString();
        QTest::newRow("no item file") << u"equip"_s << 1 << u"db.mdb"_s;
        QTest::newRow("no game database") << u"account x"_s << 1 << u"realmdb.sqlite"_s;
        QTest::newRow("no settings") << u"account x"_s << 1 << u"db.ini"_s;
    }

    void everyErrorInOneLanguage()
    {
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QFETCH(QString, missingFile);
        realm::test::FixtureFolder folder;
        folder.writeStandard();
        if (!missingFile.isEmpty())
            QVERIFY(QFile::remove(folder.file(missingFile)));
        for (const QString &language : {u"zh"_s, u"en"_s}) {
            const QStringList all = QStringList{u"--dir"_s, folder.path(), u"--lang"_s, language} + arguments(command);
            const realm::test::CliRun result = realm::test::runCli(all, QStringLiteral(REALMQUERY_CLI_PATH),
                                                                   localeEnvironment(u"LANG=C"_s));
            const QByteArray message = result.err;
            QCOMPARE(result.exitCode, exitCode);
            QVERIFY2(message.startsWith("realmquery-cli: "), message.constData());
            QCOMPARE(message.count("realmquery-cli: "), 1);
            if (language == u"en") {
                QVERIFY2(!hasChinese(QByteArray(message).replace("[基础设置]", "")), message.constData());
                continue;
            }
            QVERIFY2(hasChinese(message), message.constData());
            for (const QByteArray &word : EnglishWords)
                QVERIFY2(!message.contains(word), message.constData());
        }
    }

    void startFailureSaysWhereToLook()
    {
        realm::test::FixtureFolder folder;
        folder.writeStandard();
        folder.writeIni("[基础设置]\nserverip=127.0.0.1,9\nuserid=operator\npassword=secret-word\n");
        for (const QString &language : {u"zh"_s, u"en"_s}) {
            const realm::test::CliRun result = realm::test::runCli(
                {u"--dir"_s, folder.path(), u"--lang"_s, language, u"account"_s, u"x"_s});
            const QString message = QString::fromUtf8(result.err);
            QCOMPARE(result.exitCode, 1);
            QVERIFY2(message.contains(u"127.0.0.1,9"_s) && message.contains(u"operator"_s), qPrintable(message));
            QVERIFY2(message.contains(u"[基础设置]"_s) && message.contains(folder.file(u"db.ini"_s)), qPrintable(message));
            QVERIFY2(!message.contains(u"secret-word"_s), qPrintable(message));
        }
    }

    void englishItemNamesOnRequestInEitherLanguage_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("names");
        const QByteArray chinese = "空英文名,无英文名,青铜长剑";
        const QByteArray english = "空英文名,无英文名,Bronze Sword";
        QTest::newRow("default") << QString() << chinese;
        QTest::newRow("c") << u"--item-names c"_s << chinese;
        QTest::newRow("English interface keeps c") << u"--lang en"_s << chinese;
        QTest::newRow("e") << u"--item-names e"_s << english;
        QTest::newRow("e after the command, Chinese") << u"--lang zh"_s << english;
    }

    void englishItemNamesOnRequestInEitherLanguage()
    {
        QFETCH(QString, options);
        QFETCH(QByteArray, names);
        const bool after = QString::fromLatin1(QTest::currentDataTag()).contains(u"after");
        const QString command = after ? options + u" equip --name twonames --item-names e"_s
                                      : options + u" equip --name twonames"_s;
        const realm::test::CliRun result = run(command + u" --format json"_s);
        QCOMPARE(result.exitCode, 0);
        const auto rows = realm::test::jsonRowsAsShown(result.out, {u"char_name"_s, u"item_id"_s, u"item_name"_s, u"amount"_s, u"enchant"_s, u"pet_name"_s});
        QStringList shown;
        for (const QStringList &row : rows)
            shown << row[2];
        QStringList expected = QString::fromUtf8(names).split(u',');
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
    }

    void columnNamesDoNotFollowTheLanguage()
    {
        const QByteArray chinese = run(u"--lang zh account 赵灵儿"_s).out;
        QVERIFY(chinese.startsWith("char_name\taccount_name\n"));
        QCOMPARE(run(u"--lang en account 赵灵儿"_s).out, chinese);
        QCOMPARE(run(u"--lang en item --id 57 --format json"_s).out, run(u"--lang zh item --id 57 --format json"_s).out);
    }
};

QTEST_MAIN(TestCliLanguage)
#include "test_cli_language.moc"
