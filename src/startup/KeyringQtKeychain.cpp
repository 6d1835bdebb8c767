#include "startup/Keyring.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <qt6keychain/keychain.h>

namespace realm::keyring {

namespace {

const QString Service = QStringLiteral("realmquery");

// Runs the job to its end; the error text when it failed for another
// reason than a missing entry.
QString finish(QKeychain::Job &job, const QString &server, const QString &userId)
{
    job.setAutoDelete(false);
    job.setKey(entryKey(server, userId));
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return {};
    return QCoreApplication::translate("realm::Keyring", "无法使用系统密钥环（%1）。").arg(job.errorString());
}

// QtKeychain keeps its queue of jobs in an object of the thread that used
// it first, so every call runs on the application's thread: a server that
// connects on its own thread waits there for the answer.
template <typename Result, typename Call>
Result onApplicationThread(Call call)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread())
        return call();
    Result result;
    QMetaObject::invokeMethod(
        application, [&] { result = call(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

Lookup read(const QString &server, const QString &userId)
{
    return onApplicationThread<Lookup>([&] {
        QKeychain::ReadPasswordJob job(Service);
        Lookup lookup;
        lookup.problem = finish(job, server, userId);
        if (lookup.problem.isEmpty() && job.error() == QKeychain::NoError)
            lookup.password = job.textData();
        return lookup;
    });
}

QString store(const QString &server, const QString &userId, const QString &password)
{
    return onApplicationThread<QString>([&] {
        QKeychain::WritePasswordJob job(Service);
        job.setTextData(password);
        return finish(job, server, userId);
    });
}

QString forget(const QString &server, const QString &userId)
{
    return onApplicationThread<QString>([&] {
        QKeychain::DeletePasswordJob job(Service);
        return finish(job, server, userId);
    });
}

} // namespace realm::keyring
