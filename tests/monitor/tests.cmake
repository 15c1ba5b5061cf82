# Tests of src/monitor/: the worker on its own thread against a simulated player on the test's thread.
if(WIN32)
  songbeacon_test(monitor_tests SOURCES monitor/track_monitor_test.cpp LIBS sb_plugin sb_test_support)
  # The worker against a page target that blocks: the program brings its own page::write(), which
  # the linker takes in place of the page file's.
  songbeacon_test(monitor_slow_page_tests SOURCES monitor/slow_page_test.cpp LIBS sb_plugin sb_test_support)
endif()
if(WIN32)
  # The worker and the entry against an air log whose folder blocks: the program brings its own
  # airlog::appendLines, which the linker takes in place of the log file's. It loads a copy of the
  # built DLL only as the module whose folder holds plugin.ini.
  songbeacon_test(monitor_slow_air_log_tests SOURCES monitor/slow_air_log_test.cpp LIBS sb_plugin sb_test_support)
  target_compile_definitions(monitor_slow_air_log_tests PRIVATE SB_PLUGIN_DLL="$<TARGET_FILE:gen_SBeacon>")
  add_dependencies(monitor_slow_air_log_tests gen_SBeacon)
endif()
