find_package(GTest REQUIRED)

# One GoogleTest executable per unit, so CTest reports failures unit by unit. Run through an
# emulator (Wine for the Windows cross build), each start costs seconds: there, an executable
# is one CTest test rather than one per test case, and the windows test preset prints every
# executable's own report of its cases.
function(vuelco_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  vuelco_warnings(${name})
  vuelco_link_runtime_statically(${name})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# A program the tests start as a process of their own (tests/support/child_process.h),
# built beside the tests that start it, on both systems.
function(vuelco_add_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;FOR" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} vuelco::test_files)
  vuelco_warnings(${name})
  vuelco_link_runtime_statically(${name})
  foreach(test IN LISTS ARG_FOR)
    add_dependencies(${test} ${name})
  endforeach()
endfunction()

# One Qt Test executable per widget unit, run headless: offscreen on Linux, and on Windows on
# its own platform plugin (under Wine on an X display, which make test-windows provides).
function(vuelco_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} Qt6::Test)
  # Each test class is a QObject, its moc included at the file's end.
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  vuelco_warnings(${name})
  if(WIN32)
    vuelco_deploy_runtime(${name})
    # Under Wine a Qt Test's standard output reaches a pipe empty: the results go to a file
    # that the wrapper prints.
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/cmake/run-with-log ${name}.log
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> -o ${name}.log,txt)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=windows")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
