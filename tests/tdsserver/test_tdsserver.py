#!/usr/bin/env python3
"""Checks the TDS test peer against the real FreeTDS ODBC driver."""

import json
import os
import signal
import sqlite3
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import tdsserver  # noqa: E402
from odbc_client import (SQL_BIGINT, SQL_VARCHAR, SQL_WVARCHAR,  # noqa: E402
                         Connection, OdbcError, connection_string)

HERO = "勇者"
MAGE = "法师小明"


def make_database(path):
    db = sqlite3.connect(path)
    db.executescript("""
        CREATE TABLE user_data(char_id INT, char_name TEXT, account_name TEXT);
        CREATE TABLE user_item(char_id INT, item_id INT, item_type INT, amount INT, enchant INT);
        CREATE TABLE pet_data(pet_id INT, nick_name TEXT);
    """)
    db.executemany("INSERT INTO user_data VALUES (?, ?, ?)",
                   [(1, HERO, "alice"), (2, MAGE, "bob"), (3, "Zoë", "carol"), (4, None, "dave")])
    db.executemany("INSERT INTO user_item VALUES (?, ?, ?, ?, ?)",
                   [(1 + n % 2, 1000 + n, n % 5, n * 3, n % 11) for n in range(600)])
    db.executemany("INSERT INTO pet_data VALUES (?, ?)", [(7, "小白"), (8, "Rex")])
    db.commit()
    db.close()


def obfuscate(password):
    """What a client puts on the wire: each byte nibble-swapped, then XOR 0xA5."""
    return bytes((((b << 4) & 0xF0) | (b >> 4)) ^ 0xA5 for b in password.encode("utf-16-le"))


class ServerCase(unittest.TestCase):
    """Runs one in-process server per test class on a fresh database."""

    collation = "latin1"
    password = "x"

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.db_path = os.path.join(cls.tmp.name, "realm.db")
        make_database(cls.db_path)
        cls.log_path = os.path.join(cls.tmp.name, "requests.jsonl")
        cls.server = tdsserver.TdsServer(cls.db_path, "sa", cls.password, cls.collation,
                                         log_path=cls.log_path)
        cls.server.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.tmp.cleanup()

    def connect(self, password=None):
        connection = Connection(connection_string(self.server.port, password or self.password))
        self.addCleanup(connection.close)
        return connection

    def query(self, connection, sql, params=(), column_types=(), sql_type=None, prepare=True):
        statement = connection.statement()
        self.addCleanup(statement.close)
        for number, value in enumerate(params, start=1):
            statement.bind_text(number, value, *([sql_type] if sql_type else []))
        if prepare:
            statement.prepare(sql)
            statement.execute()
        else:
            statement.execute_direct(sql)
        return statement.fetch_all(column_types)

    def last_request(self):
        return [r for r in self.server.requests if r["kind"] != "login"][-1]


class WireFormatTests(unittest.TestCase):
    def test_password_obfuscation_is_undone(self):
        self.assertEqual(tdsserver.decode_password(obfuscate("pa;ss}wörd")), "pa;ss}wörd")

    def test_parameters_become_sqlite_names_outside_literals(self):
        sql = "select '@P1 it''s', N'勇者' from t where a = @P1 and b like @Name"
        self.assertEqual(tdsserver.translate_sql(sql),
                         "select '@P1 it''s', '勇者' from t where a = :p1 and b like :name")

    def test_declaration_keeps_commas_inside_types(self):
        self.assertEqual(tdsserver.parse_declaration("@P1 NVARCHAR(20), @P2 decimal(18, 2),@P3 int"),
                         [("@P1", "nvarchar(20)"), ("@P2", "decimal(18,2)"), ("@P3", "int")])

    def test_varchar_parameter_uses_server_code_page(self):
        raw = HERO.encode("cp936")
        param = (b"\x03@\x00P\x001\x00" + b"\x00" + struct.pack("<BH", 0xA7, 20) + b"\x04\x08\xd0\x00\x00"
                 + struct.pack("<H", len(raw)) + raw)
        decoded = tdsserver.read_param(tdsserver.Reader(param), "cp936")
        self.assertEqual((decoded.name, decoded.wire_type, decoded.value), ("@P1", "varchar(20)", HERO))

    def test_plp_parameter_chunks_are_joined(self):
        data = MAGE.encode("utf-16-le")
        param = (b"\x00\x00" + struct.pack("<BH", 0xE7, 0xFFFF) + b"\x09\x04\xd0\x00\x34"
                 + struct.pack("<Q", len(data)) + struct.pack("<I", 4) + data[:4]
                 + struct.pack("<I", len(data) - 4) + data[4:] + struct.pack("<I", 0))
        decoded = tdsserver.read_param(tdsserver.Reader(param), "cp1252")
        self.assertEqual((decoded.wire_type, decoded.value), ("nvarchar(max)", MAGE))

    def test_null_intn_parameter(self):
        param = b"\x00\x01" + bytes([0x26, 4, 0])
        decoded = tdsserver.read_param(tdsserver.Reader(param), "cp1252")
        self.assertEqual((decoded.wire_type, decoded.value, decoded.is_output), ("int", None, True))

    def test_long_text_column_switches_to_plp(self):
        column = tdsserver.Column("c", ["x" * 5000], tdsserver.COLLATIONS["latin1"])
        self.assertEqual(column.type_info()[:3], bytes([0xE7, 0xFF, 0xFF]))

    def test_mixed_column_is_sent_as_text(self):
        column = tdsserver.Column("c", [1, "a", None], tdsserver.COLLATIONS["latin1"])
        self.assertEqual(column.encode(1), struct.pack("<H", 2) + "1".encode("utf-16-le"))


