# What went to air: the air log read, its figures, the player's order and the answer from history
# (platform-free: both builds), and the course as both programs run it.
songbeacon_test(aired_tests SOURCES aired/air_log_test.cpp aired/aired_figures_test.cpp aired/aired_main_test.cpp
                LIBS sb_hostcore)
