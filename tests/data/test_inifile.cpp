#include "data/IniFile.h"
#include "data/Settings.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace realm;

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
        QStringEncoder encoder("GB18030");
        return encoder.encode(text);
    }

    static QString section() { return QStringLiteral("基础设置"); }

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

    void settingsAreTrimmedOfBlanksOnly()
    {
        write(QStringLiteral("[基础设置]\nserverip=\"  host,1433  \"\nuserid=\"\tsa \"\n").toUtf8());
        const Settings settings = readSettings(m_dir.path());
        QCOMPARE(settings.login.server, QStringLiteral("host,1433"));
        QCOMPARE(settings.login.userId, QStringLiteral("\tsa"));
        QCOMPARE(settings.login.password, QString());
        QCOMPARE(settings.gameDatabaseFile, QString());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_inifile.moc"
