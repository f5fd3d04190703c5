# Writes kovan_version.h and kovan_version.txt into OUT_DIR, run at every build
# (cmake -P). The release number comes from the project() line (VERSION); the
# build number is the commit count of the checkout, 0 where there is no git.
# KOVAN_BUILD_NUMBER in the environment overrides it (builds from a tarball).
# Files are only rewritten when their contents change, so an unchanged build
# number recompiles nothing.
cmake_minimum_required(VERSION 3.25)

set(build 0)
if(DEFINED ENV{KOVAN_BUILD_NUMBER} AND NOT "$ENV{KOVAN_BUILD_NUMBER}" STREQUAL "")
  set(build "$ENV{KOVAN_BUILD_NUMBER}")
elseif(GIT)
  execute_process(
    COMMAND "${GIT}" rev-list --count HEAD
    WORKING_DIRECTORY "${SOURCE_DIR}"
    OUTPUT_VARIABLE count
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE rc
    ERROR_QUIET)
  if(rc EQUAL 0 AND count MATCHES "^[0-9]+$")
    set(build "${count}")
  else()
    message(STATUS "No commits to count in ${SOURCE_DIR}: build number 0 (KOVAN_BUILD_NUMBER sets one)")
  endif()
endif()
if(NOT build MATCHES "^[0-9]+$" OR build GREATER 65535)
  message(FATAL_ERROR "build number '${build}' is not a number from 0 to 65535")
endif()

# The copyright year follows the commit, so a rebuild of an old commit says
# the same as the original build did.
string(TIMESTAMP year "%Y" UTC)
if(GIT)
  execute_process(
    COMMAND "${GIT}" log -1 --format=%cd --date=format:%Y
    WORKING_DIRECTORY "${SOURCE_DIR}"
    OUTPUT_VARIABLE commit_year
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE rc
    ERROR_QUIET)
  if(rc EQUAL 0 AND commit_year MATCHES "^[0-9][0-9][0-9][0-9]$")
    set(year "${commit_year}")
  endif()
endif()

string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 major)
list(GET parts 1 minor)
set(text "${major}.${minor}.${build}")

set(header "// Generated at build time from the project's version and the commit count.
#pragma once

#define KOVAN_VERSION_MAJOR ${major}
#define KOVAN_VERSION_MINOR ${minor}
#define KOVAN_VERSION_BUILD ${build}
#define KOVAN_VERSION_TEXT \"${text}\"
#define KOVAN_COPYRIGHT_YEAR \"${year}\"
")

function(write_if_changed path contents)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL contents)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${contents}")
endfunction()

file(MAKE_DIRECTORY "${OUT_DIR}")
write_if_changed("${OUT_DIR}/kovan_version.h" "${header}")
write_if_changed("${OUT_DIR}/kovan_version.txt" "${text}\n")
