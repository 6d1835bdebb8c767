# Runs lupdate on a copy of the .ts file and fails on any entry that is
# unfinished, obsolete or vanished, naming its source text.
set(copy ${WORK_DIR}/translations_check.ts)
file(COPY_FILE ${TS_FILE} ${copy})
string(REPLACE "-no-obsolete" "" options "${OPTIONS}")
separate_arguments(options)
execute_process(COMMAND ${LUPDATE} ${options} ${SOURCES} -ts ${copy}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed:\n${output}")
endif()
file(READ ${copy} content)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*(<comment>[^<]*</comment>[ \n]*)?<translation type=\"(unfinished|obsolete|vanished)\"" problems "${content}")
if(problems)
  string(REPLACE ";" "\n" problems "${problems}")
  message(FATAL_ERROR "The translation is not complete; refresh it with the update_translations target and translate:\n${problems}")
endif()
message(STATUS "every text is translated")
