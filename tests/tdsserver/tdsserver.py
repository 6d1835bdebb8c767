#!/usr/bin/env python3
"""A TDS 7.4 test peer backed by SQLite, for realmquery's test suite only.

This is not a database server. It speaks just enough of the wire protocol
for the FreeTDS ODBC driver to log in, run SQL batches and parameterised
statements (sp_executesql, sp_prepexec, sp_execute, sp_unprepare) and read
result sets, so that tests can drive the real driver end to end. Statements
are handed to SQLite after a minimal T-SQL to SQLite rewrite.

Every login and request is recorded in `TdsServer.requests` and, when a log
path is given, as one JSON line each, so tests can assert how the client
bound its values. A parameterised request looks like
    {"kind": "rpc", "proc": "sp_prepexec", "handle": 1,
     "sql": "select ... where char_name like @P1",
     "params": [{"name": "@P1", "type": "nvarchar(20)", "wire_type": "nvarchar(20)",
                 "value": "..."}]}
where "type" is the type the client declared and "wire_type" the one its
bytes were sent as; batches are {"kind": "batch", "sql": ..., "params": []}
and logins {"kind": "login", "login": ..., "database": ..., "ok": ...}.

Faults on request: a request whose SQL text or parameters hold the text
"fault:stall", "fault:cut" or "fault:garble" gets, instead of its reply,
nothing at all; the first half of the reply and then nothing; or the reply
with every byte scrambled. After a stall or a cut the session answers
nothing more, attention packets included, as a hung server would.

Values: a result column whose name starts with "decimal_" is sent as
decimal(38, s), its values (numbers or their text) read exactly, so a test
can hand the client numbers wider than any integer or floating type.

Misbehaviour on request, for the first statement with rows of each kind:
--fail-after N sends N rows and then an error (1205, a deadlock victim);
--bare-error-after N sends N rows and a DONE carrying the error flag alone;
--trickle-after N sends N rows at once and each further row --trickle-every
seconds later; --login-error-length N refuses every login with a message of
N characters.

SQL Server Browser: with --browser-instance NAME the server also answers
the browser's instance query (UDP port 1434 of its host) for NAME with its
own TCP port; queries for any other instance go unanswered, as a real
browser leaves them.

Encryption on request: --tls off (the default) does not support it, --tls
offer encrypts the session for a client that asks and the login packet
alone for one that does not, --tls force encrypts every session; the TLS
handshake runs inside PRELOGIN packets, with --cert and --key. --received
FILE keeps every byte received, so a test can look for readable logins.

A statement wrapped in "SET FMTONLY ON ... SET FMTONLY OFF", as freebcp sends
first to learn the columns, gets the column metadata without rows.

Replay, for the benchmark: with --replay-sql TEXT the server runs TEXT once
at start and keeps its reply encoded; a batch with exactly that text gets the
kept bytes, so that only the client's own work counts in what is measured.

Command form, used by the C++ tests and the benchmark:
    tdsserver.py --db FILE --login L --password P --collation latin1|chinese
                 [--host ADDRESS] [--port N] [--log FILE] [--ready-file F] [--replay-sql TEXT]
prints the chosen port as the first line of stdout and serves until SIGTERM.
"""

import argparse
import decimal
import functools
import json
import os
import re
import signal
import socket
import sqlite3
import ssl
import struct
import sys
import threading
import time
from dataclasses import dataclass

DATABASE = "realmdb"
SERVER_NAME = "REALMTEST"
TDS_VERSION = 0x74000004

PKT_BATCH, PKT_RPC, PKT_REPLY, PKT_ATTENTION = 0x01, 0x03, 0x04, 0x06
PKT_LOGIN7, PKT_PRELOGIN = 0x10, 0x12
STATUS_EOM = 0x01

TOK_RETURNSTATUS, TOK_COLMETADATA, TOK_ERROR = 0x79, 0x81, 0xAA
TOK_RETURNVALUE, TOK_LOGINACK, TOK_ROW, TOK_ENVCHANGE = 0xAC, 0xAD, 0xD1, 0xE3
TOK_DONE, TOK_DONEPROC, TOK_DONEINPROC = 0xFD, 0xFE, 0xFF

DONE_FINAL, DONE_MORE, DONE_ERROR, DONE_COUNT, DONE_ATTN = 0x0, 0x1, 0x2, 0x10, 0x20
CMD_SELECT = 0xC1

ENV_DATABASE, ENV_PACKETSIZE, ENV_COLLATION = 1, 4, 7
ENCRYPT_OFF, ENCRYPT_ON, ENCRYPT_NOT_SUP, ENCRYPT_REQ = 0, 1, 2, 3

BROWSER_PORT, BROWSER_INSTANCE_QUERY, BROWSER_ANSWER = 1434, 0x04, 0x05

PROC_NAMES = {
    1: "sp_cursor", 2: "sp_cursoropen", 3: "sp_cursorprepare",
    4: "sp_cursorexecute", 5: "sp_cursorprepexec", 6: "sp_cursorunprepare",
    7: "sp_cursorfetch", 8: "sp_cursoroption", 9: "sp_cursorclose",
    10: "sp_executesql", 11: "sp_prepare", 12: "sp_execute",
    13: "sp_prepexec", 14: "sp_prepexecrpc", 15: "sp_unprepare",
}


@dataclass(frozen=True)
class Collation:
    name: str
    lcid: int
    sort_id: int
    codec: str

    def wire(self):
        # Case, kana and width insensitive, as the server defaults are.
        info = self.lcid | (0x0D << 20)
        return struct.pack("<IB", info, self.sort_id)


