# The version of the programs: major and minor from the project() line, the
# build number from the commit count, refreshed at every build. kovanc shows
# it with --version; the Windows programs carry it in their version resource.
find_package(Git QUIET)
set(KOVAN_VERSION_HEADER ${GEN_DIR}/kovan_version.h)
set(KOVAN_VERSION_FILE ${GEN_DIR}/kovan_version.txt)
add_custom_target(kovan_version
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUT_DIR=${GEN_DIR}
          -DVERSION=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} -DGIT=${GIT_EXECUTABLE}
          -P ${CMAKE_SOURCE_DIR}/cmake/write_version.cmake
  BYPRODUCTS ${KOVAN_VERSION_HEADER} ${KOVAN_VERSION_FILE}
  VERBATIM)

add_dependencies(kovanc kovan_version)
if(TARGET kovan_unit_tests)
  add_dependencies(kovan_unit_tests kovan_version)
endif()

if(WIN32)
  # The resource compiler has no dependency scan: name what the scripts include.
  set(VERSION_RC_DEPENDS ${KOVAN_VERSION_HEADER} ${CMAKE_SOURCE_DIR}/res/version_info.rc)
  target_sources(kovanc PRIVATE ${CMAKE_SOURCE_DIR}/res/kovanc.rc)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/res/kovanc.rc APPEND PROPERTY OBJECT_DEPENDS ${VERSION_RC_DEPENDS})
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/res/kovan.rc APPEND PROPERTY OBJECT_DEPENDS ${VERSION_RC_DEPENDS})
  add_dependencies(Kovan kovan_version)
  if(TARGET kovan_win_tests)
    add_dependencies(kovan_win_tests kovan_version)
    target_link_libraries(kovan_win_tests PRIVATE version)
  endif()
endif()
