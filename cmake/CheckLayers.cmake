# Fails when a source folder includes a header of a folder above it or beside
# it. Run as: cmake -DQELT_SOURCE_DIR=<root> -P CheckLayers.cmake
#
# Layers, lowest first; a folder may include its own headers and those of
# lower layers only. The window folders share a layer, so none includes
# another's headers: they reach each other through core/services/.
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

set(violations "")
set(checked 0)
foreach(folder ${folders})
  file(GLOB_RECURSE sources ${QELT_SOURCE_DIR}/${folder}/*.cpp ${QELT_SOURCE_DIR}/${folder}/*.h)
  foreach(source ${sources})
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
      string(REGEX MATCH "^[^/]+" target "${header}")
      if(target STREQUAL folder OR NOT DEFINED layer_${target})
        continue()
      endif()
      if(NOT layer_${target} LESS layer_${folder})
        file(RELATIVE_PATH rel ${QELT_SOURCE_DIR} ${source})
        string(APPEND violations "  ${rel} includes ${header}\n")
      endif()
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
