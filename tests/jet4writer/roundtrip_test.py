#!/usr/bin/env python3
"""Round trip of jet4writer: rows -> TSV -> jet4writer -> Jet 4 file, read
back by mdbtools (mdb-* commands and libmdb), by mdb-reader (node) and by
the program's own reader.

CTest runs one suite per test, e.g.
  roundtrip_test.py --tool bin/jet4writer --mdbtools-dump bin/jet4writer_mdbtools_dump \
      --program-dump bin/jet4writer_program_dump \
      --node-script read_with_mdb_reader.mjs MdbtoolsRoundTrip
"""

import argparse
import csv
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

OPTIONS = argparse.Namespace()

INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1
PAGE_SIZE = 4096
PAGES_PER_BITMAP_PAGE = (PAGE_SIZE - 4) * 8

SAMPLE_ROWS = [
    (1, "中文字符", "Grüße, Ærø, naïve café"),
    (2, None, "C is NULL"),
    (3, "", "C is the empty text"),
    (4, "", None),
    (None, "id is NULL", ""),
    (7, "first of two rows with id 7", "comes first"),
    (7, "second row with id 7", "comes second"),
    (-42, "negative", "id"),
    (INT32_MIN, "smallest", "id"),
    (INT32_MAX, "largest", "id"),
    (0, "tab\there", "line\nbreak and \r return"),
    (5, "back\\slash \\e \\n kept literally", '"quoted", with comma'),
    (6, "x" * 255, "中" * 255),
    (8, "😀 grinning", "𝄞 clef 𠀀 ideograph"),
    (9, "😀" * 127 + "a", "255 UTF-16 code units in C"),
    (10, "\ufeffstarts with U+FEFF 中文", "\ufeff"),
    (11, "  spaces kept  ", " "),
]


def escape_text(text):
    if text is None:
        return ""
    if text == "":
        return "\\e"
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def tsv_line(row):
    row_id, c, e = row
    return "\t".join(["" if row_id is None else str(row_id), escape_text(c), escape_text(e)])


def to_tsv(rows):
    return "".join(line + "\n" for line in ["id\tC\tE"] + [tsv_line(r) for r in rows])


def without_astral(text):
    """mdbtools 1.0 decodes text as UCS-2: each surrogate reads as '?'."""
    if text is None:
        return None
    return "".join("??" if ord(ch) > 0xFFFF else ch for ch in text)


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, check=False, **kwargs)


def run_tool(input_path, output_path, stdin_bytes=None):
    return run([OPTIONS.tool, str(input_path), str(output_path)], input=stdin_bytes)


def write_database(directory, rows, name="item.mdb"):
    input_path = os.path.join(directory, name + ".tsv")
    output_path = os.path.join(directory, name)
    with open(input_path, "w", encoding="utf-8", newline="") as tsv:
        tsv.write(to_tsv(rows))
    result = run_tool(input_path, output_path)
    if result.returncode != 0:
        raise AssertionError("jet4writer failed: " + result.stderr.decode(errors="replace"))
    return output_path


def mdb_export_rows(path):
    """Rows as mdb-export prints them; it shows NULL and '' alike, as None."""
    result = run(["mdb-export", path, "item"])
    if result.returncode != 0:
        raise AssertionError("mdb-export failed: " + result.stderr.decode(errors="replace"))
    records = list(csv.reader(io.StringIO(result.stdout.decode("utf-8"), newline="")))
    assert records[0] == ["id", "C", "E"], records[0]
    return [tuple(int(v) if i == 0 and v else (v or None) for i, v in enumerate(r)) for r in records[1:]]


def expected_from_mdb_export(rows):
    return [(row_id, without_astral(c) or None, without_astral(e) or None) for row_id, c, e in rows]


def mdbtools_dump_lines(path):
    result = run([OPTIONS.mdbtools_dump, path])
    if result.returncode != 0:
        raise AssertionError("libmdb could not read the file: " + result.stderr.decode(errors="replace"))
    return result.stdout.decode("utf-8").split("\n")[:-1]


def expected_dump_lines(rows):
    return ["id\tC\tE"] + [tsv_line((i, without_astral(c), without_astral(e))) for i, c, e in rows]


def mdb_reader_view(path):
    try:
        result = run(["node", OPTIONS.node_script, path])
    except FileNotFoundError as error:
        raise AssertionError("node is not installed") from error
    if result.returncode != 0:
        raise AssertionError("mdb-reader failed (set up with `npm ci` in tests/jet4writer): "
                             + result.stderr.decode(errors="replace"))
    view = json.loads(result.stdout)
    view["rows"] = [tuple(r) for r in view["rows"]]
    return view


