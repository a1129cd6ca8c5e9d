# Turns a configuration values file (config_values.txt or the one QEL_CONFIG_VALUES names) into
# the scrambled table of the configuration store.
# Inputs: IN (values file), OUT (header to write).
file(STRINGS "${IN}" lines ENCODING UTF-8)
set(body "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*#" OR line MATCHES "^[ \t]*$")
    continue()
  endif()
  if(NOT line MATCHES "^[ \t]*([0-9]+)[ \t]*=[ \t]?(.*)$")
    message(FATAL_ERROR "${IN}: cannot read line: ${line}")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(value "${CMAKE_MATCH_2}")
  # A mask per entry, different from entry to entry and never 0.
  math(EXPR mask "((${id} * 73 + 41) % 255) + 1")
  string(HEX "${value}" hex)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  if(size GREATER 255)
    message(FATAL_ERROR "${IN}: entry ${id} is longer than 255 bytes")
  endif()
  set(bytes "")
  set(pos 0)
  while(pos LESS hexlen)
    string(SUBSTRING "${hex}" ${pos} 2 pair)
    math(EXPR b "0x${pair} ^ ${mask}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND bytes "${b},")
    math(EXPR pos "${pos} + 2")
  endwhile()
  string(APPEND body "    {${id}, ${mask}, ${size}, {${bytes}}},\n")
endforeach()
file(WRITE "${OUT}.tmp"
"// Generated from ${IN}; do not edit.
#pragma once
#include <cstddef>
namespace qelcmn::detail {
struct ConfigEntry {
    int id;
    unsigned char mask;
    std::size_t size;
    unsigned char bytes[256];
};
inline constexpr ConfigEntry kConfigEntries[] = {
${body}};
} // namespace qelcmn::detail
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
