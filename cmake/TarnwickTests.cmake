# tarnwick_test_folder(<folder> CORE|UI): every .cpp in tests/<folder> makes one
# test program test_<folder>; its cases are registered with CTest one by one.
# Core tests carry the label "core" (the sanitizer runs choose them by it).
# Tests keep their parameters file and state in the build folder, never in the
# user's own program or configuration folder.
function(tarnwick_test_folder folder kind)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(kind STREQUAL "UI")
    find_package(Qt6 REQUIRED COMPONENTS Test)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PRIVATE tarnwick_ui Qt6::Test tarnwick_test_support GTest::gtest GTest::gmock)
    set(label ui)
  else()
    target_link_libraries(${target} PRIVATE tarnwick_core tarnwick_test_support GTest::gtest GTest::gmock)
    set(label core)
  endif()
  if(TARGET tarnwick_platform_fake)
    target_link_libraries(${target} PRIVATE tarnwick_platform_fake)
  endif()
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  # The variables reach every test (and the discovery run) through env(1): an
  # ENVIRONMENT property with several variables loses all but the first on
  # its way through test discovery. Tests keep their parameters file and
  # state in the build folder, never in the user's own folders.
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
    "env;TARNWICK_SOURCE_DIR=${CMAKE_SOURCE_DIR};TARNWICK_BIN_DIR=${CMAKE_BINARY_DIR}/bin;TARNWICK_HOME=${CMAKE_BINARY_DIR}/test-home;TARNWICK_STATE_DIR=${CMAKE_BINARY_DIR}/test-state")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} TIMEOUT 300)
endfunction()
