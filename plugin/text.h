#pragma once
// Bounded text formatting for the plugin's fixed-size stack buffers.

#include <cstddef>

// Size of every formatting buffer: command names, captions, MCI strings.
constexpr size_t kFormatChars = 1024;

// Writes `format` into `buffer` with each "%s" replaced by `argument` and
// "%%" by "%". Never writes more than `capacity` chars including the NUL;
// output that does not fit is cut. Returns the length written.
size_t FormatText(char* buffer, size_t capacity, const char* format, const char* argument);

// A heap copy of `text` (its length + 1 bytes), or null when `text` is null
// or the copy cannot be allocated. Released with PlatformRelease.
char* CopyText(const char* text);