class DatabaseFixture(unittest.TestCase):
    """Writes ROWS once per suite into a temporary folder."""

    ROWS = SAMPLE_ROWS

    @classmethod
    def setUpClass(cls):
        cls._folder = tempfile.TemporaryDirectory()
        cls.path = write_database(cls._folder.name, cls.ROWS)

    @classmethod
    def tearDownClass(cls):
        cls._folder.cleanup()


class MdbtoolsRoundTrip(DatabaseFixture):
    def test_file_is_reported_as_jet4(self):
        self.assertEqual(run(["mdb-ver", self.path]).stdout.decode().strip(), "JET4")

    def test_only_item_is_listed_as_a_table(self):
        self.assertEqual(run(["mdb-tables", "-1", self.path]).stdout.decode().split(), ["item"])

    def test_schema_has_the_three_typed_columns(self):
        schema = run(["mdb-schema", self.path]).stdout.decode()
        columns = re.findall(r"^\s*\[(\w+)\]\s+(.+?),?\s*$", schema, re.MULTILINE)
        self.assertEqual(columns, [("id", "Long Integer"), ("C", "Text (255)"), ("E", "Text (255)")])

    def test_export_gives_back_values_in_input_order(self):
        self.assertEqual(mdb_export_rows(self.path), expected_from_mdb_export(self.ROWS))

    def test_libmdb_tells_null_from_empty_text(self):
        self.assertEqual(mdbtools_dump_lines(self.path), expected_dump_lines(self.ROWS))

    def test_input_from_stdin(self):
        with tempfile.TemporaryDirectory() as folder:
            output = os.path.join(folder, "stdin.mdb")
            result = run_tool("-", output, stdin_bytes=to_tsv(self.ROWS[:3]).encode())
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(mdbtools_dump_lines(output), expected_dump_lines(self.ROWS[:3]))

    def test_header_only_input_gives_an_empty_table(self):
        with tempfile.TemporaryDirectory() as folder:
            path = write_database(folder, [])
            self.assertEqual(mdbtools_dump_lines(path), ["id\tC\tE"])
            self.assertEqual(run(["mdb-tables", "-1", path]).stdout.decode().split(), ["item"])

    def test_crlf_line_ends_are_accepted(self):
        with tempfile.TemporaryDirectory() as folder:
            input_path, output = os.path.join(folder, "in.tsv"), os.path.join(folder, "out.mdb")
            with open(input_path, "wb") as tsv:
                tsv.write(to_tsv(self.ROWS[:4]).replace("\n", "\r\n").encode())
            self.assertEqual(run_tool(input_path, output).returncode, 0)
            self.assertEqual(mdbtools_dump_lines(output), expected_dump_lines(self.ROWS[:4]))


def program_rows(path):
    result = run([OPTIONS.program_dump, path])
    if result.returncode != 0:
        raise AssertionError("the program could not read the file: " + result.stderr.decode(errors="replace"))
    return [tuple(r) for r in json.loads(result.stdout)]


class ProgramRoundTrip(DatabaseFixture):
    def test_rows_equal_the_input_exactly(self):
        self.assertEqual(program_rows(self.path), self.ROWS)

    def test_header_only_input_gives_an_empty_table(self):
        with tempfile.TemporaryDirectory() as folder:
            self.assertEqual(program_rows(write_database(folder, [])), [])


class MdbReaderRoundTrip(DatabaseFixture):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.view = mdb_reader_view(cls.path)

    def test_rows_equal_the_input_exactly(self):
        self.assertEqual(self.view["rows"], self.ROWS)

    def test_only_item_is_a_user_table(self):
        self.assertEqual(self.view["tables"], ["item"])

    def test_columns_and_row_count(self):
        self.assertEqual(self.view["columns"], [
            {"name": "id", "type": "long", "size": 4},
            {"name": "C", "type": "text", "size": 510},
            {"name": "E", "type": "text", "size": 510},
        ])
        self.assertEqual(self.view["rowCount"], len(self.ROWS))


