# corvane_add_record_program(NAME SOURCES ...) builds a guest program on
# records.h, and rebuilds it when that header changes.
set(GUEST_RECORDS_DIR ${CMAKE_CURRENT_LIST_DIR})

function(corvane_add_record_program name)
  cmake_parse_arguments(R "" "" "SOURCES" ${ARGN})
  corvane_add_guest_program(${name} SOURCES ${R_SOURCES} EXTRA_FLAGS -I${GUEST_RECORDS_DIR})
  add_custom_command(OUTPUT ${GUEST_OUTPUT_DIR}/${name}.elf APPEND DEPENDS ${GUEST_RECORDS_DIR}/records.h)
endfunction()
