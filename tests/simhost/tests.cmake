# Tests of the simulated host: its platform-free parts (both builds; the HTML report in a real
# browser natively), and the whole host running the real plug-in (Windows build, through Wine).
songbeacon_test(playlist_tests SOURCES simhost/playlist_test.cpp LIBS sb_playlist)
songbeacon_test(host_core_tests
  SOURCES simhost/options_test.cpp simhost/play_order_test.cpp simhost/artist_test.cpp
          simhost/settings_check_test.cpp simhost/run_report_test.cpp simhost/run_report_cases_test.cpp
          simhost/sweep_test.cpp simhost/sweep_recommendation_test.cpp simhost/sweep_report_test.cpp
          simhost/sweep_cases.cpp simhost/operator_files_test.cpp simhost/rule_mirror_test.cpp
          simhost/tune_plan_test.cpp simhost/report_index_test.cpp
  LIBS sb_hostcore)
target_compile_definitions(host_core_tests PRIVATE SB_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(NOT WIN32)
  songbeacon_test(report_browser_tests SOURCES simhost/report_browser_test.cpp LIBS sb_hostcore sb_browser_support)
  add_test(NAME TryPlaylist.RefusesWhatItCannotUseBeforeBuilding
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_try_playlist_arguments.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/try-playlist-arguments)
  add_test(NAME TryPlaylist.ASweepNamesItsLimitsAndPassesOnTheCommandTyped
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_try_playlist_sweep.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/try-playlist-sweep)
endif()
if(WIN32)
  add_test(NAME SimulatedHost.PlaysTheExampleThroughThePlugin
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_example_run.sh
                   $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:gen_SBeacon> ${CMAKE_CURRENT_BINARY_DIR}/example-run)
  set_tests_properties(SimulatedHost.PlaysTheExampleThroughThePlugin PROPERTIES TIMEOUT 300)
  add_test(NAME SimulatedHost.TuningReport
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_tuning_report.sh
                   $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:gen_SBeacon> ${CMAKE_CURRENT_BINARY_DIR}/tuning-run)
  add_test(NAME SimulatedHost.ErrorsAndWarningsAnOperatorMeets
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_host_errors.sh
                   $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:gen_SBeacon> ${CMAKE_CURRENT_BINARY_DIR}/errors-run)
  add_test(NAME SimulatedHost.ReadsPlaylistsInEveryEncoding
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_playlist_encodings.sh
                   $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:gen_SBeacon> ${CMAKE_CURRENT_BINARY_DIR}/encodings-run)
  set_tests_properties(SimulatedHost.TuningReport SimulatedHost.ErrorsAndWarningsAnOperatorMeets
                       SimulatedHost.ReadsPlaylistsInEveryEncoding PROPERTIES TIMEOUT 300)
  # songbeacon-tune's Open dialog, driven from the test as an operator drives it (needs the display).
  # A console of its own through run_limited (installer/); a hung shut-down from gen_misbehaving.
  songbeacon_test(tune_dialog_tests SOURCES simhost/tune_dialog_test.cpp LIBS sb_test_support ole32 shell32)
  target_compile_definitions(tune_dialog_tests PRIVATE SB_TUNE_EXE="$<TARGET_FILE:songbeacon-tune>"
                                                       SB_PLUGIN_DLL="$<TARGET_FILE:gen_SBeacon>"
                                                       SB_RUN_LIMITED="$<TARGET_FILE:run_limited>"
                                                       SB_MISBEHAVING_DLL="$<TARGET_FILE:gen_misbehaving>")
  add_dependencies(tune_dialog_tests songbeacon-tune gen_SBeacon run_limited gen_misbehaving)
endif()
if(WIN32)
  add_library(gen_misbehaving SHARED simhost/misbehaving_plugin.cpp simhost/misbehaving_plugin.def)
  target_link_libraries(gen_misbehaving PRIVATE sb_warnings)
  target_include_directories(gen_misbehaving PRIVATE ${PROJECT_SOURCE_DIR}/simhost)
  set_target_properties(gen_misbehaving PROPERTIES PREFIX "")
  add_test(NAME SimulatedHost.NoticesAMisbehavingPlugin
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_misbehaving.sh
                   $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:gen_misbehaving> ${CMAKE_CURRENT_BINARY_DIR}/misbehaving-run)
  set_tests_properties(SimulatedHost.NoticesAMisbehavingPlugin PROPERTIES TIMEOUT 300)
  add_test(NAME SimulatedHost.SweepRecommendsAndTheReplayAgrees
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/simhost/check_sweep.sh
                   $<TARGET_FILE:songbeacon-host> $<TARGET_FILE:gen_SBeacon> $<TARGET_FILE:gen_misbehaving>
                   ${CMAKE_CURRENT_BINARY_DIR}/sweep-run)
  set_tests_properties(SimulatedHost.SweepRecommendsAndTheReplayAgrees PROPERTIES TIMEOUT 300)
endif()
