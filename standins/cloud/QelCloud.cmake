# qel_use_simulated_cloud(<test> [CONFIGURATIONS c...]): gives the ctest entry <test> its own
# simulated cloud (a test that runs only in some ctest configurations passes them on); given a
# test executable of qel_add_gtest, each of its entries gets one.
# A setup entry starts the server on a free port (it writes its pid and port into a folder of
# the build tree) and a cleanup entry stops it by that pid; the test finds the folder through
# QEL_CLOUD_STATE_DIR and reads the port from the file "cloud.port" there.
include_guard(GLOBAL)

set(QEL_CLOUD_PYTHON /usr/bin/python3 CACHE FILEPATH "Python 3 with python3-cryptography")
function(qel_use_simulated_cloud test)
  if(TARGET ${test})
    get_property(_entries TARGET ${test} PROPERTY QEL_TEST_ENTRIES)
    if(_entries)
      foreach(_entry IN LISTS _entries)
        _qel_use_simulated_cloud(${_entry} ${ARGN})
      endforeach()
      return()
    endif()
  endif()
  _qel_use_simulated_cloud(${test} ${ARGN})
endfunction()

function(_qel_use_simulated_cloud test)
  cmake_parse_arguments(C "" "" "CONFIGURATIONS" ${ARGN})
  if(C_CONFIGURATIONS)
    set(only CONFIGURATIONS ${C_CONFIGURATIONS})
  endif()
  # Found from this file, so that the function works in every folder that includes it.
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/qelcloud.py)
  set(state_dir ${CMAKE_BINARY_DIR}/cloud/${test})
  add_test(NAME ${test}_cloud_start ${only}
           COMMAND ${QEL_CLOUD_PYTHON} ${script} --background --port 0
                   --state-dir ${state_dir})
  add_test(NAME ${test}_cloud_stop ${only}
           COMMAND ${QEL_CLOUD_PYTHON} ${script} --stop --state-dir ${state_dir})
  set_tests_properties(${test}_cloud_start PROPERTIES FIXTURES_SETUP ${test}_cloud TIMEOUT 30)
  set_tests_properties(${test}_cloud_stop PROPERTIES FIXTURES_CLEANUP ${test}_cloud TIMEOUT 30)
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED ${test}_cloud)
  # A proxy from the environment would send loopback requests elsewhere under Wine.
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "QEL_CLOUD_STATE_DIR=${state_dir}")
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT_MODIFICATION
               "http_proxy=unset:" "https_proxy=unset:" "HTTP_PROXY=unset:" "HTTPS_PROXY=unset:"
               "no_proxy=unset:")
endfunction()
