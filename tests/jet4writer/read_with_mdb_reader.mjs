// Reads a jet4writer output with mdb-reader, the second independent reader,
// and prints what it sees as JSON: user table names, the columns of `item`
// and its rows as [id, C, E] arrays (null for NULL).
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [, , path] = process.argv;
if (!path) {
    console.error("usage: node read_with_mdb_reader.mjs FILE.mdb");
    process.exit(2);
}

const reader = new MDBReader(readFileSync(path));
const table = reader.getTable("item");
const result = {
    tables: reader.getTableNames(),
    columns: table.getColumns().map(({ name, type, size }) => ({ name, type, size })),
    rowCount: table.rowCount,
    rows: table.getData().map((row) => [row.id, row.C, row.E]),
};
process.stdout.write(JSON.stringify(result));
