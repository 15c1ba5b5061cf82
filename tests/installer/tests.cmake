# Tests of the release files (installer/): the setup program run under Wine, each case on a fresh
# Wine prefix (10-20 seconds each to make); the contents of the zip; the name and version in each.
if(WIN32)
  # Holds the installed DLL loaded, as a running player does.
  add_executable(hold_dll installer/hold_dll.cpp)
  target_link_libraries(hold_dll PRIVATE sb_warnings)

  foreach(test_case
          "install;Installer.SilentInstallFindsThePlayerAndRegisters"
          "play;Installer.InstalledPluginPlaysInThePlayer"
          "upgrade;Installer.UpgradeKeepsPluginIni"
          "in-use;Installer.DllInUseIsLeftIntact"
          "uninstall;Installer.UninstallKeepsSettingsAndPage")
    list(GET test_case 0 case_name)
    list(GET test_case 1 test_name)
    add_test(NAME ${test_name}
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_installer.sh ${case_name} ${SONGBEACON_SETUP}
                     $<TARGET_FILE:gen_SBeacon> $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:hold_dll>)
    set_tests_properties(${test_name} PROPERTIES TIMEOUT 300 LABELS installer)
  endforeach()

  # Not a test: the picture of the installer's folder page in docs/, made by
  # scripts/screenshot-installer.sh.
  add_executable(installer_screenshot EXCLUDE_FROM_ALL installer/installer_screenshot.cpp)
  target_link_libraries(installer_screenshot PRIVATE sb_test_support)

  add_test(NAME ReleaseZip.HoldsExactlyTheReleaseFiles
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_zip.sh ${SONGBEACON_ZIP} $<TARGET_FILE:gen_SBeacon>
                   ${PROJECT_SOURCE_DIR}/examples)

  add_test(NAME ReleaseFiles.CarryTheNameAndVersion
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_versions.sh ${SONGBEACON_NAME} ${SONGBEACON_VERSION}
                   ${SONGBEACON_VERSION_QUAD} $<TARGET_FILE:gen_SBeacon> ${SONGBEACON_SETUP} ${SONGBEACON_ZIP})
endif()