class LoginTests(ServerCase):
    password = "a;b}c"

    def test_braced_password_with_separators_logs_in(self):
        connection = self.connect("{a;b}c}")
        self.assertEqual(self.query(connection, "select 1 as one", column_types=[int]), [(1,)])

    def test_doubled_closing_brace_reaches_server_verbatim(self):
        # FreeTDS 1.3 takes everything up to the last "}" as is and does not undo "}}".
        with self.assertRaises(OdbcError) as failure:
            self.connect("{a;b}}c}")
        self.assertIn("Login failed for user 'sa'.", str(failure.exception))

    def test_wrong_password_reports_login_failure(self):
        with self.assertRaises(OdbcError) as failure:
            Connection(connection_string(self.server.port, "wrong"))
        self.assertIn("Login failed for user 'sa'.", str(failure.exception))
        self.assertIn(18456, [native for _state, native, _text in failure.exception.diagnostics])

    def test_unknown_database_is_refused(self):
        conn_str = connection_string(self.server.port, "{a;b}c}").replace("realmdb", "otherdb")
        with self.assertRaises(OdbcError) as failure:
            Connection(conn_str)
        self.assertIn("otherdb", str(failure.exception))


class QueryTests(ServerCase):
    def test_repeated_prepared_statement_reuses_handle(self):
        statement = self.connect().statement()
        self.addCleanup(statement.close)
        statement.prepare("select nick_name from pet_data where pet_id = 7 and nick_name = ?")
        statement.bind_text(1, "小白")
        for _ in range(2):
            statement.execute()
            self.assertEqual(statement.fetch_all([str]), [("小白",)])
        first, second = [r for r in self.server.requests if r["kind"] == "rpc"][-2:]
        self.assertEqual((first["proc"], second["proc"]), ("sp_prepexec", "sp_execute"))
        self.assertEqual(first["handle"], second["handle"])
        self.assertEqual(second["params"][0]["type"], "nvarchar(2)")

    def test_direct_execution_with_parameters_uses_executesql(self):
        rows = self.query(self.connect(), "select pet_id from pet_data where nick_name = ?",
                          ["Rex"], [int], prepare=False)
        self.assertEqual(rows, [(8,)])
        self.assertEqual(self.last_request()["proc"], "sp_executesql")

    def test_null_and_integer_columns(self):
        statement = self.connect().statement()
        self.addCleanup(statement.close)
        statement.execute_direct("select char_id, char_name from user_data where char_id = 4")
        self.assertEqual(statement.columns(), [("char_id", SQL_BIGINT), ("char_name", SQL_WVARCHAR)])
        self.assertEqual(statement.fetch_all([int, str]), [(4, None)])

    def test_varchar_binding_is_visible_in_log(self):
        rows = self.query(self.connect(), "select char_id from user_data where char_name = ?",
                          ["Zoë"], [int], sql_type=SQL_VARCHAR)
        self.assertEqual(rows, [(3,)])
        self.assertEqual(self.last_request()["params"][0]["type"], "varchar(4)")

    def test_chinese_varchar_parameter_does_not_match_on_latin1(self):
        try:
            rows = self.query(self.connect(), "select char_id from user_data where char_name = ?",
                              [HERO], [int], sql_type=SQL_VARCHAR)
        except OdbcError:
            rows = []
        self.assertNotIn((1,), rows)

    def test_abandoned_result_is_cancelled_and_connection_reused(self):
        connection = self.connect()
        statement = connection.statement()
        self.addCleanup(statement.close)
        statement.execute_direct("select item_id, amount from user_item")
        self.assertEqual(statement.fetch_all([int, int], limit=1), [(1000, 0)])
        statement.close_cursor()
        self.assertEqual(self.query(connection, "select pet_id from pet_data where nick_name = ?",
                                    ["Rex"], [int]), [(8,)])

    def test_set_statement_is_accepted(self):
        statement = self.connect().statement()
        self.addCleanup(statement.close)
        statement.execute_direct("SET NOCOUNT ON")
        self.assertEqual(self.last_request()["sql"], "SET NOCOUNT ON")

    def test_server_cursor_is_refused(self):
        statement = self.connect().statement()
        self.addCleanup(statement.close)
        statement.use_static_cursor()
        with self.assertRaises(OdbcError) as failure:
            statement.execute_direct("select char_id from user_data")
            statement.fetch_all([int])
        self.assertIn("sp_cursoropen is not supported", str(failure.exception))

    def test_log_file_has_one_json_line_per_request(self):
        self.query(self.connect(), "select pet_id from pet_data where nick_name = ?", ["小白"], [int])
        with open(self.log_path, encoding="utf-8") as log:
            entries = [json.loads(line) for line in log if '"login"' not in line]
        self.assertEqual(entries[-1]["sql"], "select pet_id from pet_data where nick_name = @P1")
        self.assertEqual(entries[-1]["params"][0]["value"], "小白")
        self.assertEqual(entries[-1], self.last_request())


