# GoogleTest from Debian's sources, built with the cross compiler, and one ctest entry per
# test executable, run under Wine (CMAKE_CROSSCOMPILING_EMULATOR). Cases are not discovered
# at build time: that would start Wine during the build, once per case.
include(CTest)

set(QEL_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${QEL_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)

# The reference scripts and the simulated cloud run on Python 3 (with python3-cryptography,
# which tools/install-deps.sh installs): the known-answer checks are always registered.
find_program(QEL_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

# qel_add_known_answers(<name> SCRIPT <script> FILE <committed file>): a ctest entry that fails
# while the committed known answers differ from what the reference script makes.
function(qel_add_known_answers name)
  cmake_parse_arguments(K "" "SCRIPT;FILE" "" ${ARGN})
  add_test(NAME ${name} COMMAND ${QEL_PYTHON3} ${K_SCRIPT} --check ${K_FILE})
  set_tests_properties(${name} PROPERTIES TIMEOUT 60)
endfunction()

set(QEL_TEST_TIMEOUT 120 CACHE STRING "Default time-out of a test executable, in seconds")
set(QEL_TEST_ARTIFACTS ${CMAKE_BINARY_DIR}/test-artifacts CACHE PATH
    "Folder where tests leave files for people to look at (screenshots)")

# qel_add_gtest(<name> SOURCES s... [LIBS l...] [TIMEOUT secs] [DEPENDS targets...]
#               [WORKING_DIRECTORY dir] [LABELS l...] [NO_MAIN] [WINDOWS]
#               [PARTS <part>...])
# Makes the executable <name> and its ctest entry <name>, or one entry per part.
# WINDOWS: the program shows windows, takes pictures of them or starts QelRegistration.exe (one
#   copy per prefix): each entry runs in a Wine prefix and on a display of its own
#   (tools/own-prefix.sh), so window tests run side by side instead of taking turns.
# PARTS: a program that runs too long for one entry is split into entries that run side by side,
#   each "<suffix>=<gtest filter>[=<n>]": entry <name>_<suffix> runs the tests that the filter
#   names; with <n>, n entries <name>_<suffix>_<k> each run the k-th of n parts of the tables of
#   those tests (QEL_TEST_PART "<k>/<n>", testkit/table_part.h). Give the rest its own part
#   (a filter "-A.*:B.*"), so no test is left out.
function(qel_add_gtest name)
  cmake_parse_arguments(T "NO_MAIN;WINDOWS" "TIMEOUT;WORKING_DIRECTORY" "SOURCES;LIBS;DEPENDS;LABELS;PARTS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest)
  else()
    # GoogleTest's main and a listener that shows the code and message of an application
    # exception that ended a test (cmake/testing).
    target_link_libraries(${name} PRIVATE ${T_LIBS} qel_test_main)
  endif()
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT ${QEL_TEST_TIMEOUT})
  endif()
  if(NOT T_WORKING_DIRECTORY)
    set(T_WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()

  # Each entry: its name, its filter (or none) and its table part (or none).
  set(_entries)
  if(T_PARTS)
    foreach(_part IN LISTS T_PARTS)
      string(REPLACE "=" ";" _fields "${_part}")
      list(LENGTH _fields _count)
      list(GET _fields 0 _suffix)
      list(GET _fields 1 _filter)
      if(_count GREATER 2)
        list(GET _fields 2 _n)
        math(EXPR _last "${_n} - 1")
        foreach(_k RANGE ${_last})
          list(APPEND _entries "${name}_${_suffix}_${_k}|${_filter}|${_k}/${_n}")
        endforeach()
      else()
        list(APPEND _entries "${name}_${_suffix}|${_filter}|")
      endif()
    endforeach()
  else()
    list(APPEND _entries "${name}||")
  endif()

  set(_tests)
  foreach(_entry IN LISTS _entries)
    string(REPLACE "|" ";" _fields "${_entry}")
    list(GET _fields 0 _test)
    list(APPEND _tests ${_test})
    list(GET _fields 1 _filter)
    list(GET _fields 2 _table_part)
    set(_args --gtest_color=no)
    if(_filter)
      list(APPEND _args "--gtest_filter=${_filter}")
    endif()
    if(T_WINDOWS)
      add_test(NAME ${_test}
               COMMAND bash ${CMAKE_SOURCE_DIR}/tools/own-prefix.sh ${CMAKE_BINARY_DIR} ${_test}
                       $<TARGET_FILE:${name}> ${_args}
               WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
    else()
      add_test(NAME ${_test} COMMAND ${name} ${_args} WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
    endif()
    set(_environment "QEL_TEST_ARTIFACTS=${QEL_TEST_ARTIFACTS}")
    if(_table_part)
      list(APPEND _environment "QEL_TEST_PART=${_table_part}")
    endif()
    set_tests_properties(${_test} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${_environment}")
    if(T_WINDOWS)
      # A fresh run has no measured times: window tests take longest, so they start first and
      # the short ones fill the gaps.
      set_tests_properties(${_test} PROPERTIES COST 50)
    endif()
    if(T_LABELS)
      set_tests_properties(${_test} PROPERTIES LABELS "${T_LABELS}")
    endif()
  endforeach()
  # The entries' names, for what is set per entry after the call (qel_use_simulated_cloud).
  set_property(TARGET ${name} PROPERTY QEL_TEST_ENTRIES "${_tests}")
endfunction()
