# Page rendering in both builds; the file write against real files under Wine; the rendered page
# in a real browser natively (Chromium runs on the build machine, not under Wine).
songbeacon_test(page_tests SOURCES page/page_render_test.cpp LIBS sb_core)
if(WIN32)
  songbeacon_test(page_file_tests SOURCES page/page_file_test.cpp LIBS sb_plugin sb_test_support)
else()
  songbeacon_test(page_browser_tests SOURCES page/page_browser_test.cpp LIBS sb_core sb_browser_support)
endif()
