#include "data/odbc/DriverConfiguration.h"

#include "data/DataError.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryDir>

#include <mutex>

namespace realm {

namespace {

// The sections written so far, for the life of the process.
struct PrivateConfiguration {
    std::mutex mutex;
    QTemporaryDir folder{QDir::tempPath() + QStringLiteral("/realmquery-XXXXXX")};
    QStringList sections;

    QString path() const { return folder.filePath(QStringLiteral("freetds.conf")); }
};

PrivateConfiguration &configuration()
{
    static PrivateConfiguration kept;
    return kept;
}

// Values of freetds.conf run to the end of the line.
QString sectionText(const QString &name, const GameServerLogin &login, const ServerAddress &address)
{
    return QStringLiteral("[%1]\n\thost = %2\n\tport = %3\n\ttds version = 7.4\n\tencryption = %4\n\tca file = %5\n\tcheck certificate hostname = yes\n")
        .arg(name, address.host, QString::number(address.port),
             login.encryption == Encryption::Require ? QStringLiteral("require") : QStringLiteral("request"), login.caFile);
}

void write(PrivateConfiguration &kept)
{
    QSaveFile file(kept.path());
    const bool written = kept.folder.isValid() && file.open(QIODevice::WriteOnly)
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        && file.write(kept.sections.join(u'\n').toUtf8()) >= 0 && file.commit();
    if (!written)
        throw DataError(ErrorNumber::SettingsFile,
                        QCoreApplication::translate("realm::DriverConfiguration", "无法写入 SQL Server 驱动程序的私有配置文件 %1：%2").arg(kept.path(), file.errorString()));
    // Once: a login on another thread may be reading the environment.
    if (kept.sections.size() == 1)
        qputenv("FREETDSCONF", QFile::encodeName(kept.path()));
}

} // namespace

QString privateServerSection(const GameServerLogin &login, const ServerAddress &address)
{
    if (login.caFile.contains(u'\n') || address.host.contains(u'\n'))
        throw DataError(ErrorNumber::BadArgument, QCoreApplication::translate("realm::DriverConfiguration", "证书文件名或服务器名中含有换行。"));
    PrivateConfiguration &kept = configuration();
    const std::lock_guard lock(kept.mutex);
    for (qsizetype index = 0; index < kept.sections.size(); ++index) {
        const QString name = QStringLiteral("realmquery%1").arg(index + 1);
        if (kept.sections[index] == sectionText(name, login, address))
            return name;
    }
    const QString name = QStringLiteral("realmquery%1").arg(kept.sections.size() + 1);
    kept.sections << sectionText(name, login, address);
    write(kept);
    return name;
}

} // namespace realm
