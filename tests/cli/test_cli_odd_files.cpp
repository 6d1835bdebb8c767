#include "CliRun.h"
#include "Fixtures.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>

#include <cstring>

using namespace realm;
using namespace Qt::StringLiterals;

namespace {

// What takes the place of db.ini or db.mdb.
enum class Stand { Fifo,
                   Device,
                   LinkToZero,
                   Socket,
                   Sparse };

// A listening socket bound at `path`, closed at the end of the scope.
class BoundSocket {
public:
    explicit BoundSocket(const QString &path)
        : m_socket(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
        m_bound = ::bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    }
    ~BoundSocket() { ::close(m_socket); }
    BoundSocket(const BoundSocket &) = delete;
    BoundSocket &operator=(const BoundSocket &) = delete;

    bool isBound() const { return m_bound; }

private:
    int m_socket;
    bool m_bound = false;
};

} // namespace

Q_DECLARE_METATYPE(Stand)

// Settings and item files that are no regular files of a plausible size: a
// FIFO would block the start for ever, a device or a sparse file be read
// until memory runs out. Each is refused by name before it is read; and a
// password others may read is pointed out.
class TestCliOddFiles : public QObject {
    Q_OBJECT

    static test::CliRun runPetSearch(const QString &folder)
    {
        return test::runCli({u"--dir"_s, folder, u"pet"_s, u"小白"_s}, QStringLiteral(REALMQUERY_CLI_PATH),
                            QProcessEnvironment::systemEnvironment(), 30000);
    }

private slots:
    void filesThatAreNotPlainAreRefusedByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Stand>("stand");
        QTest::addColumn<QString>("words");
        const QString settingsWords = u"不是普通文件"_s;
        const QString itemWords = u"不是普通文件"_s;
        QTest::newRow("db.ini FIFO") << u"db.ini"_s << Stand::Fifo << settingsWords;
        QTest::newRow("db.mdb FIFO") << u"db.mdb"_s << Stand::Fifo << itemWords;
        QTest::newRow("db.ini device") << u"db.ini"_s << Stand::Device << settingsWords;
        QTest::newRow("db.mdb device") << u"db.mdb"_s << Stand::Device << itemWords;
        QTest::newRow("db.ini link to /dev/zero") << u"db.ini"_s << Stand::LinkToZero << settingsWords;
        QTest::newRow("db.mdb link to /dev/zero") << u"db.mdb"_s << Stand::LinkToZero << itemWords;
        QTest::newRow("db.mdb socket") << u"db.mdb"_s << Stand::Socket << itemWords;
        QTest::newRow("db.ini sparse 64 MB") << u"db.ini"_s << Stand::Sparse << u"大于 4 MB"_s;
        QTest::newRow("db.mdb sparse 4 GB") << u"db.mdb"_s << Stand::Sparse << u"上限 2 GB"_s;
    }
    void filesThatAreNotPlainAreRefusedByName()
    {
        QFETCH(QString, name);
        QFETCH(Stand, stand);
        QFETCH(QString, words);
        test::FixtureFolder folder;
        folder.writeStandard();
        const QString path = folder.file(name);
        QVERIFY(QFile::remove(path));
        std::optional<BoundSocket> socket;
        switch (stand) {
        case Stand::Fifo:
            QVERIFY(test::makeSpecialFile(test::SpecialFile::Fifo, path));
            break;
        case Stand::Device:
            if (!test::makeSpecialFile(test::SpecialFile::Device, path))
                QSKIP("only root makes device nodes");
            break;
        case Stand::LinkToZero:
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
            break;
        case Stand::Socket:
            socket.emplace(path);
            QVERIFY(socket->isBound());
            break;
        case Stand::Sparse:
            QFile sparse(path);
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(name == u"db.ini" ? qint64(64) << 20 : qint64(4) << 30));
            break;
        }
        const test::CliRun result = runPetSearch(folder.path());
        const QString errors = QString::fromUtf8(result.err);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(errors.contains(path) && errors.contains(words), qPrintable(errors));
        QVERIFY(result.out.isEmpty());
    }

    void passwordOthersMayReadIsPointedOutOnce_data()
    {
        QTest::addColumn<QFile::Permissions>("permissions");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<int>("notes");
        const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
        QTest::newRow("everyone reads a password") << (owner | QFile::ReadGroup | QFile::ReadOther) << QByteArray("secret-word") << 1;
        QTest::newRow("the group reads a password") << (owner | QFile::ReadGroup) << QByteArray("secret-word") << 1;
        QTest::newRow("the owner alone reads a password") << owner << QByteArray("secret-word") << 0;
        QTest::newRow("everyone reads no password") << (owner | QFile::ReadOther) << QByteArray() << 0;
    }
    void passwordOthersMayReadIsPointedOutOnce()
    {
        QFETCH(QFile::Permissions, permissions);
        QFETCH(QByteArray, password);
        QFETCH(int, notes);
        test::FixtureFolder folder;
        folder.writeStandard();
        folder.writeIni("[基础设置]\nserverip=\nuserid=sa\npassword=" + password + "\ngamedb=realmdb.sqlite\n");
        QVERIFY(QFile::setPermissions(folder.file(u"db.ini"_s), permissions));
        const test::CliRun result = runPetSearch(folder.path());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.count('\n'), 2);
        QCOMPARE(QString::fromUtf8(result.err).count(u"chmod 600 "_s + folder.file(u"db.ini"_s)), notes);
        QVERIFY(!result.err.contains("secret-word"));
    }
};

QTEST_GUILESS_MAIN(TestCliOddFiles)
#include "test_cli_odd_files.moc"
