# Tests of src/monitor/: the worker on its own thread against a simulated player on the test's thread.
if(WIN32)
  songbeacon_test(monitor_tests SOURCES monitor/track_monitor_test.cpp LIBS sb_plugin sb_test_support)
endif()
