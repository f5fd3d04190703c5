# The release packages (win64-release preset, `make dist`): the installer, the
# portable zip and SHA256SUMS, written into dist/ at the top of the checkout.
option(KOVAN_DIST "Add the dist target: installer, portable zip and checksums" OFF)
if(KOVAN_DIST AND WIN32)
  find_program(MAKENSIS makensis)
  if(NOT MAKENSIS)
    message(FATAL_ERROR "makensis (Debian package nsis) is needed to build the installer")
  endif()
  add_custom_target(dist
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/dist.py
            --bin $<TARGET_FILE_DIR:Kovan>
            --version-file ${GEN_DIR}/kovan_version.txt
            --makensis ${MAKENSIS}
            --script ${CMAKE_SOURCE_DIR}/installer/kovan.nsi
            --work ${CMAKE_BINARY_DIR}/dist
            --out ${CMAKE_SOURCE_DIR}/dist
    COMMENT "Packing the installer and the portable zip into dist/"
    VERBATIM)
  add_dependencies(dist Kovan kovanc yardim_chm kovan_version)
endif()
