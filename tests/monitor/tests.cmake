# Tests of src/monitor/: the worker on its own thread against a simulated player on the test's thread.
if(WIN32)
  songbeacon_test(monitor_tests SOURCES monitor/track_monitor_test.cpp LIBS sb_plugin sb_test_support)
  # The worker against a page target that blocks: the program brings its own page::write(), which
  # the linker takes in place of the page file's.
  songbeacon_test(monitor_slow_page_tests SOURCES monitor/slow_page_test.cpp LIBS sb_plugin sb_test_support)
endif()
