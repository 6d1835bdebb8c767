#include "data/Module1.h"
#include "data/Settings.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsTemplate.h"
#include "ui/FirstRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace realm;

namespace {

// Answers each message box as it opens with the next of the given buttons,
// and keeps the boxes' texts.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers)
        : m_answers(std::move(answers))
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::answerOpenBox);
        m_timer.start(20);
    }

    QStringList texts;

private:
    void answerOpenBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || m_answers.isEmpty())
            return;
        texts << box->text();
        box->button(m_answers.takeFirst())->click();
    }

    QList<QMessageBox::StandardButton> m_answers;
    QTimer m_timer;
};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The first start's offer: a db.ini appears only on a yes, is never written
// over anything already there, and is a file the settings reader reads.
class TestFirstRun : public QObject {
    Q_OBJECT

    QTemporaryDir m_configHome;

    QString settingsFile() const { return settingsPath(userSettingsFolder()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_configHome.isValid());
        // The usual mask, which leaves new files readable by everyone.
        ::umask(022);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
        QCOMPARE(userSettingsFolder(), m_configHome.path() + QStringLiteral("/realmquery"));
    }
    void init() { QVERIFY(QDir(userSettingsFolder()).removeRecursively()); }

    void noWritesNothing()
    {
        BoxAnswerer answerer({QMessageBox::No});
        QVERIFY(!ui::offerSettingsTemplate());
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY(answerer.texts.first().contains(itemDatabasePath(userSettingsFolder())));
        QVERIFY(!QFileInfo::exists(userSettingsFolder()));
    }

    void yesWritesATemplateTheReaderReads()
    {
        BoxAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        QVERIFY(ui::offerSettingsTemplate());
        QCOMPARE(answerer.texts.size(), 2);
        QVERIFY(QFileInfo(settingsFile()).isFile());
        // The password goes in there.
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(settingsFile()).permissions() & others, QFile::Permissions());
        QCOMPARE(QFileInfo(userSettingsFolder()).permissions() & others, QFile::Permissions());
        const Settings blank = readSettings(userSettingsFolder());
        QVERIFY(blank.login.server.isEmpty() && blank.login.userId.isEmpty() && blank.gameDatabaseFile.isEmpty());

        // The demo line works once its semicolon goes.
        QFile file(settingsFile());
        const QByteArray text = contentOf(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(text).replace("\n;gamedb=", "\ngamedb="));
        file.close();
        QCOMPARE(readSettings(userSettingsFolder()).gameDatabaseFile, installedDemoFolder() + QStringLiteral("/realmdb.sqlite"));
    }

    void existingFileIsKept_data()
    {
        QTest::addColumn<bool>("danglingLink");
        QTest::newRow("file") << false;
        QTest::newRow("dangling link") << true;
    }

    void existingFileIsKept()
    {
        QFETCH(bool, danglingLink);
        QVERIFY(QDir().mkpath(userSettingsFolder()));
        const QString target = m_configHome.filePath(QStringLiteral("elsewhere.ini"));
        QFile::remove(target);
        if (danglingLink) {
            QVERIFY(QFile::link(target, settingsFile()));
        } else {
            QFile file(settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("operator's own\n");
        }
        BoxAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        QVERIFY(!ui::offerSettingsTemplate());
        QCOMPARE(answerer.texts.size(), 2);
        QVERIFY(answerer.texts.last().contains(settingsFile()));
        if (danglingLink)
            QVERIFY(!QFileInfo::exists(target));
        else
            QCOMPARE(contentOf(settingsFile()), QByteArray("operator's own\n"));
    }
};

QTEST_MAIN(TestFirstRun)
#include "test_first_run.moc"
