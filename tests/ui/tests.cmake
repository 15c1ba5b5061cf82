# Tests of src/ui/: the number-field conversion in both builds; the dialog template and the live
# dialog only in the Windows build, under Wine and Xvfb.
songbeacon_test(ui_number_field_tests SOURCES ui/number_field_test.cpp LIBS sb_core)
if(WIN32)
  # Reads template 102 back from the built DLL, found in the working directory.
  songbeacon_test(ui_template_tests SOURCES ui/dialog_template_test.cpp LIBS sb_warnings
                  WORKING_DIRECTORY $<TARGET_FILE_DIR:gen_SBeacon>)
  add_dependencies(ui_template_tests gen_SBeacon)

  # Shows the dialog from a copy of the template built into the test program itself.
  songbeacon_test(ui_dialog_tests SOURCES ui/config_dialog_test.cpp ui/config_dialog_chooser_test.cpp ${SB_DIALOG_RC}
                  LIBS sb_plugin sb_test_support)

  # Not a test: the picture of the dialog in docs/, remade by scripts/screenshot-dialog.sh.
  add_executable(dialog_screenshot EXCLUDE_FROM_ALL ui/dialog_screenshot.cpp ${SB_DIALOG_RC})
  target_link_libraries(dialog_screenshot PRIVATE sb_plugin sb_test_support)
endif()
