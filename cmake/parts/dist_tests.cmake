# The tests of the release packages: a Windows program that installs, starts
# and uninstalls them under Wine. tools/dist-test.sh runs it suite by suite;
# it is no ctest test, as it needs the packages of the win64-release preset.
if(WIN32 AND TARGET kovan_e2e_tests)
  add_executable(kovan_dist_tests ${CMAKE_SOURCE_DIR}/tests/dist/dist_test.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
  target_link_libraries(kovan_dist_tests PRIVATE kovan_core ${GTEST_LIBS} version)
  add_dependencies(kovan_dist_tests kovan_version)
endif()
