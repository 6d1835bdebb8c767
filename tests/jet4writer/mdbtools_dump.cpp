// Prints table `item` of a Jet file as libmdb (mdbtools) reads it, in
// jet4writer's own input format: NULL is an empty field and the empty text
// is \e. mdb-export prints both the same way, so the round-trip test needs
// libmdb's per-field null flags to tell them apart.

// mdbtools.h includes glib inside extern "C", where glib's C++ templates
// do not compile; including glib first makes that inner include a no-op.
#include <glib.h>
#include <mdbtools.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string escapeText(const std::string &text)
{
    if (text.empty()) {
        return "\\e";
    }
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void printHeader(MdbTableDef *table)
{
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        std::cout << (i ? "\t" : "") << column->name;
    }
    std::cout << "\n";
}

// After mdb_fetch_row the page buffer still holds the row just read.
std::vector<MdbField> crackCurrentRow(MdbTableDef *table)
{
    std::vector<MdbField> fields(table->num_cols);
    int start = 0;
    size_t size = 0;
    mdb_find_row(table->entry->mdb, static_cast<int>(table->cur_row) - 1, &start, &size);
    mdb_crack_row(table, start, size, fields.data());
    return fields;
}

void printRows(MdbTableDef *table)
{
    std::vector<std::vector<char>> values(table->num_cols, std::vector<char>(MDB_BIND_SIZE));
    for (unsigned i = 0; i < table->num_cols; ++i) {
        mdb_bind_column(table, static_cast<int>(i + 1), values[i].data(), nullptr);
    }
    while (mdb_fetch_row(table)) {
        const auto fields = crackCurrentRow(table);
        for (unsigned i = 0; i < table->num_cols; ++i) {
            const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
            const std::string value = values[i].data();
            const bool isText = column->col_type == MDB_TEXT;
            std::cout << (i ? "\t" : "") << (fields[i].is_null ? "" : isText ? escapeText(value)
                                                                             : value);
        }
        std::cout << "\n";
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: jet4writer_mdbtools_dump FILE.mdb\n";
        return 2;
    }
    MdbHandle *mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!mdb) {
        return 1;
    }
    std::string tableName = "item";
    MdbTableDef *table = mdb_read_table_by_name(mdb, tableName.data(), MDB_TABLE);
    if (!table || !mdb_read_columns(table)) {
        std::cerr << "table item not found\n";
        mdb_close(mdb);
        return 1;
    }
    mdb_rewind_table(table);
    printHeader(table);
    printRows(table);
    mdb_free_tabledef(table);
    mdb_close(mdb);
    return 0;
}
