# Checks that the library's folders include only downwards.
#   cmake -DSOURCE_DIR=<root> -DLAYERS=<folder,folder,...> [-DGRAPH=ON] -P check-layers.cmake
# LAYERS names the folders from the bottom up, separated by commas. A
# source of one of them (its .h and .cpp files, not those of its tests/
# folder) may include the project's headers of its own folder and of the
# folders below it; an include of a folder above it, or of a folder outside
# the layers, is reported and fails the check. With GRAPH=ON the script prints which folder
# includes which (with the number of include lines) and fails only on a
# violation.

if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<root> -DLAYERS=<a,b,...> -P check-layers.cmake")
endif()
string(REPLACE "," ";" LAYERS "${LAYERS}")

# The layer of an include path ("ui/support/cxGraphics.h" -> its index in
# LAYERS), or -1 when it lies in none of them.
function(layer_of path out)
  set(found -1)
  set(length 0)
  set(index 0)
  foreach(layer IN LISTS LAYERS)
    string(LENGTH "${layer}/" prefixLength)
    string(SUBSTRING "${path}" 0 ${prefixLength} head)
    if(head STREQUAL "${layer}/" AND prefixLength GREATER length)
      # Only the folder itself: a header of a subfolder such as tests/ is
      # not part of the layer.
      string(SUBSTRING "${path}" ${prefixLength} -1 rest)
      if(NOT rest MATCHES "/")
        set(found ${index})
        set(length ${prefixLength})
      endif()
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

set(violations 0)
set(edges "")
set(index 0)
foreach(layer IN LISTS LAYERS)
  file(GLOB sources LIST_DIRECTORIES false "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  list(SORT sources)
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
      if(NOT included MATCHES "/")
        continue() # a header beside the source
      endif()
      layer_of("${included}" target)
      if(target EQUAL -1)
        string(REGEX REPLACE "/[^/]*$" "" folder "${included}")
        message("${shown}: includes ${included}, which belongs to no layer of the library")
        math(EXPR violations "${violations} + 1")
        list(APPEND edges "${layer} -> ${folder}")
        continue()
      endif()
      list(GET LAYERS ${target} targetLayer)
      if(target GREATER index)
        message("${shown}: includes ${included}, a layer above ${layer}")
        math(EXPR violations "${violations} + 1")
      endif()
      if(NOT target EQUAL index)
        list(APPEND edges "${layer} -> ${targetLayer}")
      endif()
    endforeach()
  endforeach()
  math(EXPR index "${index} + 1")
endforeach()

if(GRAPH)
  set(distinct ${edges})
  list(REMOVE_DUPLICATES distinct)
  list(SORT distinct)
  foreach(edge IN LISTS distinct)
    set(count 0)
    foreach(other IN LISTS edges)
      if(other STREQUAL edge)
        math(EXPR count "${count} + 1")
      endif()
    endforeach()
    message("${edge} (${count})")
  endforeach()
endif()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) run up the layers (${LAYERS}, bottom first)")
endif()
