#include "CliRun.h"
#include "Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace realm;

// Where the programs find db.ini and db.mdb, run from a copy of the program
// in a folder of its own: each folder's item file names item 1 after the
// folder, so the name that comes out tells which folder was read.
class TestCliSettingsFolder : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    QString programFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString configHome() const { return m_root.filePath(QStringLiteral("config")); }
    QString configFolder() const { return configHome() + QStringLiteral("/realmquery"); }
    QString chosenFolder() const { return m_root.filePath(QStringLiteral("chosen")); }
    QString copiedProgram(const char *name) const { return programFolder() + u'/' + QString::fromLatin1(name); }

    static void writeItemFile(const QString &folder, const QString &itemName)
    {
        QVERIFY(QDir().mkpath(folder));
        QString error;
        QCOMPARE(test::runJet4Writer(QStringLiteral("id\tC\tE\n1\t%1\tx\n").arg(itemName), folder + QStringLiteral("/db.mdb"), &error), 0);
    }
    static void writeSettings(const QString &folder)
    {
        QFile ini(folder + QStringLiteral("/db.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("; only its presence counts here\n");
    }
    static void copyProgram(const QString &from, const QString &to)
    {
        QFile::remove(to);
        QVERIFY(QFile::copy(from, to));
    }

    QProcessEnvironment environment(bool withConfigHome = true) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
        if (withConfigHome)
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
        else
            environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }

    QString itemNameRead(const QStringList &options = {}, bool withConfigHome = true) const
    {
        const test::CliRun run = test::runCli(options + QStringList{QStringLiteral("item"), QStringLiteral("--id"), QStringLiteral("1")},
                                              copiedProgram("realmquery-cli"), environment(withConfigHome));
        if (run.exitCode != 0)
            return QString::fromUtf8(run.err);
        return QString::fromUtf8(run.out).split(u'\n').value(1).section(u'\t', 1, 1);
    }

private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        for (const char *folder : {"program", "config", "chosen", "home"})
            QVERIFY(QDir(m_root.filePath(QString::fromLatin1(folder))).removeRecursively());
        QVERIFY(QDir().mkpath(programFolder()));
        copyProgram(QStringLiteral(REALMQUERY_CLI_PATH), copiedProgram("realmquery-cli"));
        copyProgram(QStringLiteral(REALMQUERY_PATH), copiedProgram("realmquery"));
        writeItemFile(programFolder(), QStringLiteral("program"));
        writeItemFile(configFolder(), QStringLiteral("config"));
    }

    void programFolderComesFirst()
    {
        writeSettings(programFolder());
        writeSettings(configFolder());
        QCOMPARE(itemNameRead(), QStringLiteral("program"));
    }

    void itemFileComesFromTheFolderOfTheSettingsUsed()
    {
        writeSettings(configFolder());
        QCOMPARE(itemNameRead(), QStringLiteral("config"));
    }

    void chosenFolderWinsOverBoth()
    {
        writeSettings(programFolder());
        writeSettings(configFolder());
        writeItemFile(chosenFolder(), QStringLiteral("chosen"));
        QCOMPARE(itemNameRead({QStringLiteral("--dir"), chosenFolder()}), QStringLiteral("chosen"));
        const QString missing = m_root.filePath(QStringLiteral("nowhere"));
        const QString report = itemNameRead({QStringLiteral("--dir"), missing});
        QVERIFY2(report.contains(missing) && !report.contains(QStringLiteral("db.mdb")), qPrintable(report));
    }

    void configFolderDefaultsToHomeConfig()
    {
        const QString homeConfig = m_root.filePath(QStringLiteral("home/.config/realmquery"));
        writeItemFile(homeConfig, QStringLiteral("home"));
        writeSettings(homeConfig);
        QCOMPARE(itemNameRead({}, false), QStringLiteral("home"));
    }

    // Both programs name the folders in the search order, fail, and write
    // nothing: a file appears only on a user's yes in the window program.
    void noSettingsAnywhereIsReportedInSearchOrder()
    {
        const QStringList itemSearch = {QStringLiteral("item"), QStringLiteral("--id"), QStringLiteral("1")};
        for (const auto &[program, arguments] : {std::pair{"realmquery-cli", itemSearch}, std::pair{"realmquery", QStringList{}}}) {
            QProcess process;
            process.setProcessEnvironment(environment());
            process.start(copiedProgram(program), arguments);
            QVERIFY(process.waitForFinished(60000));
            const QString report = QString::fromUtf8(process.readAllStandardError());
            QCOMPARE(process.exitCode(), 1);
            const qsizetype first = report.indexOf(programFolder() + u'\n');
            const qsizetype second = report.indexOf(configFolder() + u'\n');
            QVERIFY2(first >= 0 && second > first, qPrintable(report));
            QVERIFY2(QDir(configFolder()).entryList(QDir::Files) == QStringList{QStringLiteral("db.mdb")}, program);
        }
    }
};

QTEST_MAIN(TestCliSettingsFolder)
#include "test_cli_settings_folder.moc"
