# Links a Kovan resource pool into a program or library.
#
#   include(KovanResources)   # or include(path/to/KovanResources.cmake)
#   kovan_add_resources(TARGET LIST_FILE [MACHINE x86|x64|arm64] [COMPILER name] [HEADER file])
#
# At build time kovanc compiles the pool list file LIST_FILE into an object
# file that is linked into TARGET. kovanc tells the build which files the pool
# holds (a dependency file), so changing any of them compiles the pool again,
# and it leaves the object alone when nothing changed.
#
#   MACHINE   the object's machine; by default the target platform's
#             (arm64 for ARM64, x86 for 32-bit builds, x64 otherwise)
#   COMPILER  the resource compiler kovanc runs (gorc, rc, llvm, windres or
#             builtin); by default builtin, Kovan's own, which needs no other
#             program and writes nothing beside the list file
#   HEADER    also write a C header with each entry's name, type and size as
#             FindResourceW and SizeofResource take and give them; a relative
#             name is taken in the current binary folder, and the header's
#             folder is put on TARGET's include path
#
# Relative file names in the list file are taken from the list file's folder.
# kovanc is the KOVANC_EXECUTABLE variable when it is set, otherwise the
# kovanc found beside this file or on the PATH. Needs CMake 3.20 or later for
# dependency files with every generator (Ninja has them since 3.7).
include_guard(GLOBAL)

set(_KOVAN_RESOURCES_DIR "${CMAKE_CURRENT_LIST_DIR}")

function(_kovan_find_kovanc)
  if(KOVANC_EXECUTABLE)
    return()
  endif()
  # kovanc runs on the build machine, so a cross build's root path is not searched.
  find_program(KOVANC_EXECUTABLE NAMES kovanc
    HINTS "${_KOVAN_RESOURCES_DIR}" "${_KOVAN_RESOURCES_DIR}/../bin"
    NO_CMAKE_FIND_ROOT_PATH
    DOC "kovanc, Kovan's command-line companion")
  if(NOT KOVANC_EXECUTABLE)
    message(FATAL_ERROR "kovan_add_resources: kovanc was not found beside ${_KOVAN_RESOURCES_DIR} or on the PATH; "
                        "set KOVANC_EXECUTABLE to its path")
  endif()
endfunction()

function(kovan_add_resources target list_file)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "MACHINE;COMPILER;HEADER" "")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kovan_add_resources: unknown arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "kovan_add_resources: ${target} is not a target")
  endif()
  _kovan_find_kovanc()

  get_filename_component(list_path "${list_file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(list_folder "${list_path}" DIRECTORY)
  get_filename_component(list_name "${list_path}" NAME_WE)

  set(machine "${ARG_MACHINE}")
  if(NOT machine)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(ARM64|arm64|aarch64)$")
      set(machine arm64)
    elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(machine x86)
    else()
      set(machine x64)
    endif()
  endif()
  if(NOT machine MATCHES "^(x86|x64|arm64)$")
    message(FATAL_ERROR "kovan_add_resources: MACHINE is x86, x64 or arm64, not ${machine}")
  endif()
  set(compiler "${ARG_COMPILER}")
  if(NOT compiler)
    set(compiler builtin)
  endif()

  set(work "${CMAKE_CURRENT_BINARY_DIR}/kovan/${target}")
  set(object "${work}/${list_name}.obj")
  set(depfile "${work}/${list_name}.d")
  set(outputs "${object}")
  set(header_args "")
  if(ARG_HEADER)
    get_filename_component(header "${ARG_HEADER}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
    get_filename_component(header_folder "${header}" DIRECTORY)
    list(APPEND outputs "${header}")
    set(header_args --header "${header}")
  endif()
  file(MAKE_DIRECTORY "${work}")
  # A newer kovanc may compile differently; a bare program name is left to the PATH.
  set(kovanc_dependency "")
  if(IS_ABSOLUTE "${KOVANC_EXECUTABLE}")
    set(kovanc_dependency "${KOVANC_EXECUTABLE}")
  endif()

  add_custom_command(
    OUTPUT ${outputs}
    COMMAND "${KOVANC_EXECUTABLE}" compile --obj --compiler ${compiler} --machine ${machine}
            --depfile "${depfile}" ${header_args} "${object}" "${list_path}"
    DEPENDS "${list_path}" ${kovanc_dependency}
    DEPFILE "${depfile}"
    WORKING_DIRECTORY "${list_folder}"
    COMMENT "Compiling the resource pool ${list_file} for ${target}"
    VERBATIM)
  set_source_files_properties(${object} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${outputs})
  if(ARG_HEADER)
    target_include_directories(${target} PRIVATE "${header_folder}")
  endif()
endfunction()
