# Tests of src/host/: the description natively; the entry linked into a test program (to make
# allocations fail); and the real gen_SBeacon.dll loaded by a test host under Wine.
songbeacon_test(description_tests SOURCES host/description_test.cpp LIBS sb_core)
if(WIN32)
  songbeacon_test(entry_tests SOURCES host/plugin_entry_test.cpp ${SB_DIALOG_RC} LIBS sb_plugin sb_test_support)
  songbeacon_test(plugin_dll_tests SOURCES host/plugin_dll_test.cpp LIBS sb_plugin_host)
  add_test(NAME PluginDll.ExportsAndImports
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/host/check_dll_exports.sh $<TARGET_FILE:gen_SBeacon>)
endif()
