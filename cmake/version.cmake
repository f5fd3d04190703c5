# The version of the programs: major and minor from the project() line, the
# build number from the commit count, refreshed at every build. kovanc shows
# it with --version; the Windows programs carry it in their version resource.
find_package(Git QUIET)
set(KOVAN_VERSION_HEADER ${GEN_DIR}/kovan_version.h)
set(KOVAN_VERSION_FILE ${GEN_DIR}/kovan_version.txt)
add_custom_target(kovan_version
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUT_DIR=${GEN_DIR}
          -DVERSION=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} -DGIT=${GIT_EXECUTABLE}
          -P ${PROJECT_SOURCE_DIR}/cmake/write_version.cmake
  BYPRODUCTS ${KOVAN_VERSION_HEADER} ${KOVAN_VERSION_FILE}
  VERBATIM)

# The resource compiler has no dependency scan: the scripts that include the
# version name it here.
set(KOVAN_VERSION_RC_DEPENDS ${KOVAN_VERSION_HEADER} ${PROJECT_SOURCE_DIR}/res/version_info.rc)
