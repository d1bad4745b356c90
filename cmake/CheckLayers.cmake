# Fails when a source folder includes a header of a folder above it or beside
# it. Run as: cmake -DQELT_SOURCE_DIR=<root> -P CheckLayers.cmake
#
# Layers, lowest first; a folder may include its own headers and those of
# lower layers only. The window folders share a layer, so none includes
# another's headers: they reach each other through core/services/.
#
# Every library sees the whole source root as an include folder, so the
# spelling of an include does not limit what it reaches. Each include is
# therefore resolved the way the compiler finds it: a "quoted" one first
# beside the including file, then under the source root; an <angled> one under
# the source root only. "..", "." and doubled slashes are resolved, and the
# folder of the file it reaches decides. An include that exists nowhere in the
# tree (Qt, the system, the generated headers) is judged by every place the
# compiler could have looked for it in the tree, so that none slips through.
# Files outside the layer folders (tests/, bench/) are not checked: a test
# may include any layer it tests.
cmake_minimum_required(VERSION 3.25)

set(layer_logic 0)
set(layer_platform 1)
set(layer_core 2)
set(layer_console 3)
set(layer_scheduler 3)
set(layer_macros 3)
set(layer_prefs 3)
set(layer_updater 3)
set(layer_app 4)
set(folders logic platform core console scheduler macros prefs updater app)

if(NOT QELT_SOURCE_DIR)
  message(FATAL_ERROR "QELT_SOURCE_DIR is not set")
endif()
file(REAL_PATH "${QELT_SOURCE_DIR}" root)

# layer_folder_of(<path> <out>): the layer folder that holds <path>, an
# absolute path; "" when it lies outside the layer folders.
function(layer_folder_of path out)
  set(holder "")
  cmake_path(IS_PREFIX root "${path}" NORMALIZE inside)
  if(inside)
    file(RELATIVE_PATH rel "${root}" "${path}")
    string(REGEX MATCH "^[^/]+" top "${rel}")
    if(DEFINED layer_${top} AND NOT rel STREQUAL top)
      set(holder ${top})
    endif()
  endif()
  set(${out} "${holder}" PARENT_SCOPE)
endfunction()

# reached_paths(<dir> <delimiter> <header> <out>): the files in the tree an
# include of <header> written in a file in <dir> can reach: the one the
# compiler takes where one exists, otherwise every place it looks.
function(reached_paths dir delimiter header out)
  if(delimiter STREQUAL "\"")
    set(bases "${dir}" "${root}")
  else()
    set(bases "${root}")
  endif()
  set(looked "")
  foreach(base ${bases})
    cmake_path(ABSOLUTE_PATH header BASE_DIRECTORY "${base}" OUTPUT_VARIABLE joined)
    if(EXISTS "${joined}" AND NOT IS_DIRECTORY "${joined}")
      # The file system's own resolution, so that links are followed too.
      file(REAL_PATH "${joined}" found)
      set(${out} "${found}" PARENT_SCOPE)
      return()
    endif()
    cmake_path(NORMAL_PATH joined)
    list(APPEND looked "${joined}")
  endforeach()
  set(${out} "${looked}" PARENT_SCOPE)
endfunction()

set(violations "")
set(checked 0)
foreach(folder ${folders})
  file(GLOB_RECURSE sources ${root}/${folder}/*.cpp ${root}/${folder}/*.h)
  foreach(source ${sources})
    math(EXPR checked "${checked} + 1")
    cmake_path(GET source PARENT_PATH dir)
    file(RELATIVE_PATH rel ${root} ${source})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*(\"([^\"]+)\"|<([^>]+)>)")
        continue()
      endif()
      set(spelling "${CMAKE_MATCH_1}")
      set(header "${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
      string(SUBSTRING "${spelling}" 0 1 delimiter)
      reached_paths("${dir}" "${delimiter}" "${header}" paths)
      foreach(path ${paths})
        layer_folder_of("${path}" target)
        if(target STREQUAL "" OR target STREQUAL folder)
          continue()
        endif()
        if(NOT layer_${target} LESS layer_${folder})
          file(RELATIVE_PATH reached ${root} ${path})
          if(reached STREQUAL header)
            string(APPEND violations "  ${rel} includes ${spelling}\n")
          else()
            string(APPEND violations "  ${rel} includes ${spelling}, which is ${reached}\n")
          endif()
          break()
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "No sources found under ${QELT_SOURCE_DIR}")
endif()
if(violations)
  message(FATAL_ERROR "Layering broken: a folder includes a folder above or beside it "
                      "(order: logic, platform, core, the window folders, app):\n${violations}")
endif()
