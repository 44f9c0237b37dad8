# zk_embed_text(<target> <file> <symbol>): compiles the text of <file> (a form file, say) into
# <target> as `extern const char* const <symbol>;`, declared in the generated header
# "<symbol>.h" on the target's include path. The text is regenerated when the file changes.
#
# Run as a script (cmake -DINPUT=... -DSYMBOL=... -DOUTPUT_DIR=... -P EmbedText.cmake) it
# writes <symbol>.h and <symbol>.cpp.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" _hex HEX)
  # Twenty bytes to a line keeps the generated source readable.
  string(LENGTH "${_hex}" _length)
  set(_bytes "")
  set(_pos 0)
  while(_pos LESS _length)
    string(SUBSTRING "${_hex}" ${_pos} 40 _chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _chunk "${_chunk}")
    string(APPEND _bytes "    ${_chunk}\n")
    math(EXPR _pos "${_pos} + 40")
  endwhile()
  get_filename_component(_name "${INPUT}" NAME)
  file(WRITE "${OUTPUT_DIR}/${SYMBOL}.h"
       "// Generated from ${_name} by cmake/EmbedText.cmake; do not edit.\n"
       "#pragma once\n\n"
       "// The text of ${_name}, zero-terminated.\n"
       "extern const char* const ${SYMBOL};\n")
  file(WRITE "${OUTPUT_DIR}/${SYMBOL}.cpp"
       "// Generated from ${_name} by cmake/EmbedText.cmake; do not edit.\n"
       "#include \"${SYMBOL}.h\"\n\n"
       "namespace {\n"
       "const unsigned char kText[] = {\n${_bytes}    0x00};\n"
       "}  // namespace\n\n"
       "const char* const ${SYMBOL} = reinterpret_cast<const char*>(kText);\n")
  return()
endif()

set(ZK_EMBED_TEXT_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(zk_embed_text target file symbol)
  get_filename_component(_input ${file} ABSOLUTE)
  set(_dir ${CMAKE_CURRENT_BINARY_DIR}/embedded/${target})
  file(MAKE_DIRECTORY ${_dir})
  add_custom_command(
    OUTPUT ${_dir}/${symbol}.h ${_dir}/${symbol}.cpp
    COMMAND ${CMAKE_COMMAND} -DINPUT=${_input} -DSYMBOL=${symbol} -DOUTPUT_DIR=${_dir}
            -P ${ZK_EMBED_TEXT_SCRIPT}
    DEPENDS ${_input} ${ZK_EMBED_TEXT_SCRIPT}
    COMMENT "Embedding ${file} as ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE ${_dir}/${symbol}.h ${_dir}/${symbol}.cpp)
  target_include_directories(${target} PRIVATE ${_dir})
endfunction()
