# The rooms of src/ and simhost/ include one another only as docs/architecture.md allows. A check of the source
# tree, so it runs in the native build only.
if(NOT WIN32)
  add_test(NAME Layering.IncludesFollowTheMap
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_layering.sh ${PROJECT_SOURCE_DIR})
  add_test(NAME Layering.CheckCatchesAnIncludeAgainstTheMap
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_catches_a_bad_include.sh ${PROJECT_SOURCE_DIR})
endif()
