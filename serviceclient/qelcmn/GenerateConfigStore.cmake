# Turns a configuration values file (config_values.txt or the one QEL_CONFIG_VALUES names) into
# the scrambled table of the configuration store.
# Inputs: IN (values file), OUT (header to write).
include(${CMAKE_CURRENT_LIST_DIR}/ReadConfigValues.cmake)
qel_read_config_values("${IN}" config)
set(body "")
foreach(id IN LISTS config_IDS)
  set(hex "${config_HEX_${id}}")
  # A mask per entry, different from entry to entry and never 0.
  math(EXPR mask "((${id} * 73 + 41) % 255) + 1")
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
