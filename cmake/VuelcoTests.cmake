find_package(GTest REQUIRED)

# One GoogleTest executable per unit, so CTest reports failures unit by unit.
function(vuelco_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  # The Qt-free tests never need moc, whatever the folder they are declared in.
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  vuelco_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# One Qt Test executable per widget unit, run headless.
function(vuelco_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} Qt6::Test)
  vuelco_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
