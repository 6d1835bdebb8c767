#pragma once

#include <QString>

namespace bench {

// The item audits on the 1,000,000-row game file with duplicated instances:
// totals by item, totals by character for one item name, duplicates, and
// the equipment search by a name of 1,000 items, each against the sqlite3
// shell running the same SQL, in turns; choosing the ids for a name; the
// client's CPU time for a totals result on the SQL Server path.
struct AuditFindings {
    double worstBestRatio = 0; // the highest of the four cases, best runs
    double idChoiceSeconds = 0;
    double sqlServerTotalsCpu = 0;
    int sqlServerTotalsLines = 0;
};

void auditSection(const QString &folder, const QString &cli, const QString &sqlite3, int repeat, AuditFindings &findings);
void printAuditBars(const AuditFindings &findings);

} // namespace bench
