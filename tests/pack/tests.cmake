# The Windows test pack's self-check (scripts/windows-test-pack.sh packs it): a program that crashes
# in each of three ways, which run-tests.cmd must count as failed. Not a test of its own here: ctest
# would only see it crash.
if(WIN32)
  add_executable(pack_crash pack/crash.cpp)
  target_link_libraries(pack_crash PRIVATE sb_warnings)
endif()
