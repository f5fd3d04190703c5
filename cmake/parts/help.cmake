# The help file yardim.chm, compiled from the HTML pages in res/help and put
# beside Kovan.exe. The program opens it through the shell, so only the
# Windows build ships it.
if(WIN32)
  find_program(CHMCMD chmcmd)
  if(NOT CHMCMD)
    message(FATAL_ERROR "chmcmd (Debian package fp-utils) is needed to build the help file yardim.chm")
  endif()

  set(HELP_SOURCE_DIR ${CMAKE_SOURCE_DIR}/res/help)
  set(HELP_STAGE_DIR ${CMAKE_BINARY_DIR}/help)
  set(HELP_OUTPUT ${CMAKE_BINARY_DIR}/bin/yardim.chm)
  file(GLOB_RECURSE HELP_SOURCES CONFIGURE_DEPENDS ${HELP_SOURCE_DIR}/*)
  file(GLOB HELP_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/images/*.png)

  add_custom_command(
    OUTPUT ${HELP_OUTPUT}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/stage_help.py
            ${HELP_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res/images ${HELP_STAGE_DIR}
            ${CMAKE_SOURCE_DIR}/src/lang/constants.tsv ${CMAKE_SOURCE_DIR}/src/lang/constants_added.tsv
    # chmcmd reads the project's files beside the project but writes the
    # help file into its working folder.
    COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/yardim.chm
    COMMAND ${CHMCMD} --verbosity 0 ${HELP_STAGE_DIR}/yardim.hhp
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/yardim.chm ${HELP_OUTPUT}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${HELP_SOURCES} ${HELP_PICTURES} ${CMAKE_SOURCE_DIR}/tools/stage_help.py
            ${CMAKE_SOURCE_DIR}/src/lang/constants.tsv ${CMAKE_SOURCE_DIR}/src/lang/constants_added.tsv
    COMMENT "Compiling the help file yardim.chm"
    VERBATIM)
  add_custom_target(yardim_chm ALL DEPENDS ${HELP_OUTPUT})
  add_dependencies(Kovan yardim_chm)
endif()
