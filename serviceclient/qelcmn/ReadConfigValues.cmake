# Reads a configuration values file ("id = value" lines, UTF-8, "#" comments) for the build's
# generators, so every table made from it reads the one file the one way.
# qel_read_config_values(<file> <prefix>): sets <prefix>_IDS (the ids in file order) and, per id,
# <prefix>_HEX_<id> (the value's bytes as hexadecimal text).
function(qel_read_config_values file prefix)
  file(STRINGS "${file}" lines ENCODING UTF-8)
  set(ids "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#" OR line MATCHES "^[ \t]*$")
      continue()
    endif()
    if(NOT line MATCHES "^[ \t]*([0-9]+)[ \t]*=[ \t]?(.*)$")
      message(FATAL_ERROR "${file}: cannot read line: ${line}")
    endif()
    set(id ${CMAKE_MATCH_1})
    string(HEX "${CMAKE_MATCH_2}" hex)
    list(APPEND ids ${id})
    set(${prefix}_HEX_${id} "${hex}" PARENT_SCOPE)
  endforeach()
  set(${prefix}_IDS "${ids}" PARENT_SCOPE)
endfunction()
