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

# One line per include: "<file> includes <spelling>[, which is <file>]".
include(${CMAKE_CURRENT_LIST_DIR}/fixture_reports.cmake)
expect_reported("${result}" "${output}" "[^ \n]+\\.(h|cpp) includes [^\n]+" ${expected})
