#pragma once
// The entry points the host calls. The export list (Lidwick.def) gives them
// their undecorated names; nothing here marks them for export.

#include <cstdint>

// The host calls with the standard Windows calling convention. The native
// test build has no such convention and defines TTB_CALL empty.
#ifndef TTB_CALL
#define TTB_CALL __stdcall
#endif

struct PluginInfo;

extern "C" {

// A new record describing the plugin and its commands, for the plugin file
// `plugin_file_name`; null when it cannot be allocated. The host hands it
// back to TTBEvent_FreePluginInfo.
PluginInfo* TTB_CALL TTBEvent_InitPluginInfo(const char* plugin_file_name);

// Releases a record from TTBEvent_InitPluginInfo and all it points to.
void TTB_CALL TTBEvent_FreePluginInfo(PluginInfo* info);

// Binds the plugin to its host and loads its settings. Always 1.
int32_t TTB_CALL TTBEvent_Init(const char* plugin_file_name, uint32_t host_value);

// Does nothing: the plugin holds nothing that must go before unloading.
void TTB_CALL TTBEvent_Unload();

// A window message the host forwards; the parameters are not read.
void TTB_CALL TTBEvent_WindowsHook(uint32_t message, uint32_t first, int32_t second);

// Runs one command; 1 when the tray command succeeded, else 0. The second
// value is not read.
int32_t TTB_CALL TTBEvent_Execute(int32_t command_id, int32_t unused);

}
