# The Windows build's ODBC, SQLite and zlib under the names the Linux build's
# pkg-config gives them, so every target links them the same way.
set(REALMQUERY_SQLITE_AMALGAMATION "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h")
if(NOT EXISTS "${REALMQUERY_SQLITE_AMALGAMATION}/sqlite3.c")
  message(FATAL_ERROR "REALMQUERY_SQLITE_AMALGAMATION must name a folder with sqlite3.c (scripts/windows.sh makes one)")
endif()
enable_language(C)
add_library(realm_sqlite3 STATIC ${REALMQUERY_SQLITE_AMALGAMATION}/sqlite3.c)
target_include_directories(realm_sqlite3 SYSTEM PUBLIC ${REALMQUERY_SQLITE_AMALGAMATION})
# Thread-safe, as the program configures it at start; no extensions to load.
target_compile_definitions(realm_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
add_library(PkgConfig::SQLITE3 ALIAS realm_sqlite3)

# MinGW's sql.h takes its types from windows.h, which a Windows program has
# always included first.
add_library(realm_odbc INTERFACE)
target_link_libraries(realm_odbc INTERFACE odbc32)
target_compile_options(realm_odbc INTERFACE "SHELL:-include windows.h")
add_library(PkgConfig::ODBC ALIAS realm_odbc)

# Windows 10's API, without the min and max macros that clash with std::min.
target_compile_definitions(project_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00)

# zlib from MinGW (libz-mingw-w64-dev), as Qt Core links it.
find_package(ZLIB REQUIRED)
add_library(PkgConfig::ZLIB ALIAS ZLIB::ZLIB)
