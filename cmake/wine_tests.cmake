# End-to-end tests of the cross-built DLL under Wine: the simulated CD-ROM
# drive, spy plugins, GoogleTest test programs, and checks of the built files.

# The simulated CD-ROM drive: an MCI driver that winmm loads for cdaudio.
add_library(simcd SHARED tests/simcd/simcd.cpp tests/simcd/simcd.def)
set_target_properties(simcd PROPERTIES PREFIX "")
target_link_libraries(simcd PRIVATE lidwick_flags winmm)
target_link_options(simcd PRIVATE -static -Wl,--enable-stdcall-fixup)

# Plugins that record how ttbhost calls them; one lacks TTBEvent_WindowsHook.
foreach(spy spy spy_no_hook)
    add_library(${spy} SHARED tests/spy/spy.cpp tests/spy/${spy}.def)
    set_target_properties(${spy} PROPERTIES PREFIX "")
    target_link_options(${spy} PRIVATE -static -Wl,--enable-stdcall-fixup)
endforeach()

# GoogleTest from Debian's sources, built with this compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Every Windows program runs under Wine in a prefix of this build's own,
# with D: set up as a CD-ROM drive backed by the simulated drive.
set(LIDWICK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/wine/wine-run ${LIDWICK_WINEPREFIX})

add_test(NAME wine_prefix_setup
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/prepare-prefix ${LIDWICK_WINEPREFIX} $<TARGET_FILE:simcd>)
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_prefix_stop
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/stop-prefix ${LIDWICK_WINEPREFIX})
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

function(lidwick_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;ARGS")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_options(${name} PRIVATE -static)
    add_dependencies(${name} Lidwick ttbhost simcd spy spy_no_hook)
    add_test(NAME ${name} COMMAND ${name} ${arg_ARGS})
    lidwick_wine_properties(${name})
endfunction()

function(lidwick_wine_properties test)
    set_tests_properties(${test} PROPERTIES
        FIXTURES_REQUIRED wine
        RUN_SERIAL ON
        ENVIRONMENT "LIDWICK_DLL=Z:$<TARGET_FILE:Lidwick>;LIDWICK_TTBHOST=Z:$<TARGET_FILE:ttbhost>;LIDWICK_SPY_DIR=Z:$<TARGET_FILE_DIR:spy>"
        TIMEOUT 300)
endfunction()

lidwick_wine_test(tray_e2e_test SOURCES tests/e2e/tray_e2e_test.cpp tests/e2e/e2e_support.cpp)
lidwick_wine_test(catalogue_e2e_test
    SOURCES tests/e2e/catalogue_e2e_test.cpp tests/e2e/e2e_support.cpp
    ARGS --gtest_filter=-*WithoutCdrom*)
add_test(NAME catalogue_e2e_test_without_cdrom
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/without-cdrom ${LIDWICK_WINEPREFIX}
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:catalogue_e2e_test>
            --gtest_filter=*WithoutCdrom*)
lidwick_wine_properties(catalogue_e2e_test_without_cdrom)
lidwick_wine_test(ttbhost_e2e_test SOURCES tests/e2e/ttbhost_e2e_test.cpp tests/e2e/e2e_support.cpp)
lidwick_wine_test(memory_e2e_test SOURCES tests/e2e/memory_e2e_test.cpp tests/e2e/e2e_support.cpp)
target_link_libraries(memory_e2e_test PRIVATE psapi)
lidwick_wine_test(settings_e2e_test SOURCES tests/e2e/settings_e2e_test.cpp tests/e2e/e2e_support.cpp)

# The notice is a real message box: it needs a display.
add_executable(notice_e2e_test tests/e2e/notice_e2e_test.cpp tests/e2e/e2e_support.cpp)
target_link_libraries(notice_e2e_test PRIVATE GTest::gtest_main)
target_include_directories(notice_e2e_test PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(notice_e2e_test PRIVATE -static)
add_dependencies(notice_e2e_test Lidwick ttbhost)
add_test(NAME notice_e2e_test
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/with-display ${LIDWICK_WINEPREFIX}
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:notice_e2e_test>)
lidwick_wine_properties(notice_e2e_test)

# The built DLL as a file: only system imports, undecorated exports.
add_test(NAME dll_file_check
    COMMAND ${CMAKE_SOURCE_DIR}/tests/check-dll $<TARGET_FILE:Lidwick>)

add_test(NAME package_check
    COMMAND ${CMAKE_SOURCE_DIR}/tests/check-package ${CMAKE_BINARY_DIR})

# The benchmark (scripts/bench runs it): figures, not a test.
add_executable(lidwick_bench bench/bench.cpp)
target_link_libraries(lidwick_bench PRIVATE winmm version)
target_link_options(lidwick_bench PRIVATE -static)
add_dependencies(lidwick_bench Lidwick simcd)
