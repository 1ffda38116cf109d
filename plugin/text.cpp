#include "plugin/text.h"

#include "platform/platform.h"

#include <cstring>

size_t FormatText(char* buffer, size_t capacity, const char* format, const char* argument) {
    if (capacity == 0) {
        return 0;
    }
    size_t length = 0;
    const size_t limit = capacity - 1;
    for (const char* f = format; *f != '\0' && length < limit; ++f) {
        if (f[0] == '%' && f[1] == 's') {
            for (const char* a = argument; *a != '\0' && length < limit; ++a) {
                buffer[length++] = *a;
            }
            ++f;
        } else if (f[0] == '%' && f[1] == '%') {
            buffer[length++] = '%';
            ++f;
        } else {
            buffer[length++] = *f;
        }
    }
    buffer[length] = '\0';
    return length;
}

char* CopyText(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t bytes = std::strlen(text) + 1;
    char* copy = static_cast<char*>(PlatformAllocate(bytes));
    if (copy != nullptr) {
        std::memcpy(copy, text, bytes);
    }
    return copy;
}