class ReplayTests(ServerCase):
    """The benchmark's replayed reply and freebcp's column probe."""

    REPLAYED = "select item_id, amount from user_item where char_id = 2"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.server.prepare_replay(cls.REPLAYED)

    def test_replayed_reply_equals_the_served_one(self):
        connection = self.connect()
        replayed = self.query(connection, self.REPLAYED, column_types=[int, int], prepare=False)
        served = self.query(connection, self.REPLAYED + " and 1 = 1", column_types=[int, int], prepare=False)
        self.assertEqual(len(replayed), 300)
        self.assertEqual(replayed, served)

    def test_format_only_probe_gives_columns_without_rows(self):
        statement = self.connect().statement()
        self.addCleanup(statement.close)
        statement.execute_direct(f"SET FMTONLY ON {self.REPLAYED} SET FMTONLY OFF")
        self.assertEqual(statement.columns(), [("item_id", SQL_BIGINT), ("amount", SQL_BIGINT)])
        self.assertEqual(statement.fetch_all([int, int]), [])


class ChineseCollationTests(ServerCase):
    collation = "chinese"

    def test_chinese_varchar_parameter_matches_through_code_page_936(self):
        rows = self.query(self.connect(), "select char_id from user_data where char_name = ?",
                          [HERO], [int], sql_type=SQL_VARCHAR)
        self.assertEqual(rows, [(1,)])
        self.assertEqual(self.last_request()["params"][0]["value"], HERO)

    def test_nvarchar_results_come_back_intact(self):
        rows = self.query(self.connect(), "select char_name from user_data where char_id = 2",
                          column_types=[str], prepare=False)
        self.assertEqual(rows, [(MAGE,)])


class RestartTests(ServerCase):
    def test_client_fails_after_stop_and_reconnects_after_restart(self):
        connection = Connection(connection_string(self.server.port))
        port = self.server.port
        self.server.stop()
        with self.assertRaises(OdbcError):
            self.query(connection, "select 1", column_types=[int])
        connection.close()
        with self.assertRaises(OdbcError):
            Connection(connection_string(port))
        self.assertEqual(self.server.start(), port)
        self.assertEqual(self.query(self.connect(), "select 3", column_types=[int]), [(3,)])


class CommandLineTests(unittest.TestCase):
    def test_prints_port_serves_and_exits_on_sigterm(self):
        with tempfile.TemporaryDirectory() as tmp:
            db_path, log_path = os.path.join(tmp, "realm.db"), os.path.join(tmp, "log.jsonl")
            ready_path = os.path.join(tmp, "ready")
            make_database(db_path)
            process = subprocess.Popen(
                [sys.executable, os.path.join(HERE, "tdsserver.py"), "--db", db_path, "--login", "sa",
                 "--password", "x", "--collation", "chinese", "--log", log_path,
                 "--ready-file", ready_path], stdout=subprocess.PIPE, text=True)
            try:
                port = int(process.stdout.readline())
                with open(ready_path, encoding="utf-8") as ready:
                    self.assertEqual(int(ready.read()), port)
                connection = Connection(connection_string(port))
                statement = connection.statement()
                statement.execute_direct("select char_name from user_data where char_id = 1")
                self.assertEqual(statement.fetch_all([str]), [(HERO,)])
                statement.close()
                connection.close()
                with open(log_path, encoding="utf-8") as log:
                    self.assertEqual(json.loads(log.readline())["ok"], True)
            finally:
                process.send_signal(signal.SIGTERM)
                self.assertEqual(process.wait(timeout=10), 0)
                process.stdout.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
