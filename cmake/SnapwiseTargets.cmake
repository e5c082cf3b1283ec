# Helpers shared by every folder's CMakeLists.txt.

# Everything that runs ends up in one folder: the program, its DLLs and data, and the tests
# (Wine then finds the virtual camera beside whichever executable loads it).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(SNAPWISE_BIN_DIR ${CMAKE_BINARY_DIR}/bin)

# snapwise_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>] [LABELS <l...>])
# One ctest entry per executable: under Wine each start costs a process, so tests of one
# unit share an executable.
function(snapwise_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(NOT T_TIMEOUT)
    # Under Wine through an emulator a start can take long on a loaded machine; the limit
    # only stops a hung test.
    set(T_TIMEOUT 300)
  endif()
  if(SNAPWISE_WINDOWS)
    set(kind windows)
  else()
    set(kind native)
  endif()
  add_test(NAME ${kind}.${name} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY ${SNAPWISE_BIN_DIR})
  set_tests_properties(${kind}.${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${kind};${T_LABELS}")
endfunction()
