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
#               [WORKING_DIRECTORY dir] [LABELS l...] [NO_MAIN])
# Makes the executable <name> and its single ctest entry <name>.
function(qel_add_gtest name)
  cmake_parse_arguments(T "NO_MAIN" "TIMEOUT;WORKING_DIRECTORY" "SOURCES;LIBS;DEPENDS;LABELS" ${ARGN})
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
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QEL_TEST_ARTIFACTS=${QEL_TEST_ARTIFACTS}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
