# libFuzzer targets over the logic and the fake. Each runs as a test for a
# bounded time from the committed seeds (tests/fuzz/seeds), collecting what
# it finds in the build folder; scripts/fuzz runs them longer.
set(LIDWICK_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs as a test")

foreach(target catalogue dispatch)
    add_executable(${target}_fuzz tests/fuzz/${target}_fuzz.cpp)
    target_link_libraries(${target}_fuzz PRIVATE lidwick_core lidwick_fake)
    target_link_options(${target}_fuzz PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_BINARY_DIR}/corpus/${target})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${target}_fuzz
        COMMAND ${target}_fuzz -max_total_time=${LIDWICK_FUZZ_SECONDS} -print_final_stats=1
                ${corpus} ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${target})
    set_tests_properties(${target}_fuzz PROPERTIES TIMEOUT 600)
endforeach()
