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

# qel_delay_load(<target> <system library file>...): the target loads each of these system
# libraries at the first call into it rather than at its start, so what a run never calls costs
# it nothing (under Wine some of them bring whole Unix libraries with them). Callers stay as they
# are: for this target alone, a folder of delay-load import libraries of the same names comes
# first on the library search path, so its -l<name> finds them instead of the plain ones. The
# target must handle a library or entry that fails to load (__pfnDliNotifyHook2 and
# __pfnDliFailureHook2 of <delayimp.h>); without that, the first call would raise an exception.
function(qel_delay_load target)
  if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    message(FATAL_ERROR "dlltool and nm are needed to delay the libraries of ${target}")
  endif()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_delay_load)
  set(libraries "")
  foreach(file IN LISTS ARGN)
    get_filename_component(name ${file} NAME_WE)
    string(TOLOWER ${name} name)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a
                    OUTPUT_VARIABLE plain OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${plain}" OR NOT EXISTS "${plain}")
      message(FATAL_ERROR "no import library lib${name}.a for ${file}")
    endif()
    # The entries are the functions of the plain import library: those with a call stub.
    execute_process(COMMAND ${CMAKE_NM} --defined-only ${plain}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "nm could not read ${plain}")
    endif()
    string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@]*" stubs "${symbols}")
    list(TRANSFORM stubs REPLACE "^[0-9a-f]+ T " "")
    list(REMOVE_DUPLICATES stubs)
    list(SORT stubs)
    string(JOIN "\n" exports ${stubs})
    file(CONFIGURE OUTPUT ${folder}/${name}.def
         CONTENT "LIBRARY \"${file}\"\nEXPORTS\n${exports}\n" @ONLY)
    add_custom_command(OUTPUT ${folder}/lib${name}.a
      COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${name}.def --dllname ${file}
              --output-delaylib ${folder}/lib${name}.a
      DEPENDS ${folder}/${name}.def
      COMMENT "Delay-load import library of ${file} for ${target}"
      VERBATIM)
    list(APPEND libraries ${folder}/lib${name}.a)
  endforeach()
  add_custom_target(${target}_delay_load DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delay_load)
  target_link_directories(${target} PRIVATE ${folder})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
endfunction()

# The target's sections lie on page boundaries in the file as in memory: Wine maps such an image
# from the file, page by page as it is used, where it reads a 512-byte aligned one whole into
# memory (code never run and pictures never shown included).
function(qel_page_aligned_image target)
  target_link_options(${target} PRIVATE -Wl,--file-alignment=0x1000)
endfunction()
