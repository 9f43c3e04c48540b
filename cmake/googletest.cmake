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

# telvora_add_test(NAME [DESKTOP] SOURCES...)
# One test program per area; CTest runs it (under Wine when cross-compiling).
# The program starts the library units in program order before the tests run.
# Tests that drive the desktop (mouse, focus, clipboard) take the resource
# "desktop" so that CTest never runs two of them at once.
function(telvora_add_test name)
  cmake_parse_arguments(T "DESKTOP" "" "" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE telvora_testmain telvora_testsupport telvora_app GTest::gtest
    telvora_options)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  add_dependencies(${name} clipboard-holder TELVORA)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(T_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
