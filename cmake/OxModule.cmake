# ox_add_module(NAME SOURCES ... [LIBS ...] [DECLARATIONS ...] [VERSION_INFO "Key=Value" ...])
# Builds a loadable module file named NAME.dll: the file name is part of the
# directory protocol and stays the same on every platform. Only symbols marked
# OX_EXPORT are visible; each module keeps its own copy of the framework.
# On Windows the version block and string table declared in the sources (and in the
# DECLARATIONS files, such as a header whose macro declares them) become real resources.
# VERSION_INFO makes the file a component module without writing its version block by hand:
# each "Key=Value" becomes a \StringFileInfo\040904e4 value, FileVersion and ProductVersion
# ("1.2.3.4") also fill the fixed part, the loader's tag is added, and the module links the
# platform library that reads the block.
set(OX_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/OxResourceScript.cmake)

# The version block declared by VERSION_INFO, written as a source file of the module.
function(ox_version_source name out)
  set(version 0.0.0.0)
  set(product "")
  set(values "")
  foreach(entry IN LISTS ARGN)
    if(NOT entry MATCHES "^([^=]+)=(.*)$")
      message(FATAL_ERROR "ox_add_module(${name}): VERSION_INFO entry \"${entry}\" is not Key=Value")
    endif()
    set(key "${CMAKE_MATCH_1}")
    set(value "${CMAKE_MATCH_2}")
    if(key STREQUAL "FileVersion")
      set(version "${value}")
    elseif(key STREQUAL "ProductVersion")
      set(product "${value}")
    endif()
    foreach(text key value)
      string(REPLACE "\\" "\\\\" ${text} "${${text}}")
      string(REPLACE "\"" "\\\"" ${text} "${${text}}")
    endforeach()
    string(APPEND values
      "    OX_VERSION_VALUE(\"\\\\StringFileInfo\\\\040904e4\\\\${key}\", \"${value}\")\n")
  endforeach()
  if(product STREQUAL "")
    set(product "${version}")
  endif()
  foreach(v version product)
    if(NOT "${${v}}" MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
      message(FATAL_ERROR "ox_add_module(${name}): ${v} \"${${v}}\" is not numbers joined by dots")
    endif()
    string(REPLACE "." ";" parts "${${v}}")
    list(APPEND parts 0 0 0)
    list(SUBLIST parts 0 4 parts)
    list(JOIN parts ", " ${v})
  endforeach()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.cpp)
  file(CONFIGURE OUTPUT ${file} CONTENT
"// The version block of ${name}.dll, written by ox_add_module from its VERSION_INFO.
#include \"platform/oxpResource.h\"

OX_VERSION_BLOCK(
    OX_VERSION_FIXED(${version}, ${product}, OX_VFT_DLL)
${values}    OX_VERSION_VALUE(\"\\\\OXInfo\\\\coxBaseTag\", \"coxBaseTag\"))
" @ONLY)
  set(${out} ${file} PARENT_SCOPE)
endfunction()

function(ox_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;LIBS;DECLARATIONS;VERSION_INFO" ${ARGN})
  if(DEFINED M_VERSION_INFO)
    ox_version_source(${name} version ${M_VERSION_INFO})
    list(APPEND M_SOURCES ${version})
    list(APPEND M_LIBS ox::platform)
  endif()
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
