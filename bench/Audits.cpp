#include "Audits.h"

#include "InProcess.h"
#include "Measure.h"
#include "Spawn.h"
#include "Table.h"

#include "query/AuditQueries.h"
#include "query/EquipmentQuery.h"
#include "query/ItemIds.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {

// One quality of twenty in the generated names: about 1,000 of 20,000 items.
const QString ThousandItemsFragment = QStringLiteral("精制");
// One kind of thirty, for the totals of one name by character.
const QString OneKindFragment = QStringLiteral("长剑");

// The statement as the shell runs it: the parameters, all item ids here, as
// literals in place of the placeholders.
QString withLiterals(const realm::SqlStatement &statement)
{
    QString text;
    qsizetype next = 0;
    for (const QChar c : statement.text)
        text += c == u'?' ? statement.parameters.value(next++) : QString(c);
    return text;
}

realm::SqlStatement equipmentStatement()
{
    return realm::equipmentQuery({}).statement;
}

struct AuditCase {
    std::string title;
    QStringList cliArguments;
    QString sql;
};

double runCase(Table &table, const AuditCase &audit, const QString &folder, const QString &cli, const QString &sqlite3,
               int repeat)
{
    const QString game = QDir(folder).filePath(QStringLiteral("realmdb.sqlite"));
    Samples shell;
    Samples program;
    for (int i = 0; i < repeat; ++i) {
        shell.seconds.push_back(runMeasured(sqlite3, {QStringLiteral("-csv"), game, audit.sql}).seconds);
        program.seconds.push_back(
            runMeasured(cli, QStringList{QStringLiteral("--dir"), folder, QStringLiteral("--format"), QStringLiteral("tsv")} + audit.cliArguments)
                .seconds);
    }
    table.lineAgainst("  sqlite3 -csv FILE \"SQL\"", shell, shell);
    table.lineAgainst("  realmquery-cli " + audit.cliArguments.join(u' ').toStdString(), program, shell);
    return program.best() / shell.best();
}

std::vector<AuditCase> auditCases(OpenFolder &open)
{
    const auto &items = *open.module().rsItemNames->table();
    const auto slice = [](const std::vector<qint64> &ids) { return std::span<const qint64>(ids); };
    const std::vector<qint64> thousand = realm::itemIdsNamed(items, ThousandItemsFragment, realm::ItemNameLanguage::Chinese);
    const std::vector<qint64> oneKind = realm::itemIdsNamed(items, OneKindFragment, realm::ItemNameLanguage::Chinese);
    const realm::SqlStatement byItem = realm::totalsQuery(equipmentStatement(), realm::TotalsGrouping::ByItem);
    const realm::SqlStatement byCharacter = realm::totalsQuery(equipmentStatement(), realm::TotalsGrouping::ByCharacter);
    return {
        {"totals by item", {QStringLiteral("totals")}, byItem.text},
        {"totals by character of the items named " + OneKindFragment.toStdString() + " ("
             + grouped(qint64(oneKind.size())) + " items)",
         {QStringLiteral("totals"), QStringLiteral("--by"), QStringLiteral("character"), QStringLiteral("--item-name"),
          OneKindFragment},
         withLiterals(realm::withIdList(byCharacter, slice(oneKind), QStringLiteral(" and user_item.item_type in "), {},
                                        realm::itemListPlace(byCharacter)))},
        {"duplicated instances", {QStringLiteral("dupes")}, realm::duplicatesQuery({}).text},
        {"equipment search by the item name " + ThousandItemsFragment.toStdString() + " ("
             + grouped(qint64(thousand.size())) + " items)",
         {QStringLiteral("equip"), QStringLiteral("--item-name"), ThousandItemsFragment},
         withLiterals(realm::withIdList(equipmentStatement(), slice(thousand), QStringLiteral(" and user_item.item_type in ")))},
    };
}

