# Build helpers shared by the four programs' directories.
#
#   add_program(NAME SOURCES...)      a program for the box: built into bin/,
#                                     installed, linked against the C library only
#   add_unit_test(NAME SOURCES... [LIBS ...])
#                                     a GoogleTest executable, run by CTest
#                                     (through the emulator when cross-building)
#   add_blackbox_test(NAME SCRIPT)    a shell test that starts the built programs
#                                     as processes; it gets BIN_DIR, EMULATOR,
#                                     SRC_DIR and TESTLIB in its environment

set(PROGRAM_BIN_DIR ${CMAKE_BINARY_DIR}/bin)

function(add_program name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROGRAM_BIN_DIR})
  # Nothing of libstdc++ or libgcc_s at run time: the C library only.
  target_link_options(${name} PRIVATE -static-libstdc++ -static-libgcc -Wl,--as-needed)
  # The box has 4 KiB pages: no 64 KiB segment padding in the files.
  target_link_options(${name} PRIVATE -Wl,-z,max-page-size=4096 -Wl,-z,noseparate-code)
  install(TARGETS ${name} RUNTIME DESTINATION bin)
endfunction()

function(add_unit_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()

# The emulator as one shell word list, for scripts that start target programs.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " EMULATOR_WORDS)
else()
  set(EMULATOR_WORDS "")
endif()

function(add_blackbox_test name script)
  add_test(NAME ${name} COMMAND bash ${script})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "BIN_DIR=${PROGRAM_BIN_DIR};EMULATOR=${EMULATOR_WORDS};SRC_DIR=${CMAKE_SOURCE_DIR};TESTLIB=${CMAKE_SOURCE_DIR}/tests/testlib.sh;BUILD_DIR=${CMAKE_BINARY_DIR};SANITIZE=${SANITIZE}")
endfunction()
