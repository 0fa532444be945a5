# ox_add_module(NAME SOURCES ... [LIBS ...])
# Builds a loadable module file named NAME.dll: the file name is part of the
# directory protocol and stays the same on every platform. Only symbols marked
# OX_EXPORT are visible; each module keeps its own copy of the framework.
function(ox_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${M_SOURCES})
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".dll" OUTPUT_NAME ${name}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Unique symbols would pin a module in memory and keep its statics alive after unload.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -fno-gnu-unique)
  endif()
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,-z,defs)
  if(M_LIBS)
    target_link_libraries(${name} PRIVATE ${M_LIBS})
  endif()
endfunction()
