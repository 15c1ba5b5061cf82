songbeacon_test(history_tests
  SOURCES history/title_history_test.cpp history/repeat_filter_test.cpp
  LIBS sb_core)
