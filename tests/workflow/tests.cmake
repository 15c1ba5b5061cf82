# The GitHub Actions workflows against a workflow validator (installed by scripts/setup.sh). A
# check of the source tree, so it runs in the native build only.
if(NOT WIN32)
  add_test(NAME Workflows.PassTheValidatorAndABrokenOneFails
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/workflow/check_workflows.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/workflow-check)
endif()
