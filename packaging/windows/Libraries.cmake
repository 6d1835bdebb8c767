# The Windows build's ODBC and SQLite under the names the Linux build's
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

# libxlsxwriter from Debian's source, static, with its own minizip and the
# MinGW zlib; left out of the install, which holds only the programs.
set(REALMQUERY_XLSXWRITER_SOURCE "" CACHE PATH "libxlsxwriter's unpacked source folder")
if(NOT EXISTS "${REALMQUERY_XLSXWRITER_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "REALMQUERY_XLSXWRITER_SOURCE must name libxlsxwriter's source (scripts/windows.sh unpacks it)")
endif()
set(BUILD_SHARED_LIBS OFF)
add_subdirectory(${REALMQUERY_XLSXWRITER_SOURCE} ${CMAKE_BINARY_DIR}/libxlsxwriter EXCLUDE_FROM_ALL)
add_library(PkgConfig::XLSXWRITER ALIAS xlsxwriter)
