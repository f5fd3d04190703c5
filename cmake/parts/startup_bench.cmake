# A measuring program for the start of the real Kovan.exe (Windows build only;
# run by hand, it prints its figures).
if(WIN32 AND NOT KOVAN_FUZZ)
  add_executable(kovan_startup_bench ${CMAKE_SOURCE_DIR}/bench/win/startup_bench.cpp)
  target_link_options(kovan_startup_bench PRIVATE -municode)
  add_dependencies(kovan_startup_bench Kovan)
endif()
