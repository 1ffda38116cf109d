#include "plugin/plugin_state.h"

#include "platform/platform.h"
#include "plugin/text.h"

PluginState g_PluginState = {};

void StorePluginFileName(const char* file_name) {
    char* copy = CopyText(file_name);
    PlatformRelease(g_PluginState.PluginFileName);
    g_PluginState.PluginFileName = copy;
}
