# Installs the UI library's package from BUILD_DIR into WORK_DIR/prefix,
# configures and builds the project CONSUMER_SOURCE_DIR against it in
# WORK_DIR/build (same generator, toolchain and build type as BUILD_DIR) and
# runs its program hello-button with --check (through EMULATOR, a
# comma-separated command, when given). Fails at the first step that fails.
#   cmake -DBUILD_DIR=... -DCONSUMER_SOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=...
#         [-DMAKE_PROGRAM=...] [-DTOOLCHAIN_FILE=...] [-DBUILD_TYPE=...] [-DEMULATOR=...]
#         -P test-package-consumer.cmake

foreach(required BUILD_DIR CONSUMER_SOURCE_DIR WORK_DIR GENERATOR)
  if(NOT ${required})
    message(FATAL_ERROR "${required} is not given")
  endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
set(consumerBuild ${WORK_DIR}/build)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# Output goes through a file: a program under Wine may leave Wine's own
# processes holding a pipe open.
function(run step)
  message(STATUS "${step}: ${ARGN}")
  set(log ${WORK_DIR}/${step}.log)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_FILE ${log} ERROR_FILE ${log}
    TIMEOUT 500)
  file(READ ${log} output)
  message("${output}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${step} failed (${result})")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(configure ${CMAKE_COMMAND} -S ${CONSUMER_SOURCE_DIR} -B ${consumerBuild} -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${prefix})
if(MAKE_PROGRAM)
  list(APPEND configure -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM})
endif()
if(TOOLCHAIN_FILE)
  list(APPEND configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE})
endif()
if(BUILD_TYPE)
  list(APPEND configure -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
endif()
run("configure" ${configure})
run("build" ${CMAKE_COMMAND} --build ${consumerBuild})

file(GLOB_RECURSE program ${consumerBuild}/hello-button.exe)
if(NOT program)
  message(FATAL_ERROR "no hello-button.exe in ${consumerBuild}")
endif()
list(GET program 0 program)
string(REPLACE "," ";" emulator "${EMULATOR}")
run("run" ${emulator} ${program} --check)
foreach(step "form read" "button window" "button painted" "button clicked"
    "command-link glyph resource")
  if(NOT output MATCHES "${step}: ok")
    message(FATAL_ERROR "the program did not report \"${step}: ok\"")
  endif()
endforeach()
