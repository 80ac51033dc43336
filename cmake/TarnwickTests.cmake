# Test files that exercise what only Linux has (fork, FIFOs, owners and
# modes, rlimits, network namespaces, the X server and the Linux platform
# files themselves) are not built for Windows; tests/<folder>/win32/ holds
# the Windows counterparts where the facility exists there.
set(TARNWICK_LINUX_ONLY_TESTS
  util/HelpFileTest.cpp
  trend/TrendCrashTest.cpp trend/TrendFileSafetyTest.cpp trend/TrendIndexBoundsTest.cpp
  engine/EchoLoopTest.cpp engine/Echo6LoopTest.cpp engine/AddressChangeTest.cpp
  engine/WebLoopTest.cpp engine/ShareLoopTest.cpp platform/Echo6Test.cpp
  monitor/ParametersTest.cpp monitor/MetricsPromtoolTest.cpp app/MetricsEndpointTest.cpp monitor/HungShareTest.cpp
  app/AccessibilityTest.cpp app/SecondStartTest.cpp app/HighDpiTest.cpp app/HeadlessTest.cpp app/HungShareCloseTest.cpp
  platform/BookmarkSourcesTest.cpp platform/DriveIoTest.cpp platform/EchoTest.cpp
  platform/LockedFileTest.cpp platform/NameLookupTest.cpp platform/ProcessListTest.cpp
  platform/SafeFileTest.cpp platform/ThreadPriorityTest.cpp platform/WebBrowserTest.cpp
  platform/ProgramLauncherTest.cpp actions/RunProgramShareTest.cpp
  actions/RunProgramLauncherTest.cpp)

# tarnwick_test_folder(<folder> CORE|UI): every .cpp in tests/<folder> (and in
# its subfolder of the target system) makes one test program test_<folder>;
# its cases are registered with CTest one by one.
# Core tests carry the label "core" (the sanitizer runs choose them by it).
# Tests keep their parameters file and state in the build folder, never in the
# user's own program or configuration folder.
function(tarnwick_test_folder folder kind)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp
       ${CMAKE_SOURCE_DIR}/tests/${folder}/${TARNWICK_SYSTEM}/*.cpp)
  if(WIN32)
    foreach(file ${TARNWICK_LINUX_ONLY_TESTS})
      list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/tests/${file})
    endforeach()
  endif()
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
  set(environment "env;TARNWICK_SOURCE_DIR=${CMAKE_SOURCE_DIR};TARNWICK_BIN_DIR=${CMAKE_BINARY_DIR}/bin;TARNWICK_HOME=${CMAKE_BINARY_DIR}/test-home;TARNWICK_STATE_DIR=${CMAKE_BINARY_DIR}/test-state")
  if(CMAKE_CROSSCOMPILING)
    # One CTest test per program: listing the cases would start the
    # emulator (Wine) at build time. scripts/test-windows.sh runs them.
    add_test(NAME ${target} COMMAND ${environment} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES LABELS ${label} TIMEOUT 300)
    return()
  endif()
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${environment}")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} TIMEOUT 300)
endfunction()
