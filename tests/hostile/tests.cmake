# Hostile input through the whole plug-in: the real gen_SBeacon.dll in a test host under Wine and
# Xvfb, fed what a playlist, a remote stream, a hand-edited plugin.ini or a broken host can bring.
if(WIN32)
  songbeacon_test(hostile_tests SOURCES hostile/hostile_input_test.cpp LIBS sb_plugin_host)
  target_include_directories(hostile_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
endif()
