#pragma once
// The operations the plugin needs from the system. platform/win32.cpp
// forwards each to the Windows API; the tests supply a scriptable fake.
// Every text is NUL-terminated in the ANSI code page.

#include <cstddef>
#include <cstdint>

// Sends one MCI command string with no return buffer and no notification
// window, and returns when the device has finished it: 0 on success, else an
// MCI error code.
uint32_t PlatformMciSend(const char* command);

// Milliseconds since the system started; wraps around every 2^32 ms.
uint32_t PlatformTickCount();

// A block of at least `bytes` bytes from the general-purpose heap, or null.
void* PlatformAllocate(size_t bytes);

// Releases a block from PlatformAllocate; null does nothing.
void PlatformRelease(void* block);
