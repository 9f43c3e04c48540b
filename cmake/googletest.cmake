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

# telvora_add_test(NAME [DESKTOP] [SERIAL GTEST_FILTER] SOURCES...)
# One test program per area; CTest runs it (under Wine when cross-compiling).
# The program starts the library units in program order before the tests run.
# Tests that drive the desktop (mouse, focus, clipboard) take the resource
# "desktop" so that CTest never runs two of them at once.
# The tests the gtest filter after SERIAL selects change settings that every
# process started meanwhile reads (LogPixels, the system DPI): they form a
# CTest entry NAME_serial of their own, which CTest runs while nothing else
# runs, and the entry NAME runs the others.
function(telvora_add_test name)
  cmake_parse_arguments(T "DESKTOP" "SERIAL" "" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE telvora_testmain telvora_testsupport telvora_app GTest::gtest
    telvora_options)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  add_dependencies(${name} clipboard-holder TELVORA)
  if(T_SERIAL)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no --gtest_filter=-${T_SERIAL})
    add_test(NAME ${name}_serial COMMAND ${name} --gtest_color=no --gtest_filter=${T_SERIAL})
    # A filter that no longer selects anything must not pass unnoticed.
    set_tests_properties(${name}_serial PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE
      FAIL_REGULAR_EXPRESSION "Running 0 tests")
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(T_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
