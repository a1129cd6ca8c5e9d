# Turns the token-service addresses of the configuration values file into the tables from which
# the program builds the two token-service texts at run time: each text's bytes XORed with a key
# of its own, in runs of three with one filler byte after each run, which the reader skips.
# Inputs: IN (values file), OUT (header to write), READER (ReadConfigValues.cmake), TEXTS
# (name=id pairs separated by commas).
include(${READER})
string(REPLACE "," ";" TEXTS "${TEXTS}")
qel_read_config_values("${IN}" config)
set(body "")
foreach(pair IN LISTS TEXTS)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 id)
  set(hex "${config_HEX_${id}}")
  string(LENGTH "${hex}" hexlen)
  math(EXPR length "${hexlen} / 2")
  if(length EQUAL 0 OR length GREATER 255)
    message(FATAL_ERROR "${IN}: entry ${id} must hold 1 to 255 bytes for the ${name} table")
  endif()
  math(EXPR key "((${id} * 151 + 23) % 255) + 1")
  set(bytes "")
  set(pos 0)
  set(count 0)
  while(pos LESS hexlen)
    string(SUBSTRING "${hex}" ${pos} 2 byte)
    math(EXPR b "0x${byte} ^ ${key}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND bytes "${b},")
    math(EXPR pos "${pos} + 2")
    math(EXPR count "${count} + 1")
    math(EXPR run "${count} % 3")
    if(run EQUAL 0)
      math(EXPR filler "(${count} * 29 + ${key}) % 256" OUTPUT_FORMAT HEXADECIMAL)
      string(APPEND bytes "${filler},")
    endif()
  endwhile()
  string(APPEND body "inline constexpr BuiltText k${name} = {${key}, ${length}, {${bytes}}};\n")
endforeach()
file(WRITE "${OUT}.tmp"
"// Generated from ${IN}; do not edit.
#pragma once
#include <cstddef>
namespace printerutil::detail {
struct BuiltText {
    unsigned char key;
    std::size_t length; // text bytes, fillers not counted
    unsigned char table[344];
};
${body}} // namespace printerutil::detail
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
