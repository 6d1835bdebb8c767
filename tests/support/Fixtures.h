#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace realm::test {

// A program folder for one test: db.ini, db.mdb (written by the project's
// own Jet 4 writer) and a SQLite game database, as the program finds them.
class FixtureFolder {
public:
    FixtureFolder();

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // Items as the writer's TSV input: "id\tC\tE" lines after the header.
    void writeItems(const QString &rows);
    // Runs the SQL script into realmdb.sqlite.
    void writeGameDatabase(const QString &sql);
    void writeIni(const QByteArray &content);
    // db.ini choosing realmdb.sqlite as the game database.
    void writeSqliteIni();
    // All three with the standard test data below.
    void writeStandard();
    // All three made by the project's data generator: a game database of
    // `rows` user_item rows, long enough to search through for a while;
    // `options` go to the generator after the standard ones.
    void writeGenerated(int rows, const QStringList &options = {});

private:
    QTemporaryDir m_dir;
};

// The standard test data: a few characters, items and pets chosen to hit the
// cases that break list filling (Null enchant, unknown item id, an id twice
// in the item table, quotes and wildcards in names).
QString standardItems();
QString standardGameSql();

// What a program must neither read as a file nor replace by one: a FIFO,
// which blocks whoever opens it, and a character device (a copy of
// /dev/null), which only root may make.
enum class SpecialFile { Fifo,
                         Device };
// False when it cannot be made here: a test then skips.
bool makeSpecialFile(SpecialFile kind, const QString &path);
// True when `path` (links followed) is still of that kind.
bool isSpecialFile(SpecialFile kind, const QString &path);

// A worksheet as an independent reader (openpyxl) finds it: with `layout`
// first a line of the frozen cell, the header's boldness and the column
// widths; then a line a row of tab-separated "type:text" cells, type n for
// a number, s a text, f a formula, e empty (see xlsx_cells.py). On failure,
// the reader's error alone.
QStringList readXlsx(const QString &path, bool layout = false);

// Runs the Jet 4 writer on TSV text; returns its exit code, stderr in `error`.
int runJet4Writer(const QString &tsv, const QString &outputPath, QString *error = nullptr);

} // namespace realm::test
