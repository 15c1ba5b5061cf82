# Tests of src/airlog/: the line, the path and the queue natively; the writer and its file through
# Wine, with a program that brings its own file append for a folder that blocks.
songbeacon_test(airlog_line_tests SOURCES airlog/air_line_test.cpp LIBS sb_core)
if(WIN32)
  songbeacon_test(airlog_writer_tests SOURCES airlog/air_writer_test.cpp LIBS sb_plugin sb_test_support)
endif()
