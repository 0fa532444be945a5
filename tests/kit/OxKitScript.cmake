# Shared by the kit's script tests: run(COMMAND...) fails the test with the command's output;
# on success its standard output is in `out`.
cmake_minimum_required(VERSION 3.25)
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command}\nexited with ${code}:\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()
file(REMOVE_RECURSE ${WORK})
