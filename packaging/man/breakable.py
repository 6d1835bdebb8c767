"""Lets groff break lines of Chinese text: it breaks only at spaces, so a
zero-width break point (\\:) goes between two characters of a text line
wherever a line may end, never before closing punctuation."""
import sys

CLOSING = set("，。、；：？！）」』")


def is_wide(c):
    return "\u2e80" <= c <= "\u9fff" or "\uff00" <= c <= "\uffef"


def breakable(line):
    if line.startswith((".", "'")):
        return line
    out = []
    for c, after in zip(line, line[1:] + "\n"):
        out.append(c)
        if is_wide(c) and after != "\n" and after not in CLOSING and (is_wide(after) or c in CLOSING):
            out.append("\\:")
    return "".join(out)


with open(sys.argv[1], encoding="utf-8") as source, open(sys.argv[2], "w", encoding="utf-8") as page:
    page.writelines(breakable(line) for line in source)
