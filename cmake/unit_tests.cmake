# Unit tests: the launcher against the scripted platform.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(unit_tests
    src/platform/platform_fake.cpp
    tests/unit/support.cpp
    tests/unit/tokenizer_test.cpp
    tests/unit/intake_test.cpp
    tests/unit/resources_test.cpp
    tests/unit/startup_test.cpp
    tests/unit/options_test.cpp
    tests/unit/markers_test.cpp
    tests/unit/runtime_test.cpp
    tests/unit/regfile_test.cpp
    tests/unit/watcher_test.cpp)
target_include_directories(unit_tests PRIVATE tests/unit)
target_link_libraries(unit_tests PRIVATE tolvane_core tolvane_regfile GTest::gtest_main)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 30)
