# Runs the layer check on the fixture tree in layering_fixture/ and fails
# unless the check fails and reports exactly the includes listed below: every
# spelling of an include of a folder above or beside the including one, and
# none of the allowed includes in the same files (own folder, lower layers, Qt
# and system headers, the generated version header, tests/).
# Run as: cmake -DCHECK=<CheckLayers.cmake> -P layering_fixture_test.cmake
cmake_minimum_required(VERSION 3.25)

set(expected
    [[logic/Rule.h includes "core/Window.h"]]
    [[logic/Rule.h includes <core/Window.h>]]
    [[logic/Rule.h includes "../core/Window.h", which is core/Window.h]]
    [[console/Panel.cpp includes "scheduler/Clock.h"]]
    [[scheduler/Timers.cpp includes "console/Panel.h"]]
    [[scheduler/Timers.cpp includes <console/Panel.h>]]
    [[scheduler/Timers.cpp includes "../console/Panel.h", which is console/Panel.h]]
    [[scheduler/Timers.cpp includes "scheduler/../console/Panel.h", which is console/Panel.h]]
    [[scheduler/Timers.cpp includes <scheduler/../console/Panel.h>, which is console/Panel.h]]
    [[scheduler/Timers.cpp includes "./../console/Panel.h", which is console/Panel.h]]
    [[scheduler/Timers.cpp includes "..//console/./Panel.h", which is console/Panel.h]]
    [[scheduler/Timers.cpp includes "../../layering_fixture/console/Panel.h", which is console/Panel.h]]
    [[scheduler/Timers.cpp includes <./console/Panel.h>, which is console/Panel.h]]
    [[scheduler/print/Sheet.cpp includes "../../console/Panel.h", which is console/Panel.h]]
    [[scheduler/print/Sheet.cpp includes "console/Panel.h"]])

execute_process(COMMAND ${CMAKE_COMMAND} -DQELT_SOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/layering_fixture
                        -P ${CHECK}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "The check passed the fixture:\n${output}")
endif()

# One line per include: "<file> includes <spelling>[, which is <file>]".
string(REGEX MATCHALL "[^ \n]+\\.(h|cpp) includes [^\n]+" reported "${output}")
set(missing ${expected})
list(REMOVE_ITEM missing ${reported})
set(extra ${reported})
list(REMOVE_ITEM extra ${expected})
list(LENGTH reported reported_count)
list(LENGTH expected expected_count)
if(missing OR extra OR NOT reported_count EQUAL expected_count)
  list(JOIN missing "\n  " missing)
  list(JOIN extra "\n  " extra)
  message(FATAL_ERROR "Not reported:\n  ${missing}\nReported, not expected:\n  ${extra}\n"
                      "Check output:\n${output}")
endif()
