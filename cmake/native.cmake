# Native build: the logic against the test fake, with unit tests under
# GoogleTest, or (LIDWICK_FUZZ, with clang) libFuzzer targets.

# The entry points have no calling convention to speak of here.
target_compile_definitions(lidwick_core PUBLIC TTB_CALL=)

add_library(lidwick_fake STATIC tests/fake/fake_platform.cpp)
target_include_directories(lidwick_fake PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(lidwick_fake PUBLIC TTB_CALL=)
target_link_libraries(lidwick_fake PRIVATE lidwick_flags)

if(LIDWICK_FUZZ)
    include(cmake/fuzz.cmake)
    return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

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

# The same tests under Valgrind's memcheck, where it is installed and the
# build is not already instrumented by the sanitizers.
find_program(VALGRIND valgrind)
if(VALGRIND AND NOT LIDWICK_SANITIZE)
    add_test(NAME unit_tests_under_memcheck
        COMMAND ${VALGRIND} -q --error-exitcode=1 --leak-check=full
                --errors-for-leak-kinds=definite,indirect,possible
                $<TARGET_FILE:lidwick_unit_tests>)
endif()
