#pragma once
// The plugin's single process-wide state. Zero until set; written only from
// the process-attach hook and the host's start-up calls.

#include <cstdint>

struct Settings {
    // Read and kept, but nothing uses it yet.
    uint32_t AutoCloseTime;
    // Milliseconds: an open sequence that finishes sooner makes the toggle
    // take the tray for open already and close it. 0 until settings load.
    uint32_t Threshold;
};

const int kHostMessageCount = 12;
const int kHostServiceCount = 5;

// What the plugin knows of its host, from TTBEvent_Init.
struct HostBinding {
    uint32_t Messages[kHostMessageCount];  // registered identifiers; 0 where registration failed
    uint32_t HostValue;
    void* Services[kHostServiceCount];  // the host's exports; null where absent
};

struct PluginState {
    void* ModuleHandle;  // the library's own module, from the process-attach hook
    char* PluginFileName;
    ::Settings Settings;
    ::HostBinding HostBinding;
};

extern PluginState g_PluginState;

// Keeps a copy of the file name the host gave, releasing the previous copy.
// A name that is null or cannot be copied leaves PluginFileName null.
void StorePluginFileName(const char* file_name);
