# Reads every `#include "folder/..."` line of the source folders and fails,
# naming the file and line, when one names a folder (or a header) that the
# including folder may not use according to the table in layers.txt.
#
#   cmake -DSOURCE_DIR=<repository> [-DTABLE=<table>] -P check_includes.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_includes.cmake: SOURCE_DIR is not set")
endif()
if(NOT TABLE)
  set(TABLE ${SOURCE_DIR}/layers.txt)
endif()

# The table: "folder: uses..." per line, `#` starting a comment; a folder
# may have several lines. A use is a folder, a single header
# (folder/file.h), or `*` for every folder.
file(STRINGS ${TABLE} table_lines)
set(folders)
foreach(line IN LISTS table_lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^([A-Za-z0-9_-]+):(.*)$")
    message(FATAL_ERROR "${TABLE}: cannot read the line \"${line}\"")
  endif()
  set(folder ${CMAKE_MATCH_1})
  string(STRIP "${CMAKE_MATCH_2}" uses)
  separate_arguments(uses UNIX_COMMAND "${uses}")
  if(NOT folder IN_LIST folders)
    list(APPEND folders ${folder})
  endif()
  list(APPEND uses_${folder} ${uses})
endforeach()

# Every top-level folder with C or C++ sources must have its line, so a new
# folder is placed in the layers before it can include anything.
file(GLOB entries LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(failures 0)
foreach(entry IN LISTS entries)
  if(NOT IS_DIRECTORY ${SOURCE_DIR}/${entry} OR entry MATCHES "^(\\.|build)")
    continue()
  endif()
  file(GLOB_RECURSE any_source ${SOURCE_DIR}/${entry}/*.h ${SOURCE_DIR}/${entry}/*.cpp ${SOURCE_DIR}/${entry}/*.c)
  if(any_source AND NOT entry IN_LIST folders)
    message(SEND_ERROR "${entry}/: a source folder without a line in ${TABLE}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

foreach(folder IN LISTS folders)
  if("*" IN_LIST uses_${folder})
    continue()
  endif()
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.c)
  foreach(source IN LISTS sources)
    file(READ ${SOURCE_DIR}/${source} text)
    string(REGEX MATCHALL "#[ \t]*include[ \t]*\"[^\"\n]+\"" includes "${text}")
    foreach(include IN LISTS includes)
      string(REGEX REPLACE "^#[ \t]*include[ \t]*\"([^\"]+)\"$" "\\1" header "${include}")
      # Only paths from the repository's root name a layer; a bare name is
      # a header beside the source.
      if(NOT header MATCHES "^([A-Za-z0-9_-]+)/")
        continue()
      endif()
      set(target ${CMAKE_MATCH_1})
      if(NOT IS_DIRECTORY ${SOURCE_DIR}/${target})
        continue()
      endif()
      if(target STREQUAL folder OR target IN_LIST uses_${folder} OR header IN_LIST uses_${folder})
        continue()
      endif()
      string(FIND "${text}" "${include}" offset)
      string(SUBSTRING "${text}" 0 ${offset} before)
      string(REGEX MATCHALL "\n" newlines "${before}")
      list(LENGTH newlines line_number)
      math(EXPR line_number "${line_number} + 1")
      message(SEND_ERROR "${source}:${line_number}: includes ${header}, but ${folder}/ may use only: ${uses_${folder}}")
      math(EXPR failures "${failures} + 1")
    endforeach()
  endforeach()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include(s) against the layers in ${TABLE}")
endif()
message(STATUS "includes follow the layers of ${TABLE}")
