# cmake -DBUILD= -DSOURCE= -DWORK= -DFLAGS= -DLINK_FLAGS= -DLAUNCHER= -P InstallMoved.cmake
# Installs the build into a prefix, moves the prefix, builds examples/filesystems against the
# moved kit in a folder of its own and asks the moved oxagent about the directory it made.
include(${CMAKE_CURRENT_LIST_DIR}/OxKitScript.cmake)
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/installed)
file(RENAME ${WORK}/installed ${WORK}/moved)
run(${CMAKE_COMMAND} -S ${SOURCE}/examples/filesystems -B ${WORK}/build
    -DCMAKE_PREFIX_PATH=${WORK}/moved -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_MODULE_LINKER_FLAGS=${LINK_FLAGS}"
    "-DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}")
run(${CMAKE_COMMAND} --build ${WORK}/build -j2)
set(agent ${WORK}/moved/bin/oxagent)
set(dir ${WORK}/build/filesystems)
run(nm -D --defined-only ${dir}/fsComp.dll)
if(NOT out MATCHES "^[0-9a-f]+ T coxBaseConstruct\n[0-9a-f]+ T coxBaseDestruct\n$")
  message(FATAL_ERROR "fsComp.dll exports more than its two entry points:\n${out}")
endif()

# One row per mount point of /proc/self/mounts that statvfs (stat -f) answers for, in mount
# order; a mount point mounted over is one row.
run(${agent} show ${dir} --db :memory: --json)
string(JSON count LENGTH "${out}" groups 1 rows)
foreach(row RANGE 1 ${count})
  math(EXPR row "${row} - 1")
  string(JSON point GET "${out}" groups 1 rows ${row} 0 value)
  list(APPEND shown "${point}")
endforeach()
file(STRINGS /proc/self/mounts lines)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[^ ]+ ([^ ]+) .*" "\\1" point "${line}")
  string(REPLACE "\\040" " " point "${point}")
  execute_process(COMMAND stat -f "${point}" RESULT_VARIABLE code OUTPUT_QUIET ERROR_QUIET)
  if(code EQUAL 0 AND NOT point IN_LIST points)
    list(APPEND points "${point}")
  endif()
endforeach()
if(NOT shown STREQUAL points)
  message(FATAL_ERROR "show gave the rows\n  ${shown}\nthe mount table has\n  ${points}")
endif()

# The root file system's size in bytes, as statvfs gives it: blocks times the fragment size.
run(stat -f -c "%b * %S" /)
math(EXPR size "${out}")
run(${agent} get ${dir} --group 2 --attr 4 --key / --db :memory:)
if(NOT out STREQUAL "${size}\n")
  message(FATAL_ERROR "get --key / gave size ${out}, statvfs ${size}")
endif()
