# What the skintool scripts share: a fresh work folder, and running a command
# that must end with a given exit status, keeping what it printed in
# last_out and last_err.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run expected_rc)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_VARIABLE out)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "${ARGN}\nexit ${rc}, expected ${expected_rc}\n${out}${err}")
  endif()
  set(last_err "${err}" PARENT_SCOPE)
  set(last_out "${out}" PARENT_SCOPE)
endfunction()

# Fails with `why` unless files a and b hold the same bytes.
function(expect_same_files a b why)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${why}")
  endif()
endfunction()
