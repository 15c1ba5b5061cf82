# Tests of src/settings/: the module-path rule natively; plugin.ini itself through Wine's profile functions.
songbeacon_test(settings_path_tests SOURCES settings/ini_path_test.cpp LIBS sb_core)
if(WIN32)
  songbeacon_test(settings_tests SOURCES settings/settings_file_test.cpp LIBS sb_plugin sb_test_support)
endif()
