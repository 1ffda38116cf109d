// A plugin that only records how it is called, for checking that ttbhost
// drives a plugin the way the launcher does. Each call appends one line to
// the file named by LIDWICK_SPY_LOG.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

unsigned char g_record[32];  // an empty information record: no commands

void Record(const char* format, ...) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("LIDWICK_SPY_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    FILE* log = std::fopen(path, "ab");
    if (log == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fputc('\n', log);
    std::fclose(log);
}

}  // namespace

extern "C" {

void* __stdcall TTBEvent_InitPluginInfo(const char* file_name) {
    Record("InitPluginInfo %s", file_name);
    return g_record;
}

void __stdcall TTBEvent_FreePluginInfo(void* info) {
    Record("FreePluginInfo %s", info == g_record ? "record" : "other");
}

int __stdcall TTBEvent_Init(const char* file_name, unsigned host_value) {
    Record("Init %s %u", file_name, host_value);
    return 1;
}

void __stdcall TTBEvent_Unload() {
    Record("Unload");
}

int __stdcall TTBEvent_Execute(int command_id, int unused) {
    Record("Execute %d %d", command_id, unused);
    return 1;
}

void __stdcall TTBEvent_WindowsHook(unsigned message, unsigned first, int second) {
    Record("WindowsHook %04X %u %d", message, first, second);
}

}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        Record("FreeLibrary");
    }
    return TRUE;
}
