"""Reads a worksheet back with openpyxl, a reader independent of the one
that wrote it, and prints what a spreadsheet holds: with --layout first a
line of the frozen cell, the header cells' boldness and the column widths;
then a line a row, tab-separated, each cell as its type (n number, s text,
f formula, e empty) and what a spreadsheet's general format shows, with the
command line's tsv escapes. A file whose zip entries fail their CRC-32 or
length check is refused first."""
import re
import sys
import zipfile

import openpyxl

# The file's escape of a character in a text, "_x000D_", which spreadsheets
# decode and openpyxl leaves as it stands.
ESCAPE = re.compile("_x([0-9A-Fa-f]{4})_")


def shown(value):
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return ESCAPE.sub(lambda match: chr(int(match.group(1), 16)), value) if isinstance(value, str) else str(value)


def escaped(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def cell_text(cell):
    if cell.value is None:
        return "e:"
    kind = {"n": "n", "s": "s", "inlineStr": "s", "str": "s", "f": "f"}.get(cell.data_type, cell.data_type)
    return kind + ":" + escaped(shown(cell.value))


def main():
    path = sys.argv[-1]
    layout = "--layout" in sys.argv
    with zipfile.ZipFile(path) as package:
        damaged = package.testzip()
    if damaged:
        sys.exit(f"{path}: entry {damaged} is damaged")
    book = openpyxl.load_workbook(path, read_only=not layout)
    sheet = book.worksheets[0]
    out = sys.stdout
    if layout:
        bold = "".join("b" if cell.font.b else "-" for cell in sheet[1])
        widths = ",".join(str(round(sheet.column_dimensions[letter].width)) for letter in sorted(sheet.column_dimensions))
        out.write(f"{sheet.freeze_panes} {bold} {widths}\n")
    for row in sheet.iter_rows():
        out.write("\t".join(cell_text(cell) for cell in row) + "\n")


main()
