# Guest programs: R5900 code cross-compiled with Debian's mipsel toolchain
# and linked at 0x00100000. A missing cross compiler stops the configure
# step: the tests cannot run without guest code.

find_program(GUEST_CC mipsel-linux-gnu-gcc)
if(NOT GUEST_CC OR NOT EXISTS "${GUEST_CC}")
  message(FATAL_ERROR "The guest programs need the mipsel cross compiler (mipsel-linux-gnu-gcc, "
                      "Debian's gcc-mipsel-linux-gnu, which scripts/install-deps installs); not found"
                      " (GUEST_CC=${GUEST_CC}). To build only the programs and plugins, configure with "
                      "-DCORVANE_GUEST_PROGRAMS=OFF -DCORVANE_BUILD_TESTS=OFF.")
endif()

set(GUEST_FLAGS
  -march=r5900 -mabi=32 -msingle-float -ffreestanding -nostdlib -fno-pic
  -mno-abicalls -G0 -static -no-pie -O2 -Wall -Wextra -fno-builtin
)
set(GUEST_DIR ${CMAKE_SOURCE_DIR}/guest)
set(GUEST_OUTPUT_DIR ${CMAKE_BINARY_DIR}/guest-programs)
file(MAKE_DIRECTORY ${GUEST_OUTPUT_DIR})

# corvane_add_guest_program(NAME SOURCES a.c b.S ... [EXTRA_FLAGS ...] [NO_RUNTIME])
# builds ${GUEST_OUTPUT_DIR}/NAME.elf from the start-up code, the guest
# runtime and the given sources, and adds it to the ALL target.
function(corvane_add_guest_program name)
  cmake_parse_arguments(G "NO_RUNTIME" "" "SOURCES;EXTRA_FLAGS" ${ARGN})
  set(sources)
  set(local_headers)
  foreach(src IN LISTS G_SOURCES)
    if(IS_ABSOLUTE ${src})
      set(path ${src})
    else()
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    endif()
    list(APPEND sources ${path})
    # Headers beside a source are rebuilt into the program when they change.
    get_filename_component(folder ${path} DIRECTORY)
    file(GLOB headers CONFIGURE_DEPENDS ${folder}/*.h)
    list(APPEND local_headers ${headers})
  endforeach()
  set(runtime ${GUEST_DIR}/crt0.S)
  if(NOT G_NO_RUNTIME)
    file(GLOB runtime_sources CONFIGURE_DEPENDS ${GUEST_DIR}/lib/*.c ${GUEST_DIR}/lib/*.S)
    list(APPEND runtime ${runtime_sources})
  endif()
  file(GLOB guest_headers CONFIGURE_DEPENDS ${GUEST_DIR}/include/*.h)
  set(out ${GUEST_OUTPUT_DIR}/${name}.elf)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${GUEST_CC} ${GUEST_FLAGS} ${G_EXTRA_FLAGS} -I${GUEST_DIR}/include
            -T ${GUEST_DIR}/guest.ld -Wl,--build-id=none -o ${out} ${runtime} ${sources}
    DEPENDS ${runtime} ${sources} ${guest_headers} ${local_headers} ${GUEST_DIR}/guest.ld
    COMMENT "Building guest program ${name}.elf"
    VERBATIM
  )
  add_custom_target(guest_${name} ALL DEPENDS ${out})
endfunction()

# corvane_add_guest_folder() builds every guest/*.c and guest/*.S of the
# calling test folder as a program of its own, named after the file, and
# leaves the names in GUEST_FOLDER_PROGRAMS for the folder's test suites.
# A program may include a sibling source to build it again with other
# settings, so each is rebuilt when any source of the folder changes.
function(corvane_add_guest_folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/guest/*.c ${CMAKE_CURRENT_SOURCE_DIR}/guest/*.S)
  set(programs)
  foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME_WE)
    corvane_add_guest_program(${name} SOURCES ${source})
    add_custom_command(OUTPUT ${GUEST_OUTPUT_DIR}/${name}.elf APPEND DEPENDS ${sources})
    list(APPEND programs ${name})
  endforeach()
  set(GUEST_FOLDER_PROGRAMS ${programs} PARENT_SCOPE)
endfunction()
