# Runs the waits check on the fixture tree in waits_fixture/ and fails unless
# the check fails and reports exactly the lines listed below: each wait in
# prefs/tst_bare.cpp without a named bound (a bare QTRY_VERIFY, a
# qWaitForWindowExposed given a number, a poll turn given a number, ...), each
# listing of test cases in cmake/Targets.cmake without one, and nothing of
# prefs/tst_clean.cpp, of the bounds in support/ or of the named listing.
# Run as: cmake -DPYTHON=<python3> -DCHECK=<check_waits.py> -P waits_fixture_test.cmake
cmake_minimum_required(VERSION 3.25)

set(expected)
foreach(line 6 8 12 13 14 15 16 17 23 24 25 26 27 29 30 31 34)
  list(APPEND expected "prefs/tst_bare.cpp:${line}")
endforeach()
list(APPEND expected "cmake/Targets.cmake:3" "cmake/Targets.cmake:4")

execute_process(COMMAND ${PYTHON} ${CHECK} ${CMAKE_CURRENT_LIST_DIR}/waits_fixture
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)

# One line per wait: "<file>:<line>: <what>".
include(${CMAKE_CURRENT_LIST_DIR}/fixture_reports.cmake)
expect_reported("${result}" "${output}${errors}" "[^ \n]+\\.(h|cpp|cmake):[0-9]+" ${expected})
