#pragma once
// The plugin's single process-wide state. Zero until set; written only from
// the process-attach hook and the host's start-up calls.

#include <cstdint>

struct Settings {
    // Milliseconds: an open sequence that finishes sooner makes the toggle
    // take the tray for open already and close it. 0 until settings load.
    uint32_t Threshold;
};

struct PluginState {
    void* ModuleHandle;
    char* PluginFileName;
    ::Settings Settings;
};

extern PluginState g_PluginState;

// Keeps a copy of the file name the host gave, releasing the previous copy.
// A name that is null or cannot be copied leaves PluginFileName null.
void StorePluginFileName(const char* file_name);
