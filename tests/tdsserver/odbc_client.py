"""Thin ctypes wrapper over unixODBC, making the same calls the C++ client makes."""

import ctypes
import os

SQL_HANDLE_ENV, SQL_HANDLE_DBC, SQL_HANDLE_STMT = 1, 2, 3
SQL_ATTR_ODBC_VERSION, SQL_OV_ODBC3 = 200, 3
SQL_NTS = -3
SQL_NULL_DATA = -1
SQL_DRIVER_NOPROMPT = 0
SQL_PARAM_INPUT = 1
SQL_SUCCESS, SQL_SUCCESS_WITH_INFO, SQL_NO_DATA = 0, 1, 100
SQL_C_CHAR, SQL_C_WCHAR, SQL_C_SBIGINT = 1, -8, -25
SQL_VARCHAR, SQL_WVARCHAR, SQL_BIGINT = 12, -9, -5
SQL_ATTR_CURSOR_TYPE, SQL_CURSOR_STATIC = 6, 3
SQL_CLOSE = 0

FREETDS_LIBRARY = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so"

_odbc = ctypes.CDLL("libodbc.so.2")
_odbc.SQLBindParameter.argtypes = [
    ctypes.c_void_p, ctypes.c_ushort, ctypes.c_short, ctypes.c_short, ctypes.c_short,
    ctypes.c_size_t, ctypes.c_short, ctypes.c_void_p, ctypes.c_ssize_t,
    ctypes.POINTER(ctypes.c_ssize_t)]
_odbc.SQLGetData.argtypes = [ctypes.c_void_p, ctypes.c_ushort, ctypes.c_short, ctypes.c_void_p,
                             ctypes.c_ssize_t, ctypes.POINTER(ctypes.c_ssize_t)]
_odbc.SQLSetEnvAttr.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
_odbc.SQLSetStmtAttr.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]


class OdbcError(Exception):
    def __init__(self, call, diagnostics):
        super().__init__(f"{call} failed: {diagnostics}")
        self.diagnostics = diagnostics


def wide(text):
    """SQLWCHAR is UTF-16 in unixODBC, not the platform's 4-byte wchar_t."""
    return ctypes.create_string_buffer(text.encode("utf-16-le") + b"\0\0")


def driver_name():
    try:
        with open("/etc/odbcinst.ini", encoding="utf-8") as registry:
            registered = "[FreeTDS]" in registry.read()
    except OSError:
        registered = False
    return "{FreeTDS}" if registered or not os.path.exists(FREETDS_LIBRARY) else FREETDS_LIBRARY


def connection_string(port, password="x", login="sa"):
    return (f"DRIVER={driver_name()};SERVER=127.0.0.1;PORT={port};UID={login};PWD={password};"
            "DATABASE=realmdb;TDS_Version=7.4;ClientCharset=UTF-8")


def diagnostics(handle_type, handle):
    records = []
    state = ctypes.create_string_buffer(12)
    message = ctypes.create_string_buffer(2048)
    native = ctypes.c_int()
    length = ctypes.c_short()
    record = 1
    while _odbc.SQLGetDiagRecW(handle_type, handle, record, state, ctypes.byref(native),
                               message, 1024, ctypes.byref(length)) in (SQL_SUCCESS, SQL_SUCCESS_WITH_INFO):
        text = message.raw[:length.value * 2].decode("utf-16-le")
        records.append((state.raw[:10].decode("utf-16-le"), native.value, text))
        record += 1
    return records


def check(result, call, handle_type, handle):
    """SQL_NO_DATA counts as success: a statement without rows or count returns it."""
    if result not in (SQL_SUCCESS, SQL_SUCCESS_WITH_INFO, SQL_NO_DATA):
        raise OdbcError(call, diagnostics(handle_type, handle))
    return result


def allocate(handle_type, parent):
    handle = ctypes.c_void_p()
    result = _odbc.SQLAllocHandle(handle_type, parent, ctypes.byref(handle))
    if result != SQL_SUCCESS:
        raise OdbcError("SQLAllocHandle", [])
    return handle


class Connection:
    def __init__(self, conn_str):
        self.env = allocate(SQL_HANDLE_ENV, None)
        _odbc.SQLSetEnvAttr(self.env, SQL_ATTR_ODBC_VERSION, SQL_OV_ODBC3, 0)
        self.dbc = allocate(SQL_HANDLE_DBC, self.env)
        result = _odbc.SQLDriverConnectW(self.dbc, None, wide(conn_str), SQL_NTS,
                                         None, 0, None, SQL_DRIVER_NOPROMPT)
        try:
            check(result, "SQLDriverConnect", SQL_HANDLE_DBC, self.dbc)
        except OdbcError:
            self._free()
            raise

    def statement(self):
        return Statement(allocate(SQL_HANDLE_STMT, self.dbc))

    def close(self):
        _odbc.SQLDisconnect(self.dbc)
        self._free()

    def _free(self):
        _odbc.SQLFreeHandle(SQL_HANDLE_DBC, self.dbc)
        _odbc.SQLFreeHandle(SQL_HANDLE_ENV, self.env)


