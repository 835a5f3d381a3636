# Runs the program where no display can be opened: it must fail with exactly
# one line on standard error that says so.
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
if(result EQUAL 0)
  message(FATAL_ERROR "the program succeeded without a display")
endif()
string(STRIP "${err}" stripped)
string(FIND "${stripped}" "\n" newline)
if(NOT newline EQUAL -1 OR NOT stripped MATCHES "no display")
  message(FATAL_ERROR "expected one line about the display, got:\n${err}")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "unexpected output:\n${out}")
endif()
