# qelt_library(<folder> PUBLIC|PRIVATE <deps...>): a static library of every
# source in <folder>/.
function(qelt_library folder)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h
       ${CMAKE_SOURCE_DIR}/${folder}/*.qrc)
  add_library(qelt_${folder} STATIC ${srcs})
  target_include_directories(qelt_${folder} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(qelt_${folder} ${ARGN})
endfunction()

# Test environment: headless, and every test in its own temporary folders
# (the support library's main sets them up).
set(QELT_TEST_ENV "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.multimedia*=false")

# Seconds a GoogleTest binary has to list its cases before each run. Listing
# starts the binary, which under the sanitizers on a loaded machine takes many
# times the 5 s gtest_discover_tests allows by default.
set(QELT_GTEST_LIST_TIMEOUT 120)

# qelt_gtest(<folder>): one GoogleTest binary per tests/<folder>/*_test.cpp.
function(qelt_gtest folder)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*_test.cpp)
  foreach(src ${srcs})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${folder}_${name} ${src})
    # Tests of the logic library link only it (and the test framework).
    if(folder STREQUAL "logic")
      set(support qelt_testsupport_logic)
    else()
      set(support qelt_testsupport_gtest)
    endif()
    target_link_libraries(${folder}_${name} PRIVATE ${support} qelt_${folder} ${ARGN})
    gtest_discover_tests(${folder}_${name} DISCOVERY_MODE PRE_TEST
                         DISCOVERY_TIMEOUT ${QELT_GTEST_LIST_TIMEOUT}
                         PROPERTIES ENVIRONMENT "${QELT_TEST_ENV}")
  endforeach()
endfunction()

# qelt_qtests(<folder>): one Qt Test binary per tests/<folder>/tst_*.cpp.
function(qelt_qtests folder)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/tst_*.cpp)
  foreach(src ${srcs})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${folder}_${name} ${src})
    target_link_libraries(${folder}_${name} PRIVATE qelt_testsupport qelt_${folder} Qt6::Test ${ARGN})
    add_test(NAME ${folder}_${name} COMMAND ${folder}_${name})
    set_tests_properties(${folder}_${name} PROPERTIES ENVIRONMENT "${QELT_TEST_ENV}")
  endforeach()
endfunction()

# qelt_desktop_tests(<folder>): one Qt Test binary per tests/<folder>/desk_*.cpp,
# run on a desktop of its own (Xvfb, openbox, a tray) with real mouse and keys.
function(qelt_desktop_tests folder)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/desk_*.cpp)
  foreach(src ${srcs})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${folder}_${name} ${src})
    target_link_libraries(${folder}_${name} PRIVATE qelt_testsupport qelt_${folder} Qt6::Test ${ARGN})
    add_test(NAME ${folder}_${name}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/support/under_window_manager.sh
                     $<TARGET_FILE:${folder}_${name}>)
    # The slowest takes well under a minute on a loaded machine, but one whose
    # every step fails waits out each step's bound: minutes. A hung test is
    # ended with its desktop (the harness's keeper cleans up after it).
    set_tests_properties(${folder}_${name} PROPERTIES ENVIRONMENT "${QELT_TEST_ENV}" TIMEOUT 600)
  endforeach()
endfunction()