class Statement:
    def __init__(self, handle):
        self.handle = handle
        self._bound = []

    def _check(self, result, call):
        return check(result, call, SQL_HANDLE_STMT, self.handle)

    def use_static_cursor(self):
        self._check(_odbc.SQLSetStmtAttr(self.handle, SQL_ATTR_CURSOR_TYPE, SQL_CURSOR_STATIC, 0),
                    "SQLSetStmtAttr")

    def prepare(self, sql):
        self._check(_odbc.SQLPrepareW(self.handle, wide(sql), SQL_NTS), "SQLPrepare")

    def bind_text(self, number, text, sql_type=SQL_WVARCHAR):
        """Binds as the C++ client does: SQL_C_WCHAR, or SQL_C_CHAR (UTF-8) for SQL_VARCHAR.

        The column size is the length in characters, which for a VARCHAR in a
        double-byte code page would cut the value, so there it is the UTF-8 size.
        """
        unicode = sql_type == SQL_WVARCHAR
        data = text.encode("utf-16-le" if unicode else "utf-8")
        buffer = ctypes.create_string_buffer(data + b"\0\0")
        length = ctypes.c_ssize_t(len(data))
        c_type = SQL_C_WCHAR if unicode else SQL_C_CHAR
        column_size = len(text) if unicode else len(data)
        self._bound.append((buffer, length))
        self._check(_odbc.SQLBindParameter(self.handle, number, SQL_PARAM_INPUT, c_type, sql_type,
                                           max(column_size, 1), 0, buffer, len(buffer),
                                           ctypes.byref(length)), "SQLBindParameter")

    def execute(self):
        self._check(_odbc.SQLExecute(self.handle), "SQLExecute")

    def execute_direct(self, sql):
        self._check(_odbc.SQLExecDirectW(self.handle, wide(sql), SQL_NTS), "SQLExecDirect")

    def columns(self):
        """(name, SQL type) of each result column."""
        count = ctypes.c_short()
        self._check(_odbc.SQLNumResultCols(self.handle, ctypes.byref(count)), "SQLNumResultCols")
        return [self._describe(number) for number in range(1, count.value + 1)]

    def _describe(self, number):
        name = ctypes.create_string_buffer(512)
        name_length, data_type, digits, nullable = (ctypes.c_short() for _ in range(4))
        size = ctypes.c_size_t()
        self._check(_odbc.SQLDescribeColW(self.handle, number, name, 256, ctypes.byref(name_length),
                                          ctypes.byref(data_type), ctypes.byref(size),
                                          ctypes.byref(digits), ctypes.byref(nullable)),
                    "SQLDescribeCol")
        return name.raw[:name_length.value * 2].decode("utf-16-le"), data_type.value

    def fetch_all(self, column_types, limit=None):
        """Fetches rows, reading column i as SQL_C_SBIGINT if column_types[i] is int."""
        rows = []
        while len(rows) != limit and (result := _odbc.SQLFetch(self.handle)) != SQL_NO_DATA:
            self._check(result, "SQLFetch")
            rows.append(tuple(self._get(number, kind)
                              for number, kind in enumerate(column_types, start=1)))
        return rows

    def close_cursor(self):
        self._check(_odbc.SQLFreeStmt(self.handle, SQL_CLOSE), "SQLFreeStmt")

    def _get(self, number, kind):
        indicator = ctypes.c_ssize_t()
        if kind is int:
            value = ctypes.c_int64()
            self._check(_odbc.SQLGetData(self.handle, number, SQL_C_SBIGINT, ctypes.byref(value),
                                         8, ctypes.byref(indicator)), "SQLGetData")
            return None if indicator.value == SQL_NULL_DATA else value.value
        buffer = ctypes.create_string_buffer(8192)
        self._check(_odbc.SQLGetData(self.handle, number, SQL_C_WCHAR, buffer, len(buffer),
                                     ctypes.byref(indicator)), "SQLGetData")
        if indicator.value == SQL_NULL_DATA:
            return None
        return buffer.raw[:indicator.value].decode("utf-16-le")

    def close(self):
        _odbc.SQLFreeHandle(SQL_HANDLE_STMT, self.handle)
