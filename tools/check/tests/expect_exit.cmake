# Runs ruskel-check on CONFIG -mygame; fails unless it exits with EXPECTED_CODE
# and prints EXPECTED_TEXT.
execute_process(COMMAND ${CHECK} ${CONFIG} -mygame
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT code EQUAL EXPECTED_CODE)
  message(FATAL_ERROR "exit code ${code}, expected ${EXPECTED_CODE}")
endif()
string(FIND "${out}${err}" "${EXPECTED_TEXT}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "output lacks: ${EXPECTED_TEXT}")
endif()
