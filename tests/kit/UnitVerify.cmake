# cmake -DUNIT= -DOXAGENT= -DEXAMPLE= -DWORK= -P UnitVerify.cmake
# systemd-analyze verify of the packaged user unit with its ExecStart on the built oxagent; any
# complaint fails it, since an unknown key only warns.
find_program(ANALYZE systemd-analyze)
if(NOT ANALYZE)
  message(NOTICE "skipped: no systemd-analyze on this machine")
  return()
endif()
file(READ ${UNIT} unit)
string(REPLACE "/opt/ox/bin/oxagent" "${OXAGENT}" unit "${unit}")
string(REPLACE "/opt/ox/share/ox/examples/os" "${EXAMPLE}" unit "${unit}")
file(WRITE ${WORK}/oxagent.service "${unit}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_RUNTIME_DIR=${WORK} ${ANALYZE} --user verify
  ${WORK}/oxagent.service RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "systemd-analyze verify ${WORK}/oxagent.service exited with ${code}:\n${out}")
endif()
