# Long-running stress test of the whole plug-in: the real gen_SBeacon.dll in a test host under Wine
# and Xvfb. The run takes about a minute, two or more on a busy machine, so its limit is longer;
# `ctest -LE stress` leaves it out.
if(WIN32)
  songbeacon_test(stress_tests SOURCES stress/stress_test.cpp LIBS sb_plugin_host TIMEOUT 1800 LABELS stress)
  target_include_directories(stress_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
endif()
