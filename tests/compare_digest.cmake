# cmake -DRUN="<emulator;program>" -DGOLDEN=<file> -DACTUAL=<file> -P compare_digest.cmake
# Runs the result digest, keeps its output in ACTUAL and fails, showing the
# first differing lines, unless it equals the golden file.
execute_process(COMMAND ${RUN} OUTPUT_FILE "${ACTUAL}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "result_digest exited with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${GOLDEN}" "${ACTUAL}" RESULT_VARIABLE status)
if(status EQUAL 0)
  return()
endif()
execute_process(COMMAND diff -U0 "${GOLDEN}" "${ACTUAL}" COMMAND head -n 30 OUTPUT_VARIABLE first)
message(FATAL_ERROR "The result digest differs from the golden file; the first lines of the difference:\n${first}"
        "If the change of results is intended: cp ${ACTUAL} ${GOLDEN}")