def large_rows(count=200_000):
    """Rows of about 700 bytes, five to a page: about 40,000 data pages, more
    than one usage bitmap page (32,736 pages) can mark."""
    rows = []
    for i in range(count):
        c = None if i % 97 == 0 else f"{i:06d}-" + "Cc中" * 56
        e = "" if i % 89 == 0 else f"{i:06d}:" + "é😀x" * 42
        rows.append((i - count // 2, c, e))
    return rows


class LargeTable(DatabaseFixture):
    ROWS = large_rows()

    def test_table_spans_more_than_one_usage_bitmap_page(self):
        self.assertGreater(os.path.getsize(self.path) // PAGE_SIZE, PAGES_PER_BITMAP_PAGE)

    def test_mdbtools_reads_every_row_in_order(self):
        self.assertEqual(mdbtools_dump_lines(self.path), expected_dump_lines(self.ROWS))

    def test_program_reads_every_row_in_order(self):
        self.assertTrue(program_rows(self.path) == self.ROWS, "the program's rows differ from the input")

    def test_mdb_reader_reads_every_row_in_order(self):
        view = mdb_reader_view(self.path)
        self.assertEqual(view["rowCount"], len(self.ROWS))
        self.assertTrue(view["rows"] == self.ROWS, "mdb-reader rows differ from the input")


BAD_INPUTS = [
    # (description, input bytes, line reported, text expected in the message)
    ("id not a number", b"id\tC\tE\n1\ta\tb\n12x\ta\tb\n", 3, 'id "12x" is not a whole number'),
    ("id with plus sign", b"id\tC\tE\n+5\ta\tb\n", 2, "is not a whole number"),
    ("id above 32 bits", b"id\tC\tE\n2147483648\ta\tb\n", 2, "outside the 32-bit range"),
    ("id below 32 bits", b"id\tC\tE\n-2147483649\ta\tb\n", 2, "outside the 32-bit range"),
    ("text of 256 units", b"id\tC\tE\n1\t" + b"x" * 256 + b"\tb\n", 2, "the limit is 255"),
    ("astral text of 256 units", b"id\tC\tE\n1\ta\t" + "😀".encode() * 128 + b"\n", 2, "E: text has 256"),
    ("too few fields", b"id\tC\tE\n1\ta\tb\n1\ta\n", 3, "expected 3 tab-separated fields, found 2"),
    ("too many fields", b"id\tC\tE\n1\ta\tb\tc\n", 2, "found 4"),
    ("blank line", b"id\tC\tE\n1\ta\tb\n\n2\ta\tb\n", 3, "found 1"),
    ("overlong UTF-8", b"id\tC\tE\n1\t\xc0\xaf\tb\n", 2, "C: invalid UTF-8"),
    ("stray continuation byte", b"id\tC\tE\n1\ta\tb\x80\n", 2, "E: invalid UTF-8"),
    ("encoded surrogate", b"id\tC\tE\n1\t\xed\xa0\x80\tb\n", 2, "invalid UTF-8"),
    ("truncated sequence", b"id\tC\tE\n1\ta\t\xe4\xb8\n", 2, "invalid UTF-8"),
    ("wrong header", b"id\tB\tE\n1\ta\tb\n", 1, "bad header"),
    ("empty input", b"", 1, "the input is empty"),
    ("unknown escape", b"id\tC\tE\n1\ta\\xb\tb\n", 2, "unknown escape \\x"),
    ("\\e inside a text", b"id\tC\tE\n1\ta\\e\tb\n", 2, "must be the whole field"),
    ("trailing backslash", b"id\tC\tE\n1\ta\\\tb\n", 2, "backslash at the end"),
    ("NUL character", b"id\tC\tE\n1\ta\x00b\tb\n", 2, "NUL characters"),
    ("U+FEFF text with an unstorable unit", "id\tC\tE\n1\t\ufeff一\tb\n".encode(), 2,
     "cannot also hold U+4E00"),
]


class BadInput(unittest.TestCase):
    def test_each_bad_input_names_its_line_and_leaves_no_file(self):
        for description, data, line, message in BAD_INPUTS:
            with self.subTest(description), tempfile.TemporaryDirectory() as folder:
                input_path = os.path.join(folder, "in.tsv")
                with open(input_path, "wb") as tsv:
                    tsv.write(data)
                result = run_tool(input_path, os.path.join(folder, "out.mdb"))
                stderr = result.stderr.decode(errors="replace")
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(f"line {line}:", stderr)
                self.assertIn(message, stderr)
                self.assertEqual(os.listdir(folder), ["in.tsv"])

    def test_failed_run_keeps_an_existing_output(self):
        with tempfile.TemporaryDirectory() as folder:
            path = write_database(folder, SAMPLE_ROWS[:2])
            with open(path, "rb") as before:
                original = before.read()
            result = run_tool("-", path, stdin_bytes=b"id\tC\tE\nnope\ta\tb\n")
            self.assertNotEqual(result.returncode, 0)
            with open(path, "rb") as after:
                self.assertEqual(after.read(), original)

    def test_missing_input_file_and_wrong_arguments(self):
        with tempfile.TemporaryDirectory() as folder:
            missing = run_tool(os.path.join(folder, "absent.tsv"), os.path.join(folder, "out.mdb"))
            self.assertNotEqual(missing.returncode, 0)
            self.assertIn(b"cannot open", missing.stderr)
            self.assertEqual(os.listdir(folder), [])
        self.assertEqual(run([OPTIONS.tool]).returncode, 2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--mdbtools-dump", required=True)
    parser.add_argument("--program-dump", required=True)
    parser.add_argument("--node-script", required=True)
    parsed, remaining = parser.parse_known_args()
    vars(OPTIONS).update(vars(parsed))
    unittest.main(argv=[sys.argv[0]] + remaining, verbosity=2)


if __name__ == "__main__":
    main()
