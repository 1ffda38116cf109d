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

uint32_t PlatformLogicalDriveStrings(uint32_t length, char* buffer) {
    return GetLogicalDriveStringsA(length, buffer);
}

uint32_t PlatformDriveType(const char* root) {
    return GetDriveTypeA(root);
}

uint32_t PlatformFileVersionInfoSize(const char* file_name) {
    DWORD unused = 0;
    return GetFileVersionInfoSizeA(file_name, &unused);
}

int PlatformReadFileVersionInfo(const char* file_name, uint32_t size, void* block) {
    return GetFileVersionInfoA(file_name, 0, size, block) ? 1 : 0;
}

int PlatformFixedFileVersion(const void* block, uint32_t* version_high, uint32_t* version_low) {
    void* value = nullptr;
    UINT value_bytes = 0;
    // A root block shorter than the fixed record would be read past its end.
    if (!VerQueryValueA(block, "\\", &value, &value_bytes) || value == nullptr ||
        value_bytes < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    *version_high = fixed->dwFileVersionMS;
    *version_low = fixed->dwFileVersionLS;
    return 1;
}

uint32_t PlatformModuleFileName(void* module, char* buffer, uint32_t size) {
    return GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

uint32_t PlatformProfileInt(const char* section, const char* key, int32_t default_value,
                            const char* path) {
    return GetPrivateProfileIntA(section, key, default_value, path);
}

uint32_t PlatformRegisterMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

void* PlatformMainModule() {
    return GetModuleHandleA(nullptr);
}

void* PlatformExport(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void PlatformMessageBox(const char* text, const char* title) {
    MessageBoxA(nullptr, text, title, MB_OK);
}
