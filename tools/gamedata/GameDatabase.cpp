#include "GameDatabase.h"

#include "ChineseNames.h"

#include "data/SqliteConnection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace gamedata {

namespace {

constexpr std::int64_t ItemsPerCharacter = 25;
constexpr std::int64_t CharactersPerAccount = 3;

// user_item.item_id is no key: an exploit's copies of an instance share it.
// The names compare as on the game server, whatever their letter case; the
// indexes on them are built with the program's own NOCASE (Database opens
// with its text rules), so they agree with its lookups. Files made before the
// names had COLLATE NOCASE keep comparing them case-sensitively.
const char *const Schema = "CREATE TABLE user_data (char_id INTEGER PRIMARY KEY, char_name TEXT COLLATE NOCASE,"
                           " account_name TEXT COLLATE NOCASE);"
                           "CREATE TABLE user_item (item_id INTEGER, char_id INTEGER, item_type INTEGER, amount INTEGER,"
                           " enchant INTEGER);"
                           "CREATE TABLE pet_data (pet_id INTEGER PRIMARY KEY, nick_name TEXT);";

const char *const Indexes = "CREATE INDEX user_item_char ON user_item (char_id);"
                            "CREATE INDEX user_item_instance ON user_item (item_id);"
                            "CREATE INDEX user_data_name ON user_data (char_name);"
                            "CREATE INDEX user_data_account ON user_data (account_name);";

class Database {
public:
    explicit Database(const std::string &path)
    {
        std::remove(path.c_str());
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            fail(path);
        realm::SqliteConnection::addServerTextRules(m_db);
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    void execute(const char *sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }

    sqlite3_stmt *prepare(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            fail(sql);
        return statement;
    }

    [[noreturn]] void fail(const std::string &what) const
    {
        throw std::runtime_error(what + ": " + sqlite3_errmsg(m_db));
    }

private:
    sqlite3 *m_db = nullptr;
};

// One prepared insert, reset after each row.
class Insert {
public:
    Insert(Database &db, const char *sql)
        : m_db(db), m_statement(db.prepare(sql), sqlite3_finalize) { }

    Insert &integer(int index, std::int64_t value)
    {
        sqlite3_bind_int64(m_statement.get(), index, value);
        return *this;
    }
    Insert &text(int index, const std::string &value)
    {
        sqlite3_bind_text(m_statement.get(), index, value.data(), int(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert &null(int index)
    {
        sqlite3_bind_null(m_statement.get(), index);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(m_statement.get()) != SQLITE_DONE)
            m_db.fail("insert");
        sqlite3_reset(m_statement.get());
    }

private:
    Database &m_db;
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> m_statement;
};

std::string accountName(std::int64_t account)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "acct%06lld", static_cast<long long>(account));
    return buffer;
}

void writeCharacters(Database &db, std::int64_t characters, Random random)
{
    Insert insert(db, "INSERT INTO user_data VALUES (?,?,?)");
    const std::int64_t accounts = std::max<std::int64_t>(1, characters / CharactersPerAccount);
    for (std::int64_t id = 1; id <= characters; ++id) {
        const std::string name = characterName(random);
        const auto account = std::int64_t(random.below(std::uint64_t(accounts))) + 1;
        insert.integer(1, id).text(2, name).text(3, accountName(account)).run();
    }
}

std::int64_t amountOf(Random &random)
{
    return random.percent(70) ? 1 : std::int64_t(random.below(9999)) + 1;
}

void bindEnchant(Insert &insert, Random &random)
{
    if (random.percent(1))
        insert.null(5);
    else
        insert.integer(5, random.percent(60) ? 0 : std::int64_t(random.below(15)) + 1);
}

void writeItems(Database &db, const Options &options, const ItemPlan &plan, std::int64_t characters)
{
    Insert insert(db, "INSERT INTO user_item VALUES (?,?,?,?,?)");
    Random random = streamOf(options.seed, Stream::Items);
    for (std::int64_t id = 1; id <= options.rows; ++id) {
        insert.integer(1, id).integer(2, std::int64_t(random.below(std::uint64_t(characters))) + 1);
        insert.integer(3, plan.gameItemType(random)).integer(4, amountOf(random));
        bindEnchant(insert, random);
        insert.run();
    }
}

// The copies of instance k: one more holder, two more, or the same
// character once more, by k % 3. The rows were inserted in item_id order,
// so an instance's first row is the row of that number.
void writeDuplicates(Database &db, const Options &options, std::int64_t characters)
{
    Insert copy(db, "INSERT INTO user_item SELECT item_id, (char_id - 1 + ?) % ? + 1, item_type, amount, enchant"
                    " FROM user_item WHERE rowid = ?");
    const std::int64_t spacing = options.duplicates > 0 ? options.rows / options.duplicates : 0;
    for (std::int64_t k = 0; k < options.duplicates; ++k) {
        const std::int64_t instance = 1 + k * spacing;
        const int copies = k % 3 == 1 ? 2 : 1;
        for (int n = 1; n <= copies; ++n)
            copy.integer(1, k % 3 == 2 ? 0 : n).integer(2, characters).integer(3, instance).run();
    }
}

// A pet is an item row with a nickname; a few have none (Null).
void writePets(Database &db, const Options &options)
{
    Insert insert(db, "INSERT INTO pet_data VALUES (?,?)");
    Random random = streamOf(options.seed, Stream::Pets);
    for (std::int64_t id = 1; id <= options.rows; ++id) {
        if (!random.percent(options.petPercent))
            continue;
        insert.integer(1, id);
        if (random.percent(2))
            insert.null(2);
        else
            insert.text(2, petName(random));
        insert.run();
    }
}

} // namespace

void writeGameDatabase(const Options &options, const ItemPlan &plan)
{
    Database db(options.gamePath);
    db.execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=8192;");
    db.execute(Schema);
    db.execute("BEGIN");
    const std::int64_t characters = std::max<std::int64_t>(1, options.rows / ItemsPerCharacter);
    writeCharacters(db, characters, streamOf(options.seed, Stream::Characters));
    writeItems(db, options, plan, characters);
    writeDuplicates(db, options, characters);
    writePets(db, options);
    db.execute(Indexes);
    db.execute("COMMIT");
}

} // namespace gamedata