COLLATIONS = {
    "latin1": Collation("SQL_Latin1_General_CP1_CI_AS", 0x0409, 52, "cp1252"),
    "chinese": Collation("Chinese_PRC_CI_AS", 0x0804, 0, "cp936"),
}


class TdsError(Exception):
    """A failure reported to the client as an ERROR token."""

    def __init__(self, message, number=50000):
        super().__init__(message)
        self.number = number


# ---------------------------------------------------------------- wire helpers

class Reader:
    """Little-endian cursor over a request payload."""

    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, count):
        if self.pos + count > len(self.data):
            raise TdsError("Malformed request: truncated data.")
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk

    def unpack(self, fmt):
        return struct.unpack(fmt, self.take(struct.calcsize(fmt)))[0]

    def u8(self):
        return self.unpack("<B")

    def u16(self):
        return self.unpack("<H")

    def u32(self):
        return self.unpack("<I")

    def ucs2(self, chars):
        return self.take(chars * 2).decode("utf-16-le", "replace")

    def b_varchar(self):
        return self.ucs2(self.u8())

    def at_end(self):
        return self.pos >= len(self.data)


def b_varchar(text):
    data = text.encode("utf-16-le")
    return bytes([len(data) // 2]) + data


def us_varchar(text):
    data = text.encode("utf-16-le")
    return struct.pack("<H", len(data) // 2) + data


def token_with_length(token, body):
    return struct.pack("<BH", token, len(body)) + body


def read_message(sock):
    """Returns (packet type, payload) of one whole message, or None at EOF."""
    payload = bytearray()
    while True:
        header = recv_exact(sock, 8)
        if header is None:
            return None
        kind, status, length = struct.unpack(">BBH", header[:4])
        body = recv_exact(sock, length - 8)
        if body is None:
            return None
        payload += body
        if status & STATUS_EOM:
            return kind, bytes(payload)


def recv_exact(sock, count):
    data = bytearray()
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        if not chunk:
            return None
        data += chunk
    return bytes(data)


def send_partial(sock, kind, payload, packet_size):
    """Sends the start of a reply: packets without the end-of-message bit."""
    room = packet_size - 8
    out = bytearray()
    for number, start in enumerate(range(0, len(payload), room), start=1):
        chunk = payload[start:start + room]
        out += struct.pack(">BBHHBB", kind, 0, len(chunk) + 8, 0, number % 256, 0)
        out += chunk
    sock.sendall(out)


class RecordingSocket:
    """A socket that appends every byte it receives to a file."""

    def __init__(self, sock, path):
        self.sock = sock
        self.path = path

    def recv(self, count):
        data = self.sock.recv(count)
        with open(self.path, "ab") as record:
            record.write(data)
        return data

    def __getattr__(self, name):
        return getattr(self.sock, name)


class TlsSocket:
    """TLS over a socket whose handshake already ran: records go straight on
    the TCP stream, as TDS carries them after the PRELOGIN exchange."""

    def __init__(self, sock, tls, incoming, outgoing):
        self.sock, self.tls, self.incoming, self.outgoing = sock, tls, incoming, outgoing

    def recv(self, count):
        while True:
            try:
                return self.tls.read(count)
            except ssl.SSLWantReadError:
                data = self.sock.recv(65536)
                if not data:
                    return b""
                self.incoming.write(data)
            except ssl.SSLError:
                return b""

    def sendall(self, data):
        self.tls.write(data)
        self.sock.sendall(self.outgoing.read())

    def __getattr__(self, name):
        return getattr(self.sock, name)


def tls_handshake(sock, context):
    """Runs the server's side of the TLS handshake inside PRELOGIN packets;
    returns the TlsSocket, or None when the client gave up."""
    incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
    tls = context.wrap_bio(incoming, outgoing, server_side=True)
    while True:
        try:
            tls.do_handshake()
            break
        except ssl.SSLWantReadError:
            if pending := outgoing.read():
                send_message(sock, PKT_PRELOGIN, pending, 4096)
            message = read_message(sock)
            if message is None:
                return None
            incoming.write(message[1])
        except ssl.SSLError:
            if pending := outgoing.read():
                send_message(sock, PKT_PRELOGIN, pending, 4096)
            return None
    if pending := outgoing.read():
        send_message(sock, PKT_PRELOGIN, pending, 4096)
    return TlsSocket(sock, tls, incoming, outgoing)


class Attended(Exception):
    """The client cancelled the statement the server was stalling in."""


def packets(kind, payload, packet_size):
    room = packet_size - 8
    chunks = [payload[i:i + room] for i in range(0, len(payload), room)] or [b""]
    out = bytearray()
    for number, chunk in enumerate(chunks, start=1):
        status = STATUS_EOM if number == len(chunks) else 0
        out += struct.pack(">BBHHBB", kind, status, len(chunk) + 8, 0, number % 256, 0)
        out += chunk
    return bytes(out)


def send_message(sock, kind, payload, packet_size):
    sock.sendall(packets(kind, payload, packet_size))


# ---------------------------------------------------------------- login

def prelogin_encryption(payload):
    """The encryption value of a PRELOGIN request (ENCRYPT_OFF when absent)."""
    at = 0
    while at + 5 <= len(payload) and payload[at] != 0xFF:
        option, offset, length = struct.unpack_from(">BHH", payload, at)
        if option == 0x01 and length == 1 and offset < len(payload):
            return payload[offset]
        at += 5
    return ENCRYPT_OFF


def encryption_answer(mode, asked):
    """What a server of `mode` answers a client asking `asked`: "off" does not
    support TLS; "offer" encrypts the session when asked, else the login only;
    "force" encrypts every session."""
    if mode == "off":
        return ENCRYPT_NOT_SUP
    if mode == "force":
        return ENCRYPT_REQ
    return ENCRYPT_ON if asked in (ENCRYPT_ON, ENCRYPT_REQ) else ENCRYPT_OFF


def prelogin_reply(encryption=ENCRYPT_NOT_SUP):
    options = [(0x00, struct.pack(">IH", 0x10000000, 0)),  # version
               (0x01, bytes([encryption])),
               (0x02, b"\x00"),  # instance name: none
               (0x04, b"\x00")]  # MARS off
    offset = len(options) * 5 + 1
    table, data = bytearray(), bytearray()
    for option, value in options:
        table += struct.pack(">BHH", option, offset + len(data), len(value))
        data += value
    return bytes(table) + b"\xff" + bytes(data)


def decode_password(raw):
    plain = bytes(((b ^ 0xA5) >> 4) | (((b ^ 0xA5) & 0x0F) << 4) for b in raw)
    return plain.decode("utf-16-le", "replace")


@dataclass
class Login:
    user: str
    password: str
    database: str
    packet_size: int


def parse_login7(payload):
    packet_size = struct.unpack_from("<I", payload, 8)[0]

    def field(offset_pos, decode=lambda raw: raw.decode("utf-16-le", "replace")):
        offset, chars = struct.unpack_from("<HH", payload, offset_pos)
        return decode(payload[offset:offset + chars * 2])

    return Login(user=field(40), password=field(44, decode_password),
                 database=field(68), packet_size=packet_size)


def env_change(kind, new, old):
    return token_with_length(TOK_ENVCHANGE, bytes([kind]) + new + old)


def login_ack():
    body = bytes([1]) + struct.pack(">I", TDS_VERSION) + b_varchar(SERVER_NAME)
    return token_with_length(TOK_LOGINACK, body + bytes([16, 0, 0, 0]))


def login_success(collation, packet_size):
    size = b_varchar(str(packet_size))
    return (env_change(ENV_DATABASE, b_varchar(DATABASE), b_varchar("master"))
            + env_change(ENV_COLLATION, b"\x05" + collation.wire(), b"\x00")
            + env_change(ENV_PACKETSIZE, size, size)
            + login_ack() + done(DONE_FINAL))


# ---------------------------------------------------------------- reply tokens

def done(status, rowcount=0, token=TOK_DONE, command=0):
    return struct.pack("<BHHQ", token, status, command, rowcount)


def error_token(message, number, severity=16):
    state, line = 1, 1
    body = (struct.pack("<iBB", number, state, severity) + us_varchar(message)
            + b_varchar(SERVER_NAME) + b_varchar("") + struct.pack("<i", line))
    return token_with_length(TOK_ERROR, body)


def return_status(value=0):
    return struct.pack("<Bi", TOK_RETURNSTATUS, value)


def return_value_int(name, value):
    return (struct.pack("<BH", TOK_RETURNVALUE, 0) + b_varchar(name)
            + struct.pack("<BIH", 1, 0, 0) + bytes([0x26, 4, 4]) + struct.pack("<i", value))


class Column:
    """How one result column goes on the wire, chosen from its SQLite values."""

    PLP_THRESHOLD = 8000

    def __init__(self, name, values, collation):
        self.name = name
        self.collation = collation
        kinds = {type(v) for v in values if v is not None}
        if name.lower().startswith("decimal_"):
            self.kind = "decimal"
            self.scale = max((exact_scale(v) for v in values if v is not None), default=0)
        elif kinds == {int}:
            self.kind = "int"
        elif kinds and kinds <= {int, float}:
            self.kind = "float"
        elif kinds == {bytes}:
            self.kind = "binary"
        else:
            self.kind = "text"
        self.plp = self.kind in ("text", "binary") and any(
            len(self.var_bytes(v)) > self.PLP_THRESHOLD for v in values if v is not None)

    def type_info(self):
        if self.kind == "decimal":
            return bytes([0x6A, DECIMAL_BYTES, 38, self.scale])
        if self.kind == "int":
            return bytes([0x26, 8])
        if self.kind == "float":
            return bytes([0x6D, 8])
        size = 0xFFFF if self.plp else self.PLP_THRESHOLD
        if self.kind == "binary":
            return struct.pack("<BH", 0xA5, size)
        return struct.pack("<BH", 0xE7, size) + self.collation.wire()

    def metadata(self):
        nullable = 0x0001
        return struct.pack("<IH", 0, nullable) + self.type_info() + b_varchar(self.name)

    def var_bytes(self, value):
        if self.kind == "binary":
            return value
        return str(value).encode("utf-16-le")

    def encode(self, value):
        if self.kind == "decimal":
            return b"\x00" if value is None else encode_decimal(value, self.scale)
        if self.kind == "int":
            return b"\x00" if value is None else b"\x08" + struct.pack("<q", value)
        if self.kind == "float":
            return b"\x00" if value is None else b"\x08" + struct.pack("<d", value)
        if self.plp:
            return encode_plp(None if value is None else self.var_bytes(value))
        if value is None:
            return b"\xff\xff"
        data = self.var_bytes(value)
        return struct.pack("<H", len(data)) + data


DECIMAL_BYTES = 17  # a sign byte and 16 bytes of magnitude, for precision 38


def exact_scale(value):
    exponent = decimal.Decimal(str(value)).as_tuple().exponent
    return max(-exponent, 0)


def encode_decimal(value, scale):
    with decimal.localcontext(decimal.Context(prec=80)):
        number = int(decimal.Decimal(str(value)).scaleb(scale).to_integral_value())
    if abs(number) >= 10 ** 38:
        raise TdsError(f"{value} does not fit decimal(38, {scale}).", number=8115)
    sign = 0 if number < 0 else 1
    return bytes([DECIMAL_BYTES, sign]) + abs(number).to_bytes(16, "little")


def encode_plp(data):
    if data is None:
        return b"\xff" * 8
    chunk = struct.pack("<I", len(data)) + data if data else b""
    return struct.pack("<Q", len(data)) + chunk + struct.pack("<I", 0)


def encoded_result(names, rows, collation):
    """The COLMETADATA token and each row's ROW token, apart."""
    columns = [Column(name, [row[i] for row in rows], collation)
               for i, name in enumerate(names)]
    head = bytearray(struct.pack("<BH", TOK_COLMETADATA, len(columns)))
    for column in columns:
        head += column.metadata()
    encoded_rows = [bytes([TOK_ROW]) + b"".join(column.encode(value) for column, value in zip(columns, row))
                    for row in rows]
    return bytes(head), encoded_rows


def result_set(names, rows, collation, with_rows=True):
    head, encoded_rows = encoded_result(names, rows, collation)
    return head + (b"".join(encoded_rows) if with_rows else b"")


# ---------------------------------------------------------------- parameters

# The packet sizes FreeTDS's tools and realmquery ask for: cut ahead.
REPLAY_PACKET_SIZES = (4096, 32767)


@dataclass
class Replay:
    sql: str
    metadata: bytes
    tokens: bytes
    packets: dict


@dataclass
class Param:
    name: str
    wire_type: str
    value: object
    is_output: bool


FIXED_TYPES = {
    0x30: ("tinyint", 1, lambda b: b[0]),
    0x32: ("bit", 1, lambda b: b[0]),
    0x34: ("smallint", 2, lambda b: struct.unpack("<h", b)[0]),
    0x38: ("int", 4, lambda b: struct.unpack("<i", b)[0]),
    0x7F: ("bigint", 8, lambda b: struct.unpack("<q", b)[0]),
    0x3B: ("real", 4, lambda b: struct.unpack("<f", b)[0]),
    0x3E: ("float", 8, lambda b: struct.unpack("<d", b)[0]),
}
INTN_NAMES = {1: "tinyint", 2: "smallint", 4: "int", 8: "bigint"}
FLTN_NAMES = {4: "real", 8: "float"}
SHORT_LEN_TYPES = {0xE7: "nvarchar", 0xEF: "nchar", 0xA7: "varchar",
                   0xAF: "char", 0xA5: "varbinary", 0xAD: "binary"}
LONG_LEN_TYPES = {0x63: "ntext", 0x23: "text", 0x22: "image"}


def read_param(reader, codec):
    name = reader.b_varchar()
    status = reader.u8()
    type_id = reader.u8()
    if type_id in FIXED_TYPES:
        wire_type, size, convert = FIXED_TYPES[type_id]
        value = convert(reader.take(size))
    elif type_id in (0x26, 0x68, 0x6D):
        wire_type, value = read_nullable_number(reader, type_id)
    elif type_id in SHORT_LEN_TYPES:
        wire_type, value = read_short_len(reader, type_id, codec)
    elif type_id in LONG_LEN_TYPES:
        wire_type, value = read_long_len(reader, type_id, codec)
    else:
        raise TdsError(f"Parameter {name} has type 0x{type_id:02X}, unsupported by the test server.")
    return Param(name, wire_type, value, bool(status & 0x01))


def read_nullable_number(reader, type_id):
    size = reader.u8()
    length = reader.u8()
    raw = reader.take(length)
    if type_id == 0x68:
        return "bit", raw[0] if raw else None
    if type_id == 0x6D:
        value = struct.unpack("<d" if length == 8 else "<f", raw)[0] if raw else None
        return FLTN_NAMES.get(size, "float"), value
    value = int.from_bytes(raw, "little", signed=length > 1) if raw else None
    return INTN_NAMES.get(size, "int"), value


def is_unicode(type_id):
    return type_id in (0xE7, 0xEF, 0x63)


def has_collation(type_id):
    return type_id in (0xE7, 0xEF, 0xA7, 0xAF, 0x63, 0x23)


def decode_chars(raw, type_id, codec):
    if raw is None or not has_collation(type_id):
        return raw
    return raw.decode("utf-16-le" if is_unicode(type_id) else codec, "replace")


def read_short_len(reader, type_id, codec):
    max_size = reader.u16()
    if has_collation(type_id):
        reader.take(5)
    base = SHORT_LEN_TYPES[type_id]
    if max_size == 0xFFFF:
        return f"{base}(max)", decode_chars(read_plp(reader), type_id, codec)
    length = reader.u16()
    raw = None if length == 0xFFFF else reader.take(length)
    chars = max_size // 2 if is_unicode(type_id) else max_size
    return f"{base}({chars})", decode_chars(raw, type_id, codec)


def read_long_len(reader, type_id, codec):
    reader.u32()
    if has_collation(type_id):
        reader.take(5)
    length = reader.u32()
    raw = None if length == 0xFFFFFFFF else reader.take(length)
    return LONG_LEN_TYPES[type_id], decode_chars(raw, type_id, codec)


def read_plp(reader):
    total = reader.unpack("<Q")
    if total == 0xFFFFFFFFFFFFFFFF:
        return None
    data = bytearray()
    while (chunk := reader.u32()) != 0:
        data += reader.take(chunk)
    return bytes(data)


DECLARATION = re.compile(r"(@\w+)\s+(\w+(?:\s*\([^)]*\))?)", re.IGNORECASE)


def parse_declaration(text):
    """'@P1 NVARCHAR(20),@P2 int' -> [('@P1', 'nvarchar(20)'), ('@P2', 'int')]."""
    return [(name, re.sub(r"\s+", "", kind).lower()) for name, kind in DECLARATION.findall(text or "")]


# ---------------------------------------------------------------- SQL rewrite

SQL_TOKEN = re.compile(r"\bN('(?:[^']|'')*')|('(?:[^']|'')*')|@@(\w+)|@(\w+)", re.IGNORECASE)


def translate_sql(text):
    """Rewrites the little T-SQL the client sends into SQLite: @name -> :name, N'x' -> 'x'."""
    def rewrite(match):
        national, literal, global_var, param = match.groups()
        if global_var:
            raise TdsError(f"@@{global_var} is not supported by the test server.", number=137)
        if param:
            return ":" + param.lower()
        return national or literal

    return SQL_TOKEN.sub(rewrite, text)


FORMAT_ONLY = re.compile(r"\s*SET\s+FMTONLY\s+ON\s+(.*?)\s*SET\s+FMTONLY\s+OFF\s*", re.IGNORECASE | re.DOTALL)


# The catalog's collation, as a connection check asks for it.
COLLATION_QUERY = re.compile(r"databasepropertyex\s*\(\s*db_name\(\)\s*,\s*'Collation'\s*\)", re.IGNORECASE)


def is_set_statement(text):
    return re.match(r"\s*set\s", text, re.IGNORECASE) is not None


SQLITE_ERROR_NUMBERS = (("syntax error", 102), ("no such table", 208),
                        ("no such column", 207), ("incomplete input", 102))


def sqlite_error_number(message):
    return next((number for key, number in SQLITE_ERROR_NUMBERS if key in message), 50000)


# ---------------------------------------------------------------- text rules

LIKE_ELEMENT = re.compile(r"(%)|(_)|\[(\^?)([^\]]*)\]|(\[)|(.)", re.DOTALL)


@functools.lru_cache(maxsize=64)
def like_regex(pattern):
    """SQL Server's LIKE pattern (%, _, [a-c], [^a-c], [%]) as a regular
    expression; a class never closed matches no text."""
    parts = []
    for percent, underscore, negated, members, unclosed, character in LIKE_ELEMENT.findall(pattern):
        members = "".join(c if c == "-" else re.escape(c) for c in members)
        parts.append("(?!)" if unclosed else ".*" if percent else "." if underscore else
                     re.escape(character) if character else f"[{negated}{members}]" if members else
                     "." if negated else "(?!)")
    return re.compile("".join(parts), re.DOTALL)


def sql_server_like(pattern, text):
    if pattern is None or text is None:
        return None
    return like_regex(pattern.casefold()).fullmatch(text.casefold()) is not None


def add_text_rules(db):
    """Text compares as under the server's case-insensitive collation: LIKE
    always, = and ordering for columns declared COLLATE NOCASE."""
    db.create_function("like", 2, sql_server_like, deterministic=True)
    db.create_collation("NOCASE", lambda a, b: (a.casefold() > b.casefold()) - (a.casefold() < b.casefold()))


# ---------------------------------------------------------------- session

@dataclass
class Statement:
    sql: str
    declaration: str


MIN_PARAMS = {"sp_executesql": 1, "sp_prepexec": 3, "sp_execute": 1, "sp_unprepare": 1}
# SQL Server's limit, counting every parameter of the call: the statement
# text and the declarations of sp_executesql too.
MAX_PARAMS = 2100


class Session:
    """One client connection, served on its own thread."""

    def __init__(self, server, sock):
        self.server = server
        self.sock = sock
        self.packet_size = 4096
        self.prepared = {}
        self.next_handle = 1
        self.db = None

    def serve(self):
        try:
            if self.handshake():
                self.db = sqlite3.connect(self.server.db_path, isolation_level=None)
                add_text_rules(self.db)
                self.serve_requests()
        except (OSError, TdsError):
            pass
        finally:
            if self.db is not None:
                self.db.close()
            self.server.forget(self)
            self.sock.close()

    def handshake(self):
        message = read_message(self.sock)
        if message is None or message[0] != PKT_PRELOGIN:
            return False
        answer = encryption_answer(self.server.tls_mode, prelogin_encryption(message[1]))
        self.reply(prelogin_reply(answer))
        plain = self.sock
        if answer != ENCRYPT_NOT_SUP:
            self.sock = tls_handshake(plain, self.server.tls_context)
            if self.sock is None:
                return False
        message = read_message(self.sock)
        if answer == ENCRYPT_OFF:
            self.sock = plain  # only the login was encrypted
        if message is None or message[0] != PKT_LOGIN7:
            return False
        return self.login(parse_login7(message[1]))

    def login(self, login):
        self.packet_size = min(max(login.packet_size, 512), 32767)
        failure = self.login_failure(login)
        self.server.record({"kind": "login", "login": login.user,
                            "database": login.database, "ok": failure is None})
        if failure is not None:
            self.reply(failure + done(DONE_ERROR))
            return False
        self.reply(login_success(self.server.collation, self.packet_size))
        return True

    def login_failure(self, login):
        if (length := self.server.login_error_length) is not None:
            text = f"Login failed for user '{login.user}'. "
            return error_token((text + "x" * length)[:length], 18456, severity=14)
        if login.user != self.server.login or login.password != self.server.password:
            return error_token(f"Login failed for user '{login.user}'.", 18456, severity=14)
        if login.database and login.database.lower() != DATABASE:
            return error_token(f'Cannot open database "{login.database}" requested by the login. '
                               "The login failed.", 4060, severity=11)
        return None

    def serve_requests(self):
        handlers = {PKT_BATCH: self.on_batch, PKT_RPC: self.on_rpc,
                    PKT_ATTENTION: lambda _payload: done(DONE_ATTN)}
        hung = False
        while (message := read_message(self.sock)) is not None:
            kind, payload = message
            if hung:
                continue
            handler = handlers.get(kind)
            if handler is None:
                response = error_token(f"Packet type 0x{kind:02X} is not supported by the test server.",
                                       50000) + done(DONE_ERROR)
            else:
                try:
                    response = handler(payload)
                except Attended:
                    response = done(DONE_ATTN)
            hung = self.reply_or_fault(requested_fault(payload), response)

    def reply_or_fault(self, fault, response):
        """Sends the reply, or the fault asked for; True when the session hangs from now on."""
        if response is None:
            return False
        if fault == "stall":
            return True
        if fault == "cut":
            half = response[:max(len(response) // 2, 1)]
            self.sock.sendall(struct.pack(">BBHHBB", PKT_REPLY, 0, len(half) + 8, 0, 1, 0) + half)
            return True
        if fault == "garble":
            response = bytes((byte * 167 + 89) & 0xFF for byte in response)
        self.reply(response)
        return False

    def reply(self, payload):
        send_message(self.sock, PKT_REPLY, payload, self.packet_size)

    # -- SQL batches

    def on_batch(self, payload):
        reader = Reader(payload)
        skip_all_headers(reader)
        text = payload[reader.pos:].decode("utf-16-le", "replace")
        self.server.record({"kind": "batch", "sql": text, "params": []})
        if (probed := FORMAT_ONLY.fullmatch(text)) is not None:
            return self.describe_statement(probed.group(1))
        if is_set_statement(text):
            return done(DONE_FINAL)
        if COLLATION_QUERY.search(text):
            return (result_set(["collation"], [(self.server.collation.name,)], self.server.collation)
                    + done(DONE_COUNT, 1, TOK_DONE, CMD_SELECT))
        if (replay := self.server.replay_packets(text, self.packet_size)) is not None:
            self.sock.sendall(replay)
            return None
        return self.run_statement(text, {}, TOK_DONE, DONE_FINAL)[0]

    def describe_statement(self, text):
        """The columns of a statement's result, without its rows."""
        if (replay := self.server.replay) is not None and text.strip() == replay.sql:
            return replay.metadata + done(DONE_FINAL)
        try:
            cursor = self.db.execute(translate_sql(text))
        except (TdsError, sqlite3.Error) as failure:
            return error_token(str(failure), error_number(failure)) + done(DONE_ERROR)
        rows = cursor.fetchall()
        names = [column[0] for column in cursor.description or ()]
        return result_set(names, rows, self.server.collation, with_rows=False) + done(DONE_FINAL)

    def run_statement(self, text, bindings, done_token, last_status):
        """Runs one statement; returns (tokens ending with a DONE-style token, failed)."""
        try:
            cursor = self.db.execute(translate_sql(text), bindings)
        except (TdsError, sqlite3.Error) as failure:
            return (error_token(str(failure), error_number(failure))
                    + done(last_status | DONE_ERROR, 0, done_token)), True
        if cursor.description is None:
            return done(last_status | DONE_COUNT, max(cursor.rowcount, 0), done_token), False
        names = [column[0] for column in cursor.description]
        self.stall_if_asked(text, names, cursor)
        rows = cursor.fetchall()
        if (misbehaviour := self.server.take_misbehaviour()) is not None:
            return self.misbehave(misbehaviour, names, rows, done_token, last_status)
        return (result_set(names, rows, self.server.collation)
                + done(last_status | DONE_COUNT, len(rows), done_token, CMD_SELECT)), False

    def misbehave(self, misbehaviour, names, rows, done_token, last_status):
        """The reply of a server that fails part-way or slows down."""
        kind, count = misbehaviour
        head, encoded_rows = encoded_result(names, rows, self.server.collation)
        if kind == "trickle":
            send_partial(self.sock, PKT_REPLY, head + b"".join(encoded_rows[:count]), self.packet_size)
            for row in encoded_rows[count:]:
                time.sleep(self.server.trickle_every)
                send_partial(self.sock, PKT_REPLY, row, self.packet_size)
            return done(last_status | DONE_COUNT, len(rows), done_token, CMD_SELECT), False
        tokens = head + b"".join(encoded_rows[:count])
        if kind == "fail":
            tokens += error_token("Transaction (Process ID 52) was deadlocked on lock resources with another "
                                  "process and has been chosen as the deadlock victim. Rerun the transaction.",
                                  1205, severity=13)
        return tokens + done(last_status | DONE_ERROR, 0, done_token), True

    def stall_if_asked(self, text, names, cursor):
        """Once, for a statement holding the stall text: sends the first rows,
        reading no further (so a result without end stalls too), then stops sending, as a server does that hangs in the middle of a
        result, until the client cancels."""
        stall = self.server.stall
        if stall is None or stall[0] not in text or not self.server.take_stall():
            return
        send_partial(self.sock, PKT_REPLY, result_set(names, cursor.fetchmany(stall[1]), self.server.collation),
                     self.packet_size)
        while (message := read_message(self.sock)) is not None:
            if message[0] == PKT_ATTENTION:
                raise Attended()
        raise OSError("the client went away")

    # -- RPC requests

    def on_rpc(self, payload):
        try:
            proc, params = self.parse_rpc(payload)
            handler = {"sp_executesql": self.sp_executesql, "sp_prepexec": self.sp_prepexec,
                       "sp_execute": self.sp_execute, "sp_unprepare": self.sp_unprepare}.get(proc)
            if handler is None:
                self.server.record({"kind": "rpc", "proc": proc, "sql": None, "params": []})
                raise TdsError(f"Procedure {proc} is not supported by the test server; "
                               "use forward-only cursors.", number=2812)
            if len(params) > MAX_PARAMS:
                self.server.record({"kind": "rpc", "proc": proc, "sql": None, "params": [],
                                    "param_count": len(params)})
                raise TdsError("The incoming request has too many parameters. The server supports a maximum of "
                               f"{MAX_PARAMS} parameters. Reduce the number of parameters and resend the request.",
                               number=8003)
            if len(params) < MIN_PARAMS[proc]:
                raise TdsError(f"Procedure {proc} expects at least {MIN_PARAMS[proc]} parameters.",
                               number=201)
            return handler(params)
        except TdsError as failure:
            return (error_token(str(failure), failure.number)
                    + done(DONE_ERROR, token=TOK_DONEPROC))

    def parse_rpc(self, payload):
        reader = Reader(payload)
        skip_all_headers(reader)
        proc = read_proc_name(reader)
        reader.u16()  # option flags
        params = []
        while not reader.at_end():
            params.append(read_param(reader, self.server.collation.codec))
        return proc, params

    def sp_executesql(self, params):
        statement = Statement(params[0].value, params[1].value if len(params) > 1 else "")
        return self.execute_in_proc("sp_executesql", statement, params[2:])

    def sp_prepexec(self, params):
        handle = self.next_handle
        self.next_handle += 1
        statement = Statement(params[2].value, params[1].value)
        self.prepared[handle] = statement
        return self.execute_in_proc("sp_prepexec", statement, params[3:], handle,
                                    handle_name=params[0].name or "@handle")

    def sp_execute(self, params):
        handle = params[0].value
        if handle not in self.prepared:
            raise TdsError(f"Could not find prepared statement with handle {handle}.", number=8179)
        return self.execute_in_proc("sp_execute", self.prepared[handle], params[1:], handle)

    def sp_unprepare(self, params):
        handle = params[0].value
        self.server.record({"kind": "rpc", "proc": "sp_unprepare", "handle": handle,
                            "sql": None, "params": []})
        self.prepared.pop(handle, None)
        return return_status() + done(DONE_FINAL, token=TOK_DONEPROC)

    def execute_in_proc(self, proc, statement, args, handle=None, handle_name=None):
        declared = parse_declaration(statement.declaration)
        named = [named_arg(arg, position, declared) for position, arg in enumerate(args)]
        record = {"kind": "rpc", "proc": proc, "sql": statement.sql, "params": named}
        if handle is not None:
            record["handle"] = handle
        self.server.record(record)
        bindings = {entry["name"].lstrip("@").lower(): arg.value for entry, arg in zip(named, args)}
        tokens, failed = self.run_statement(statement.sql, bindings, TOK_DONEINPROC, DONE_MORE)
        output = return_value_int(handle_name, handle) if handle_name else b""
        return (tokens + return_status(1 if failed else 0) + output
                + done(DONE_ERROR if failed else DONE_FINAL, token=TOK_DONEPROC))


def named_arg(param, position, declared):
    """Pairs a sent parameter with its declaration, by name or else by position."""
    by_name = {name.lower(): kind for name, kind in declared}
    name = param.name
    if not name and position < len(declared):
        name = declared[position][0]
    value = param.value.hex() if isinstance(param.value, bytes) else param.value
    return {"name": name, "type": by_name.get(name.lower(), param.wire_type),
            "wire_type": param.wire_type, "value": value}


def read_proc_name(reader):
    """Well-known procedures come as a number, others by name."""
    name_length = reader.u16()
    if name_length == 0xFFFF:
        return PROC_NAMES.get(reader.u16(), "unknown")
    return reader.ucs2(name_length).lower()


def error_number(failure):
    if isinstance(failure, TdsError):
        return failure.number
    return sqlite_error_number(str(failure))


FAULTS = ("stall", "cut", "garble")


def requested_fault(payload):
    for fault in FAULTS:
        if f"fault:{fault}".encode("utf-16-le") in payload:
            return fault
    return None


def skip_all_headers(reader):
    total = reader.u32()
    reader.take(total - 4)


# ---------------------------------------------------------------- server

class TdsServer:
    """Listens on 127.0.0.1 and serves each client on its own thread."""

    def __init__(self, db_path, login, password, collation="latin1", port=0, log_path=None, host="127.0.0.1"):
        self.host = host
        self.db_path = db_path
        self.login = login
        self.password = password
        self.collation = COLLATIONS[collation]
        self.port = port
        self.log_path = log_path
        self.requests = []
        self.stall = None
        self.stall_used = False
        self.replay = None
        self.misbehaviour = None
        self.trickle_every = 1.0
        self.login_error_length = None
        self.browser_instance = None
        self.tls_mode = "off"
        self.tls_context = None
        self.received_path = None
        self._lock = threading.Lock()
        self._sessions = set()
        self._listener = None
        self._accept_thread = None

    def prepare_replay(self, sql):
        """Runs `sql` now and keeps its reply for every batch of that text."""
        db = sqlite3.connect(self.db_path)
        try:
            cursor = db.execute(translate_sql(sql))
            rows = cursor.fetchall()
            names = [column[0] for column in cursor.description]
        finally:
            db.close()
        tokens = (result_set(names, rows, self.collation)
                  + done(DONE_COUNT, len(rows), TOK_DONE, CMD_SELECT))
        self.replay = Replay(sql.strip(), result_set(names, rows, self.collation, with_rows=False),
                             tokens, {})
        for packet_size in REPLAY_PACKET_SIZES:
            self.replay_packets(sql, packet_size)

    def replay_packets(self, text, packet_size):
        """The kept reply to `text` cut into packets of `packet_size`, or None."""
        replay = self.replay
        if replay is None or text.strip() != replay.sql:
            return None
        with self._lock:
            if packet_size not in replay.packets:
                replay.packets[packet_size] = packets(PKT_REPLY, replay.tokens, packet_size)
            return replay.packets[packet_size]

    def take_stall(self):
        with self._lock:
            if self.stall_used:
                return False
            self.stall_used = True
            return True

    def take_misbehaviour(self):
        """The misbehaviour asked for, once: (kind, rows sent first) or None."""
        with self._lock:
            misbehaviour, self.misbehaviour = self.misbehaviour, None
            return misbehaviour

    def start(self):
        """Starts listening (again on the same port after a stop) and returns the port."""
        family = socket.AF_INET6 if ":" in self.host else socket.AF_INET
        listener = socket.socket(family, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind((self.host, self.port))
        listener.listen(16)
        self.port = listener.getsockname()[1]
        self._listener = listener
        self._accept_thread = threading.Thread(target=self._accept_loop, args=(listener,), daemon=True)
        self._accept_thread.start()
        if self.browser_instance is not None:
            self._start_browser(family)
        return self.port

    def _start_browser(self, family):
        browser = socket.socket(family, socket.SOCK_DGRAM)
        browser.bind((self.host, BROWSER_PORT))
        threading.Thread(target=self._answer_browser_queries, args=(browser,), daemon=True).start()

    def _answer_browser_queries(self, browser):
        while True:
            request, client = browser.recvfrom(1024)
            if request[:1] != bytes([BROWSER_INSTANCE_QUERY]):
                continue
            asked = request[1:].split(b"\x00")[0].decode("latin-1")
            self.record({"kind": "browser", "instance": asked})
            if asked.upper() != self.browser_instance.upper():
                continue
            answer = (f"ServerName;{SERVER_NAME};InstanceName;{self.browser_instance};IsClustered;No;"
                      f"Version;16.0.1000.6;tcp;{self.port};;").encode("latin-1")
            browser.sendto(bytes([BROWSER_ANSWER]) + struct.pack("<H", len(answer)) + answer, client)

    def stop(self):
        """Goes away abruptly: the listener and every client connection are cut."""
        if self._listener is None:
            return
        shut_down(self._listener)
        self._accept_thread.join(timeout=5)
        self._listener = None
        with self._lock:
            sessions = list(self._sessions)
        for session in sessions:
            shut_down(session.sock)

    def record(self, entry):
        with self._lock:
            self.requests.append(entry)
            if self.log_path:
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def forget(self, session):
        with self._lock:
            self._sessions.discard(session)

    def _accept_loop(self, listener):
        while True:
            try:
                sock, _address = listener.accept()
            except OSError:
                return
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            session = Session(self, RecordingSocket(sock, self.received_path) if self.received_path else sock)
            with self._lock:
                self._sessions.add(session)
            threading.Thread(target=session.serve, daemon=True).start()


def shut_down(sock):
    try:
        sock.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass
    sock.close()


def tls_context(cert, key):
    """TLS 1.2 only: the driver's TLS 1.3 inside TDS 7.x never finishes."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.maximum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    return context


def write_ready_file(path, port):
    partial = path + ".partial"
    with open(partial, "w", encoding="utf-8") as ready:
        ready.write(f"{port}\n")
    os.replace(partial, path)


def main(argv=None):
    parser = argparse.ArgumentParser(description="TDS 7.4 test peer backed by SQLite (tests only).")
    parser.add_argument("--db", required=True)
    parser.add_argument("--login", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--collation", choices=sorted(COLLATIONS), default="latin1")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--browser-instance", metavar="NAME")
    parser.add_argument("--fail-after", type=int, metavar="N")
    parser.add_argument("--bare-error-after", type=int, metavar="N")
    parser.add_argument("--trickle-after", type=int, metavar="N")
    parser.add_argument("--trickle-every", type=float, default=1.0, metavar="SECONDS")
    parser.add_argument("--login-error-length", type=int, metavar="N")
    parser.add_argument("--log")
    parser.add_argument("--tls", choices=("off", "offer", "force"), default="off",
                        help="off: no encryption; offer: the session when asked, else the login; force: always")
    parser.add_argument("--cert", help="the server's certificate chain (PEM), for --tls")
    parser.add_argument("--key", help="the certificate's private key (PEM), for --tls")
    parser.add_argument("--received", metavar="FILE", help="appends every byte received to FILE")
    parser.add_argument("--ready-file")
    parser.add_argument("--stall-on", metavar="TEXT",
                        help="the first statement holding TEXT sends --stall-after rows, then hangs until cancelled")
    parser.add_argument("--stall-after", type=int, default=10)
    parser.add_argument("--replay-sql", metavar="TEXT",
                        help="runs TEXT at start and answers each batch of that text with the kept reply")
    args = parser.parse_args(argv)
    signal.signal(signal.SIGTERM, lambda _signum, _frame: sys.exit(0))
    server = TdsServer(args.db, args.login, args.password, args.collation, args.port, args.log, args.host)
    server.browser_instance = args.browser_instance
    server.login_error_length = args.login_error_length
    server.tls_mode = args.tls
    server.received_path = args.received
    if args.tls != "off":
        server.tls_context = tls_context(args.cert, args.key)
    server.trickle_every = args.trickle_every
    for kind, count in (("fail", args.fail_after), ("bare-error", args.bare_error_after),
                        ("trickle", args.trickle_after)):
        if count is not None:
            server.misbehaviour = (kind, count)
    if args.stall_on:
        server.stall = (args.stall_on, args.stall_after)
    if args.replay_sql:
        server.prepare_replay(args.replay_sql)
    port = server.start()
    if args.ready_file:
        write_ready_file(args.ready_file, port)
    print(port, flush=True)
    try:
        signal.pause()
    except KeyboardInterrupt:
        pass
    finally:
        server.stop()


if __name__ == "__main__":
    main()
