# Long-running stress test of the whole plug-in: the real gen_SBeacon.dll in a test host under Wine
# and Xvfb.
if(WIN32)
  # Not songbeacon_test: the run takes about a minute, two or more on a busy machine, so its limit is
  # longer. `ctest -LE stress` leaves it out.
  add_executable(stress_tests stress/stress_test.cpp)
  target_link_libraries(stress_tests PRIVATE sb_plugin_host GTest::gtest_main)
  target_include_directories(stress_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src)
  gtest_discover_tests(stress_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} PROPERTIES TIMEOUT 1800 LABELS stress)
endif()
