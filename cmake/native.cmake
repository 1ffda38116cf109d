# Native build: the logic against the test fake, unit tests with GoogleTest.
find_package(GTest REQUIRED)
include(GoogleTest)

# The entry points have no calling convention to speak of here.
target_compile_definitions(lidwick_core PUBLIC TTB_CALL=)

add_library(lidwick_fake STATIC tests/fake/fake_platform.cpp)
target_include_directories(lidwick_fake PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(lidwick_fake PUBLIC TTB_CALL=)
target_link_libraries(lidwick_fake PRIVATE lidwick_flags)

add_executable(lidwick_unit_tests
    plugin/text_test.cpp
    tray/tray_test.cpp
    tray/dispatch_test.cpp
    catalogue/plugin_info_test.cpp
    catalogue/drive_commands_test.cpp
    plugin/lifecycle_test.cpp
    settings/settings_test.cpp)
target_link_libraries(lidwick_unit_tests PRIVATE lidwick_core lidwick_fake GTest::gtest_main)
gtest_discover_tests(lidwick_unit_tests NO_PRETTY_VALUES)
