# The shipped binaries carry no debugging information: Wine (and a loader that cannot map a
# file-aligned image) reads a whole image into memory, so the 15+ MB of DWARF sections would sit
# in the working set of every run. The information goes beside the binary as <file>.debug, and a
# debug link in the binary lets a debugger find it again.
function(qel_separate_debug_info target)
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy is needed to separate the debugging information of ${target}")
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
