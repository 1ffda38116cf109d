// The one file of the plugin that talks to Windows.
#include "platform/platform.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t PlatformMciSend(const char* command) {
    return mciSendStringA(command, nullptr, 0, nullptr);
}

uint32_t PlatformTickCount() {
    return GetTickCount();
}

void* PlatformAllocate(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void PlatformRelease(void* block) {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}
