#pragma once
// Reads fuzzer bytes as numbers, giving zeros once the input runs out.

#include <cstddef>
#include <cstdint>

struct FuzzInput {
    const uint8_t* data;
    size_t size;

    uint8_t Byte() {
        if (size == 0) {
            return 0;
        }
        --size;
        return *data++;
    }
    uint32_t Word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = value << 8 | Byte();
        }
        return value;
    }
};
