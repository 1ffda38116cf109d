#include "plugin/plugin_state.h"

PluginState g_PluginState = {};
