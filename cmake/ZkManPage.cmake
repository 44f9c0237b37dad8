# What every command-line program gets: its version, and a man page made from its --help and
# --version output.
include_guard(GLOBAL)

# zk_program_version(TARGET): defines ZK_VERSION, the project's version ("0.0.0" when the
# project gives none), for the program's --version.
function(zk_program_version target)
  set(version "${PROJECT_VERSION}")
  if(NOT version)
    set(version 0.0.0)
  endif()
  target_compile_definitions(${target} PRIVATE ZK_VERSION="${version}")
endfunction()

# zk_man_page(TARGET NAME TEXT [INCLUDE FILE]): builds TARGET.1 beside the program with help2man
# once the program is built; TEXT is the page's one-line description, FILE (help2man's include
# format) adds sections the --help output has no room for. Without help2man there is no page,
# and installing skips it.
find_program(ZK_HELP2MAN help2man)
function(zk_man_page target)
  cmake_parse_arguments(ARG "" "NAME;INCLUDE" "" ${ARGN})
  if(NOT ZK_HELP2MAN)
    message(STATUS "help2man not found: no man page for ${target}")
    return()
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  set(include "")
  if(ARG_INCLUDE)
    set(include --include=${CMAKE_CURRENT_SOURCE_DIR}/${ARG_INCLUDE})
  endif()
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${ZK_HELP2MAN} --no-info --name=${ARG_NAME} ${include} --output=${page}
            $<TARGET_FILE:${target}>
    DEPENDS ${target} ${ARG_INCLUDE}
    COMMENT "Writing the man page ${target}.1"
    VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS ${page})
endfunction()
