# embed_text(<target> <input file> <C identifier>)
#
# Compiles a text file into a program: generates, in the build folder, the
# header "<identifier>.h" declaring
#     inline constexpr char <identifier>[] = "...";
# with every byte of the file written as a \x escape (so no content can end
# the literal early), followed by the usual terminating zero; and adds the
# header's folder to the target's include path (PUBLIC, or INTERFACE for an
# interface library), so the target and what links it can include it.
# The header is rewritten only when the file's bytes change, and an edit of
# the file re-runs the configuration.
function(embed_text target input identifier)
  if(NOT TARGET ${target})
    message(FATAL_ERROR "embed_text: no target named '${target}'")
  endif()
  if(NOT identifier MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "embed_text: '${identifier}' is not a C identifier")
  endif()
  get_filename_component(input "${input}" ABSOLUTE)
  if(NOT EXISTS "${input}")
    message(FATAL_ERROR "embed_text: no file '${input}'")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${input}")

  file(READ "${input}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  # 32 bytes (64 hex digits) per line of the generated literal.
  set(body "")
  set(offset 0)
  while(offset LESS hexLength)
    string(SUBSTRING "${hex}" ${offset} 64 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" chunk "${chunk}")
    string(APPEND body "    \"${chunk}\"\n")
    math(EXPR offset "${offset} + 64")
  endwhile()
  if(body STREQUAL "")
    set(body "    \"\"\n")
  endif()

  set(folder "${CMAKE_BINARY_DIR}/embedded_text")
  set(header "${folder}/${identifier}.h")
  get_filename_component(inputName "${input}" NAME)
  set(content "// Generated from ${inputName} by embed_text; do not edit.\n#pragma once\n\ninline constexpr char ${identifier}[] =\n${body};\n")
  set(old "")
  if(EXISTS "${header}")
    file(READ "${header}" old)
  endif()
  if(NOT old STREQUAL content)
    file(WRITE "${header}" "${content}")
  endif()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${folder}")
  else()
    target_include_directories(${target} PUBLIC "${folder}")
  endif()
endfunction()
