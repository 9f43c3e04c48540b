# GoogleTest is built from source with the project's compiler (the Debian
# googletest package ships the sources under /usr/src/googletest).
set(TELVORA_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${TELVORA_GTEST_SOURCE_DIR}/CMakeLists.txt")
  find_package(GTest REQUIRED)
else()
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TELVORA_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# telvora_add_test(NAME SOURCES... [RESOURCES rc...])
# One test program per area; CTest runs it (under Wine when cross-compiling).
# The program starts the library units in program order before the tests run.
function(telvora_add_test name)
  cmake_parse_arguments(T "" "" "RESOURCES" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS} ${T_RESOURCES})
  target_link_libraries(${name} PRIVATE telvora_testmain telvora_app GTest::gtest telvora_options)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
