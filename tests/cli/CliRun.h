#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

namespace realm::test {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the command-line program to its end and keeps all it wrote.
// One that has not ended after `timeoutMs` is killed and gives nothing.
inline CliRun runCli(const QStringList &arguments, const QString &program = QStringLiteral(REALMQUERY_CLI_PATH),
                     const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                     int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The cells of a json array of rows, by key, each as a list shows it: a
// value that is null there is the empty text in a list.
inline QList<QStringList> jsonRowsAsShown(const QByteArray &json, const QStringList &keys)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        qWarning("not a json array: %s", qPrintable(error.errorString()));
    QList<QStringList> rows;
    for (const QJsonValue &row : document.array()) {
        QStringList cells;
        const QJsonObject object = row.toObject();
        for (const QString &key : keys)
            cells << (object.contains(key) ? object.value(key).toString() : QStringLiteral("<no %1>").arg(key));
        rows << cells;
    }
    return rows;
}

} // namespace realm::test
