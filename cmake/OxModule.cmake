# ox_add_module(NAME SOURCES ... [LIBS ...] [DECLARATIONS ...])
# Builds a loadable module file named NAME.dll: the file name is part of the
# directory protocol and stays the same on every platform. Only symbols marked
# OX_EXPORT are visible; each module keeps its own copy of the framework.
# On Windows the version block and string table declared in the sources (and in the
# DECLARATIONS files, such as a header whose macro declares them) become real resources.
set(OX_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/OxResourceScript.cmake)

function(ox_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;LIBS;DECLARATIONS" ${ARGN})
  add_library(${name} MODULE ${M_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".dll" OUTPUT_NAME ${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    set(declared ${M_SOURCES} ${M_DECLARATIONS})
    list(TRANSFORM declared PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
    set(declares OFF)
    foreach(file IN LISTS declared)
      file(READ ${file} text)
      if(text MATCHES "OX_(VERSION_BLOCK|STRING_TABLE)\\(")
        set(declares ON)
      endif()
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${declared})
    if(declares)
      set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
      add_custom_command(OUTPUT ${rc}
        COMMAND ${CMAKE_COMMAND} "-DSOURCES=${declared}" -DOUTPUT=${rc} -P ${OX_RESOURCE_SCRIPT}
        DEPENDS ${declared} ${OX_RESOURCE_SCRIPT}
        COMMENT "Resources of ${name}.dll" VERBATIM)
      target_sources(${name} PRIVATE ${rc})
    endif()
    # Only the functions marked OX_EXPORT leave the file, without decoration.
    target_link_options(${name} PRIVATE -Wl,--exclude-all-symbols -Wl,--kill-at)
  else()
    set_target_properties(${name} PROPERTIES
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    # Unique symbols would pin a module in memory and keep its statics alive after unload.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${name} PRIVATE -fno-gnu-unique)
    endif()
    target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,-z,defs)
  endif()
  if(M_LIBS)
    target_link_libraries(${name} PRIVATE ${M_LIBS})
  endif()
endfunction()
