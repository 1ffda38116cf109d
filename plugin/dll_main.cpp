// The process-attach hook, built into the DLL only. It keeps the library's
// own handle, which locates the settings file, and nothing more: anything
// else would run under the loader lock.
#include "plugin/plugin_state.h"

namespace {
const unsigned long kProcessAttach = 1;  // DLL_PROCESS_ATTACH
}

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* reserved);

extern "C" int __stdcall DllMain(void* module, unsigned long reason, void* /*reserved*/) {
    if (reason == kProcessAttach) {
        g_PluginState.ModuleHandle = module;
    }
    // Loading never fails on the plugin's account.
    return 1;
}
