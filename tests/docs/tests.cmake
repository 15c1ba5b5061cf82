# The sample outputs of README.md and the guides in docs/ against what their commands print (the
# demo, the sweep, a single run of the simulated player and try-playlist's help): they run the
# scripts a reader runs, which build into build/ of the source tree, so they belong to the Windows
# build.
if(WIN32)
  add_test(NAME Readme.SampleOutputsAreWhatTheCommandsPrint
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/docs/check_readme_samples.sh ${PROJECT_SOURCE_DIR}/README.md)
  set_tests_properties(Readme.SampleOutputsAreWhatTheCommandsPrint PROPERTIES TIMEOUT 900 LABELS docs)
endif()

# The relative links and anchors between those pages, with the link checker scripts/setup.sh
# installs. A check of the source tree, so it runs in the native build only.
if(NOT WIN32)
  add_test(NAME Docs.LinksAndAnchorsResolveAndBrokenOnesFail
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/docs/check_links.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/link-check)
  set_tests_properties(Docs.LinksAndAnchorsResolveAndBrokenOnesFail PROPERTIES LABELS docs)
endif()
