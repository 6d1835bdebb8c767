# The suites of the Windows build, run under Wine by scripts/windows.sh.
# Left out: what needs POSIX calls (signals, FIFOs, rlimits, /proc), the
# locale tests (Windows takes its language from its own settings, not from
# LANG), the Jet 4 round trips (mdbtools and node are Linux programs) and
# the suites that start the Python TDS server themselves (a Windows program
# cannot start a Linux one): scripts/windows.sh runs the installed command
# line against that server instead.
function(windows_test name)
  # Wine can lose a console program's output under CTest: the log goes to
  # a file as well, which the runner prints.
  add_test(NAME ${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/windows/wine-test.sh ${CMAKE_CURRENT_BINARY_DIR}/${name}.log $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

layer_test(test_inifile realm_data data/test_inifile.cpp)
layer_test(test_item_data realm_data data/test_item_data.cpp)
layer_test(test_itemfile_corpus realm_data data/test_itemfile_corpus.cpp)
target_link_libraries(test_itemfile_corpus PRIVATE realm_jet4)
layer_test(test_queries realm_query query/test_queries.cpp)
realm_test(test_sqlserver_connectionstring sqlserver/test_sqlserver_connectionstring.cpp)

foreach(suite test_cli_formats test_cli_windows test_cli_exit)
  realm_test(${suite} cli/${suite}.cpp cli/CliRun.h cli/CliInProcess.h)
  target_include_directories(${suite} PRIVATE cli)
  target_compile_definitions(${suite} PRIVATE REALMQUERY_CLI_PATH="$<TARGET_FILE:realmquery-cli>")
  target_link_libraries(${suite} PRIVATE realm_cli)
  add_dependencies(${suite} realmquery-cli)
endforeach()

foreach(suite test_form1 test_form2 test_form3 test_lifecycle)
  realm_test(${suite} ui/${suite}.cpp)
endforeach()
