# What went to air: the air log read, its figures, the player's order and the answer from history
# (platform-free: both builds), and the course as both programs run it.
songbeacon_test(aired_tests SOURCES aired/air_log_test.cpp aired/aired_figures_test.cpp aired/aired_main_test.cpp
                LIBS sb_hostcore)
if(WIN32)
  # The simulated player's clock bound into a DLL that asks the time as the plug-in does.
  add_library(clock_probe SHARED aired/clock_probe.cpp)
  set_target_properties(clock_probe PROPERTIES PREFIX "")
  target_link_libraries(clock_probe PRIVATE sb_warnings)
  songbeacon_test(plugin_clock_tests SOURCES aired/plugin_clock_test.cpp LIBS sb_hostmain sb_test_support)
  target_compile_definitions(plugin_clock_tests PRIVATE SB_CLOCK_PROBE_DLL="$<TARGET_FILE:clock_probe>")
  add_dependencies(plugin_clock_tests clock_probe)
  # The oracle: the real plug-in writes its air log through days of a fast run, with the limits
  # changed in its dialog, a pause, a stop and the log held by another program for a while; the
  # tool's figures of that log equal those of the simulated player's own record of the run.
  songbeacon_test(aired_oracle_tests SOURCES aired/aired_oracle_test.cpp LIBS sb_hostmain sb_plugin_host)
endif()
