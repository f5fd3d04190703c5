# Import libraries whose DLL loads at the first call into it rather than when
# the program starts. Loading a system DLL under Wine costs a few milliseconds
# each (GDI+, the common dialogs and the shell pull in more DLLs of their own),
# and Kovan needs none of them before its panel has painted.
#
# kovan_delay_import_libraries(OUT_VAR name...) sets OUT_VAR to the libraries
# to link in place of the plain import libraries of the DLLs `name`.dll: a
# delay-import library for each, made with dlltool from the names the
# toolchain's own import library exports, and the runtime's loader helper.
# Outside mingw-w64 (or without dlltool) they are the plain import libraries.
function(kovan_delay_import_libraries out_var)
  if(NOT MINGW OR NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    set(${out_var} ${ARGN} PARENT_SCOPE)
    return()
  endif()
  set(folder ${CMAKE_BINARY_DIR}/delay-import)
  file(MAKE_DIRECTORY ${folder})
  set(libraries)
  foreach(name ${ARGN})
    find_library(KOVAN_IMPORT_LIBRARY_${name} NAMES lib${name}.a ${name} REQUIRED)
    set(import_library ${KOVAN_IMPORT_LIBRARY_${name}})
    set(delay_library ${folder}/lib${name}_delay.a)
    if(NOT EXISTS ${delay_library} OR ${import_library} IS_NEWER_THAN ${delay_library})
      execute_process(COMMAND ${CMAKE_NM} --defined-only ${import_library}
                      OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "cannot read the symbols of ${import_library}")
      endif()
      # A function has a thunk (T NAME) beside its pointer (I __imp_NAME);
      # exported data has only the pointer and cannot be delay-loaded.
      string(REGEX MATCHALL "[0-9a-fA-F]+ T [A-Za-z_][A-Za-z0-9_@]*" thunks "${symbols}")
      set(exports "")
      foreach(thunk ${thunks})
        string(REGEX REPLACE "^[0-9a-fA-F]+ T " "" function "${thunk}")
        string(APPEND exports "  ${function}\n")
      endforeach()
      if(exports STREQUAL "")
        message(FATAL_ERROR "${import_library} exports no functions")
      endif()
      file(WRITE ${folder}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}")
      execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${name}.def --dllname ${name}.dll
                              --output-delaylib ${delay_library}
                      RESULT_VARIABLE failed ERROR_VARIABLE errors)
      if(failed)
        message(FATAL_ERROR "dlltool could not make ${delay_library}: ${errors}")
      endif()
    endif()
    list(APPEND libraries ${delay_library})
  endforeach()
  list(APPEND libraries delayimp)
  set(${out_var} ${libraries} PARENT_SCOPE)
endfunction()