// A plain TDS test server on the game file, for the totals through FreeTDS.
class TotalsServer {
public:
    TotalsServer(const QString &gameFile, const QString &password)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("python3"), {QStringLiteral(REALMBENCH_TDSSERVER), QStringLiteral("--db"), gameFile, QStringLiteral("--login"), QStringLiteral("operator"), QStringLiteral("--password"), password});
        while (!m_process.canReadLine() && m_process.waitForReadyRead(60'000)) { }
        m_port = m_process.readLine().trimmed().toUShort();
        if (m_port == 0)
            throw std::runtime_error("the TDS test server did not start");
    }
    ~TotalsServer()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    TotalsServer(const TotalsServer &) = delete;
    TotalsServer &operator=(const TotalsServer &) = delete;

    QString port() const { return QString::number(m_port); }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

// The command line's CPU time for the totals by item through FreeTDS; the
// server's own time for the grouped statement is not the client's.
void sqlServerTotals(const QString &folder, const QString &cli, int repeat, AuditFindings &findings)
{
    const QString password = QStringLiteral("bench-word");
    const TotalsServer server(QDir(folder).filePath(QStringLiteral("realmdb.sqlite")), password);
    const QTemporaryDir work;
    QFile::copy(QDir(folder).filePath(QStringLiteral("db.mdb")), work.filePath(QStringLiteral("db.mdb")));
    QFile ini(work.filePath(QStringLiteral("db.ini")));
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write(QStringLiteral("[基础设置]\nserverip=127.0.0.1,%1\nuserid=operator\npassword=%2\n").arg(server.port(), password).toUtf8()) < 0)
        throw std::runtime_error("cannot write db.ini");
    ini.close();
    ini.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Samples cpu;
    for (int i = 0; i < repeat; ++i)
        cpu.seconds.push_back(runMeasured(cli, {QStringLiteral("--dir"), work.path(), QStringLiteral("totals")}).cpuSeconds);
    QProcess count;
    count.start(cli, {QStringLiteral("--dir"), work.path(), QStringLiteral("totals")});
    count.waitForFinished(600'000);
    findings.sqlServerTotalsLines = int(count.readAllStandardOutput().count('\n')) - 1;
    findings.sqlServerTotalsCpu = cpu.best();
    std::printf("  SQL Server path: CPU time of realmquery-cli totals, %s lines: median %.3f s, best %.3f s\n",
                grouped(findings.sqlServerTotalsLines).c_str(), cpu.median(), cpu.best());
}

} // namespace

void auditSection(const QString &folder, const QString &cli, const QString &sqlite3, int repeat, AuditFindings &findings)
{
    OpenFolder open(folder);
    std::printf("\nItem audits: 1,000,000 user_item rows with 1,000 duplicated instances, 20,000-item db.mdb\n"
                "(each case against the sqlite3 shell running the same SQL, in turns; x ref compares medians)\n");
    for (const AuditCase &audit : auditCases(open)) {
        Table table(audit.title);
        findings.worstBestRatio = std::max(findings.worstBestRatio, runCase(table, audit, folder, cli, sqlite3, repeat));
    }
    const auto &items = *open.module().rsItemNames->table();
    std::size_t found = 0;
    Samples choice;
    for (int i = 0; i < 10; ++i)
        choice.seconds.push_back(cpuSecondsOf([&] {
            found = realm::itemIdsNamed(items, ThousandItemsFragment, realm::ItemNameLanguage::Chinese).size();
        }));
    findings.idChoiceSeconds = choice.best();
    std::printf("\n  choosing the ids named %s in the 20,000-item table (%zu ids): CPU median %.4f s, best %.4f s\n",
                ThousandItemsFragment.toUtf8().constData(), found, choice.median(), choice.best());
    sqlServerTotals(folder, cli, repeat, findings);
}

void printAuditBars(const AuditFindings &findings)
{
    const auto bar = [](const char *format, double figure, double limit) {
        char line[160];
        std::snprintf(line, sizeof line, format, figure, limit);
        std::printf("  %-64s %s\n", line, figure <= limit ? "met" : "NOT MET");
    };
    bar("slowest item audit, best runs: %.2fx sqlite3 (<= %gx)", findings.worstBestRatio, 1.2);
    bar("ids for a name in a 20,000-item table: %.4f s (<= %g s)", findings.idChoiceSeconds, 0.010);
    bar("SQL Server totals, client CPU: %.3f s (<= %g s)", findings.sqlServerTotalsCpu, 0.1);
}

} // namespace bench
