#include "data/DataError.h"
#include "data/GbkText.h"
#include "data/IniFile.h"
#include "data/Module1.h"
#include "data/Settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace realm;
using namespace Qt::StringLiterals;

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QByteArray &content, const QString &name = QStringLiteral("db.ini"))
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    }

    static QByteArray gbk(const QString &text)
    {
        return encodeGbk(text);
    }

    static QString section() { return QStringLiteral("基础设置"); }

    // All this process has read so far, in bytes; -1 where the system does
    // not say.
    static qint64 bytesReadSoFar()
    {
        QFile io(QStringLiteral("/proc/self/io"));
        if (!io.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : io.readAll().split('\n')) {
            if (line.startsWith("rchar: "))
                return line.sliced(7).toLongLong();
        }
        return -1;
    }

private slots:
    void missingFileSectionOrKeyGiveEmptyText()
    {
        const QString path = write(QStringLiteral("[基础设置]\nserverip=db1\n[其他]\nuserid=x\n").toUtf8());
        QCOMPARE(GetFromINI(section(), QStringLiteral("serverip"), m_dir.filePath(QStringLiteral("none.ini"))), QString());
        QCOMPARE(GetFromINI(QStringLiteral("缺少"), QStringLiteral("serverip"), path), QString());
        QCOMPARE(GetFromINI(section(), QStringLiteral("userid"), path), QString());
        QCOMPARE(GetFromINI(section(), QStringLiteral("serverip"), path), QStringLiteral("db1"));
    }

    void sectionIsFoundInGbkAndUtf8Files_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QString text = QStringLiteral("[基础设置]\r\nserverip=游戏服务器\r\nuserid=sa\r\npassword=秘密\r\n");
        QTest::newRow("gbk") << gbk(text);
        // As Notepad on a Chinese Windows saves it, whatever codec the
        // platform's GBK side uses.
        QTest::newRow("gbk bytes") << QByteArray("[\xBB\xF9\xB4\xA1\xC9\xE8\xD6\xC3]\r\nserverip=\xD3\xCE\xCF\xB7\xB7\xFE\xCE\xF1\xC6\xF7\r\nuserid=sa\r\npassword=\xC3\xD8\xC3\xDC\r\n");
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    }
    void sectionIsFoundInGbkAndUtf8Files()
    {
        QFETCH(QByteArray, content);
        write(content);
        const Settings settings = readSettings(m_dir.path());
        QCOMPARE(settings.login.server, QStringLiteral("游戏服务器"));
        QCOMPARE(settings.login.userId, QStringLiteral("sa"));
        QCOMPARE(settings.login.password, QStringLiteral("秘密"));
    }

    void profileSyntax_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("sectionName");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString serverip = QStringLiteral("serverip");
        QTest::newRow("blanks around =") << QStringLiteral("[基础设置]\n  serverip  =  db1  \n") << section() << serverip << QStringLiteral("db1");
        QTest::newRow("key letter case") << QStringLiteral("[基础设置]\nSERVERIP=db1\n") << section() << QStringLiteral("ServerIP") << QStringLiteral("db1");
        QTest::newRow("section letter case") << QStringLiteral("[Base Settings]\nserverip=db1\n") << QStringLiteral("bASE sETTINGS") << serverip << QStringLiteral("db1");
        QTest::newRow("comment line") << QStringLiteral("[基础设置]\n;serverip=old\nserverip=new\n") << section() << serverip << QStringLiteral("new");
        QTest::newRow("first of repeated keys") << QStringLiteral("[基础设置]\nserverip=a\nserverip=b\n") << section() << serverip << QStringLiteral("a");
        QTest::newRow("first of repeated sections") << QStringLiteral("[基础设置]\nuserid=u\n[基础设置]\nserverip=b\n") << section() << serverip << QString();
        QTest::newRow("nothing after =") << QStringLiteral("[基础设置]\nserverip=\n") << section() << serverip << QString();
        QTest::newRow("quotes around value") << QStringLiteral("[基础设置]\nserverip=\" db1 \"\n") << section() << serverip << QStringLiteral(" db1 ");
        QTest::newRow("inner blanks stay") << QStringLiteral("[基础设置]\nserverip=a  b\n") << section() << serverip << QStringLiteral("a  b");
        QTest::newRow("tabs stay") << QStringLiteral("[基础设置]\nserverip=\tdb1\t\n") << section() << serverip << QStringLiteral("\tdb1\t");
        QTest::newRow("value holding =") << QStringLiteral("[基础设置]\nserverip=a=b\n") << section() << serverip << QStringLiteral("a=b");
    }
    void profileSyntax()
    {
        QFETCH(QString, content);
        QFETCH(QString, sectionName);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(GetFromINI(sectionName, key, write(content.toUtf8())), expected);
    }

    void longValuesAreCutTo254BytesOnCharacterBoundaries()
    {
        QString path = write(QByteArray("[\xBB\xF9\xB4\xA1\xC9\xE8\xD6\xC3]\nserverip=") + QByteArray(300, 'x') + "\n");
        QCOMPARE(GetFromINI(section(), QStringLiteral("serverip"), path), QString(254, u'x'));

        const QString chinese = QString(150, QChar(0x6C49)); // 2 bytes in GBK, 3 in UTF-8
        path = write(gbk(QStringLiteral("[基础设置]\nuserid=") + chinese + u'\n'));
        QCOMPARE(GetFromINI(section(), QStringLiteral("userid"), path), QString(127, QChar(0x6C49)));
        path = write((QStringLiteral("[基础设置]\nuserid=") + chinese + u'\n').toUtf8());
        QCOMPARE(GetFromINI(section(), QStringLiteral("userid"), path), QString(84, QChar(0x6C49)));
    }

    void megabyteValueIsCutWithoutReencodingPerCharacter()
    {
        const QString path = write("[\xBB\xF9\xB4\xA1\xC9\xE8\xD6\xC3]\npassword=" + QByteArray(1 << 20, '\xD6') + "\n");
        QCOMPARE(GetFromINI(section(), QStringLiteral("password"), path).size(), 127);
    }

    // Each key read the file anew: six times for the settings.
    void settingsFileIsReadOnce()
    {
        const QByteArray comments = QByteArray("; padding\n").repeated(300000);
        write(comments + QStringLiteral("[基础设置]\nserverip=h\nuserid=sa\n").toUtf8());
        const qint64 before = bytesReadSoFar();
        if (before < 0)
            QSKIP("the system does not count what a process reads");
        QCOMPARE(readSettings(m_dir.path()).login.userId, QStringLiteral("sa"));
        const qint64 read = bytesReadSoFar() - before;
        QVERIFY2(read < 2 * comments.size(), qPrintable(QString::number(read)));
    }

    void strayBytesInCommentsKeepAUtf8FileUtf8()
    {
        const QByteArray text = QStringLiteral("; 说明\n[基础设置]\nserverip=游戏服\n").toUtf8();
        write("; \xFF\xC0 stray\n" + text + "  ;\x80\n");
        QCOMPARE(readSettings(m_dir.path()).login.server, QStringLiteral("游戏服"));
        write(text + "userid=\xB2\n");
        QVERIFY(readSettings(m_dir.path()).problem.contains(QStringLiteral("没有 [")));
    }

    // Whatever the file holds, the settings either name a server or say,
    // naming the file, why they cannot: never a silent empty configuration.
    void damagedSettingsFilesNameTheFileOrGiveAServer()
    {
        const QByteArray good = gbk(QStringLiteral("[基础设置]\r\nserverip=host,1433\r\nuserid=sa\r\npassword=pw\r\n"));
        QList<QByteArray> corpus = {QByteArray(), "\xFF\xFE" + QStringLiteral("[基础设置]\nserverip=a\n").toUtf8(),
                                    QByteArray("\xFE\xFF\0[", 5), QByteArray("[a\0b]\nserverip=x\n", 17)};
        for (qsizetype length = 0; length < good.size(); ++length)
            corpus << good.first(length);
        for (qsizetype at = 0; at < good.size(); ++at) {
            for (const char mask : {'\x01', '\x80', '\xFF'}) {
                QByteArray flipped = good;
                flipped[at] = char(flipped[at] ^ mask);
                corpus << flipped;
            }
        }
        const QString path = m_dir.filePath(QStringLiteral("db.ini"));
        for (const QByteArray &content : std::as_const(corpus)) {
            write(content);
            const Settings settings = readSettings(m_dir.path());
            QVERIFY2(settings.problem.isEmpty() ? !settings.login.server.isEmpty() : settings.problem.contains(path),
                     content.toHex().constData());
        }
    }

    void startUpProblemsNameTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("words");
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0a\0]\0") << QStringLiteral("UTF-16");
        QTest::newRow("no section") << QByteArray("[other]\nserverip=x\n") << QStringLiteral("没有 [基础设置] 节");
        QTest::newRow("no serverip") << QStringLiteral("[基础设置]\nuserid=sa\n").toUtf8() << QStringLiteral("serverip");
        QTest::newRow("blank serverip") << QStringLiteral("[基础设置]\nserverip=   \n").toUtf8() << QStringLiteral("serverip");
        QTest::newRow("bad timeout") << QStringLiteral("[基础设置]\nserverip=h\nquerytimeout=-1\n").toUtf8() << QStringLiteral("querytimeout");
    }
    void startUpProblemsNameTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, words);
        const QString path = write(content);
        const Settings settings = readSettings(m_dir.path());
        try {
            openGameConnection(settings, m_dir.path());
            QFAIL("the driver was reached");
        } catch (const DataError &error) {
            QCOMPARE(error.number(), ErrorNumber::SettingsFile);
            QVERIFY2(error.text().contains(path) && error.text().contains(words), qPrintable(error.text()));
        }
    }

    void missingFileOrFolderIsReported()
    {
        QTemporaryDir empty;
        QVERIFY(readSettings(empty.path()).problem.contains(QStringLiteral("不存在")));
        QVERIFY(QDir(empty.path()).mkdir(QStringLiteral("db.ini")));
        QVERIFY(readSettings(empty.path()).problem.contains(QStringLiteral("是一个文件夹")));
    }

    void queryTimeoutDefaultsToFiveMinutes()
    {
        write(QStringLiteral("[基础设置]\nserverip=h\n").toUtf8());
        QCOMPARE(readSettings(m_dir.path()).login.queryTimeoutSeconds, 300);
        write(QStringLiteral("[基础设置]\nserverip=h\nquerytimeout= 0 \n").toUtf8());
        QCOMPARE(readSettings(m_dir.path()).login.queryTimeoutSeconds, 0);
    }

    void settingsAreTrimmedOfBlanksOnly()
    {
        write(QStringLiteral("[基础设置]\nserverip=\"  host,1433  \"\nuserid=\"\tsa \"\n").toUtf8());
        const Settings settings = readSettings(m_dir.path());
        QCOMPARE(settings.login.server, QStringLiteral("host,1433"));
        QCOMPARE(settings.login.userId, QStringLiteral("\tsa"));
        QCOMPARE(settings.login.password, QString());
        QCOMPARE(settings.gameDatabaseFile, QString());
    }

    // A corpus of odd server sections in a GBK file: each damaged one says
    // why naming its section and key, and leaves the others readable.
    void damagedServerSectionsStayTheirOwn()
    {
        write(gbk(QStringLiteral("[基础设置]\nserverip=10.0.0.1\n"
                                 "[服务器:二区]\nserverip=h2\nuserid=u2\n[other]\nserverip=x\n"
                                 "[服务器：三区]\ngamedb=/data/r3.sqlite\n"
                                 "[服务器:]\nserverip=h4\n[服务器: 二区 ]\nserverip=h5\n"
                                 "[服务器:五区]\nserverip=h6\nquerytimeout=soon\n[服务器:六区]\nuserid=u7\n"
                                 "[服务器:10.0.0.1]\nserverip=h8\n[服务器:二区]\nserverip=again\n")));
        const std::vector<Settings> servers = readServerProfiles(m_dir.path());
        QStringList names;
        for (const Settings &server : servers)
            names << server.displayName + u'=' + (isUsable(server) ? server.login.server + server.gameDatabaseFile : server.problem);
        QCOMPARE(names.size(), 8);
        QCOMPARE(names.mid(0, 3), (QStringList{u"10.0.0.1=10.0.0.1"_s, u"二区=h2"_s, u"三区=/data/r3.sqlite"_s}));
        // Each problem names its section, and its key where one is at fault.
        const QList<QStringList> why = {{u"[服务器:]"_s}, {u"[服务器: 二区]"_s}, {u"querytimeout"_s, u"[服务器:五区]"_s}, {u"serverip"_s, u"[服务器:六区]"_s}, {u"[服务器:10.0.0.1]"_s}};
        for (qsizetype damaged = 0; damaged < why.size(); ++damaged) {
            const QString &problem = names[damaged + 3];
            const bool named = std::ranges::all_of(why[damaged], [&](const QString &part) { return problem.contains(part); });
            QVERIFY2(named && problem.contains(m_dir.path()), qPrintable(problem));
        }
        QCOMPARE(readSettings(m_dir.path()).login.server, QStringLiteral("10.0.0.1"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_inifile.moc"
