# libxlsxwriter, the workbook export's writer when no spreadsheet program can be
# driven. Native builds take the distribution's library through pkg-config; the
# Windows cross build makes a static one from Debian's sources on first
# configure (tools/build_xlsxwriter_mingw.sh). Without the library the workbook
# export reports that no spreadsheet writer is available.
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(XLSXWRITER_DEPS ${CMAKE_BINARY_DIR}/deps)
  # One attempt per build folder: a failed one (no network, say) is not repeated
  # at every reconfigure; clear KOVAN_XLSXWRITER_BUILD_FAILED to try again.
  if(NOT EXISTS ${XLSXWRITER_DEPS}/lib/libxlsxwriter.a AND NOT KOVAN_XLSXWRITER_BUILD_FAILED)
    message(STATUS "Building libxlsxwriter for Windows into ${XLSXWRITER_DEPS}")
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/tools/build_xlsxwriter_mingw.sh ${XLSXWRITER_DEPS}
                    RESULT_VARIABLE XLSXWRITER_BUILD_RESULT)
    if(NOT XLSXWRITER_BUILD_RESULT EQUAL 0)
      set(KOVAN_XLSXWRITER_BUILD_FAILED ON CACHE BOOL "The Windows build of libxlsxwriter failed in this build folder")
    endif()
  endif()
  find_library(XLSXWRITER_ZLIB NAMES libz.a z)
  if(EXISTS ${XLSXWRITER_DEPS}/lib/libxlsxwriter.a AND XLSXWRITER_ZLIB)
    add_library(xlsxwriter_static STATIC IMPORTED)
    set_target_properties(xlsxwriter_static PROPERTIES
      IMPORTED_LOCATION ${XLSXWRITER_DEPS}/lib/libxlsxwriter.a
      INTERFACE_INCLUDE_DIRECTORIES ${XLSXWRITER_DEPS}/include
      INTERFACE_LINK_LIBRARIES ${XLSXWRITER_ZLIB})
    set(XLSXWRITER_TARGET xlsxwriter_static)
  endif()
else()
  find_package(PkgConfig)
  if(PkgConfig_FOUND)
    pkg_check_modules(XLSXWRITER IMPORTED_TARGET xlsxwriter)
  endif()
  if(XLSXWRITER_FOUND)
    set(XLSXWRITER_TARGET PkgConfig::XLSXWRITER)
  elseif(NOT WIN32)
    message(FATAL_ERROR "libxlsxwriter not found (tools/setup.sh installs libxlsxwriter-dev)")
  endif()
endif()

# Sets XLSXWRITER_TARGET when the library can be linked.
if(NOT XLSXWRITER_TARGET)
  message(WARNING "libxlsxwriter not available: the workbook export will report that no spreadsheet writer exists")
endif()
