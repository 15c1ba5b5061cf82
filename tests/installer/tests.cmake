# Tests of the release files (installer/): the setup program and the uninstaller run under Wine,
# each case on a fresh Wine prefix (10-20 seconds each to make), the pages case under the display
# the Windows tests run with; the contents of the zip; the name and version in each.
if(WIN32)
  # Stand-ins the cases need: another program holding an installed file (hold_file), a start
  # without an administrator's rights (run_limited), an operator clicking through the pages
  # (installer_pages, which also makes the pictures in docs/: scripts/screenshot-installer.sh).
  add_executable(hold_file installer/hold_file.cpp)
  target_link_libraries(hold_file PRIVATE sb_warnings)
  add_executable(run_limited installer/run_limited.cpp)
  target_link_libraries(run_limited PRIVATE sb_warnings advapi32 ole32 uuid)
  add_executable(installer_pages installer/installer_pages.cpp installer/label_fit.cpp)
  target_link_libraries(installer_pages PRIVATE sb_test_support)

  foreach(test_case
          "install;Installer.SilentInstallFindsThePlayerAndRegisters"
          "play;Installer.InstalledPluginPlaysInThePlayer"
          "upgrade;Installer.UpgradeKeepsPluginIniAndTheEntry"
          "in-use;Installer.DllInUseIsLeftIntact"
          "uninstall;Installer.UninstallKeepsSettingsAndPage"
          "two-folders;Installer.EachPlayerFolderKeepsItsOwnEntry"
          "logo;Installer.OperatorsLogoIsKept"
          "swap;Installer.InterruptedSwapNeverLosesTheDll"
          "not-elevated;Installer.WithoutAdministratorRightsNothingChanges"
          "spaces;Installer.FolderWithSpacesThroughCmdUnderWine"
          "pages;Installer.PagesShowTheirWholeTexts"
          "tune;Installer.ChooseLimitsFromTheStartMenuLeavesThePlayersFolderAlone")
    list(GET test_case 0 case_name)
    list(GET test_case 1 test_name)
    add_test(NAME ${test_name}
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_installer.sh ${case_name} ${SONGBEACON_SETUP}
                     $<TARGET_FILE:gen_SBeacon> $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:hold_file>
                     $<TARGET_FILE:run_limited> $<TARGET_FILE:installer_pages> $<TARGET_FILE:songbeacon-tune>)
    set_tests_properties(${test_name} PROPERTIES TIMEOUT 300 LABELS installer)
  endforeach()
  # Three sweeps of a playlist under Wine, one of them through scripts/try-playlist.sh.
  set_tests_properties(Installer.ChooseLimitsFromTheStartMenuLeavesThePlayersFolderAlone PROPERTIES TIMEOUT 900)

  # A signed release with a throwaway certificate: scripts/release.sh twice (check-reproducible.sh,
  # on the committed tree), each signed file verified, the signed setup installed and its DLL played;
  # once more with an ECDSA certificate at an awkward path. With Debian 12's own osslsigncode.
  add_test(NAME Release.SignedFilesVerifyInstallAndAreReproducible
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_signing.sh $<TARGET_FILE:songbeacon-host>
                   $<TARGET_FILE:hold_file> $<TARGET_FILE:run_limited> $<TARGET_FILE:installer_pages>
                   ${CMAKE_BINARY_DIR}/debian12-osslsigncode)
  set_tests_properties(Release.SignedFilesVerifyInstallAndAreReproducible PROPERTIES TIMEOUT 1800 LABELS release)

  # The release as the Windows workflow's container makes it: as root over a checkout another user
  # owns, before and after the workflow marks it safe; and stopped by SIGTERM as it writes dist/.
  add_test(NAME Release.AsRootOverACheckoutAnotherUserOwns
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_release_clone.sh)
  set_tests_properties(Release.AsRootOverACheckoutAnotherUserOwns PROPERTIES TIMEOUT 1200 LABELS release
                                                                             SKIP_RETURN_CODE 77)

  add_test(NAME ReleaseZip.HoldsExactlyTheReleaseFiles
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_zip.sh ${SONGBEACON_ZIP} $<TARGET_FILE:gen_SBeacon>
                   ${PROJECT_SOURCE_DIR}/examples $<TARGET_FILE:songbeacon-tune>)

  add_test(NAME ReleaseFiles.CarryTheNameAndVersion
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/check_versions.sh ${SONGBEACON_NAME} ${SONGBEACON_VERSION}
                   ${SONGBEACON_VERSION_QUAD} $<TARGET_FILE:gen_SBeacon> ${SONGBEACON_SETUP} ${SONGBEACON_ZIP})
endif()
