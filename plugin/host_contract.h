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

// Runs one command; 1 when the tray command succeeded, else 0. The second
// value is not read.
int32_t TTB_CALL TTBEvent_Execute(int32_t command_id, int32_t unused);

}
