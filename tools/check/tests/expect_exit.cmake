# Runs ruskel-check on CONFIG with ARGS (a ;-list, default -mygame); fails
# unless it exits with EXPECTED_CODE and its output contains EXPECTED_TEXT
# (plain text) or matches EXPECTED_REGEX.
if(NOT DEFINED ARGS)
  set(ARGS -mygame)
endif()
execute_process(COMMAND ${CHECK} ${CONFIG} ${ARGS}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT code EQUAL EXPECTED_CODE)
  message(FATAL_ERROR "exit code ${code}, expected ${EXPECTED_CODE}")
endif()
if(DEFINED EXPECTED_TEXT)
  string(FIND "${out}${err}" "${EXPECTED_TEXT}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "output lacks: ${EXPECTED_TEXT}")
  endif()
endif()
if(DEFINED EXPECTED_REGEX AND NOT "${out}${err}" MATCHES "${EXPECTED_REGEX}")
  message(FATAL_ERROR "output does not match: ${EXPECTED_REGEX}")
endif()
