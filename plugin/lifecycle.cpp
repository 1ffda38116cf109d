#include "plugin/lifecycle.h"

#include "platform/platform.h"
#include "plugin/host_contract.h"
#include "plugin/plugin_state.h"
#include "settings/settings.h"

namespace {

const char* const kHostMessageNames[kHostMessageCount] = {
    "TTBase HShell Activate ShellWindow",
    "TTBase HShell GetMinRect",
    "TTBase HShell Language",
    "TTBase HShell Redraw",
    "TTBase HShell TaskMan",
    "TTBase HShell WindowActivated",
    "TTBase HShell WindowCreated",
    "TTBase HShell WindowDestroyed",
    "TTBase HMouse Action",
    "TTBase ICON NOTIFY",
    "TTBase LOAD DATA FILE",
    "TTBase SAVE DATA FILE",
};

const char* const kHostServiceNames[kHostServiceCount] = {
    "TTBPlugin_GetPluginInfo",
    "TTBPlugin_SetPluginInfo",
    "TTBPlugin_FreePluginInfo",
    "TTBPlugin_SetMenuProperty",
    "TTBPlugin_GetAllPluginInfo",
};

const uint32_t kWmDeviceChange = 0x0219;

// "変わった" ("it changed") in Shift_JIS.
const char kDeviceChangeNotice[] = "\x95\xCF\x82\xED\x82\xC1\x82\xBD";

}  // namespace

void RegisterHostMessages() {
    for (int i = 0; i < kHostMessageCount; ++i) {
        g_PluginState.HostBinding.Messages[i] = PlatformRegisterMessage(kHostMessageNames[i]);
    }
}

void BindHostServices() {
    void* host = PlatformMainModule();
    for (int i = 0; i < kHostServiceCount; ++i) {
        g_PluginState.HostBinding.Services[i] =
            host != nullptr ? PlatformExport(host, kHostServiceNames[i]) : nullptr;
    }
}

void OnWindowMessage(uint32_t message) {
    if (message == kWmDeviceChange) {
        PlatformMessageBox(kDeviceChangeNotice, "");
    }
}

extern "C" int32_t TTB_CALL TTBEvent_Init(const char* plugin_file_name, uint32_t host_value) {
    RegisterHostMessages();
    StorePluginFileName(plugin_file_name);
    g_PluginState.HostBinding.HostValue = host_value;
    BindHostServices();
    LoadSettings();
    return 1;
}

extern "C" void TTB_CALL TTBEvent_Unload() {}

extern "C" void TTB_CALL TTBEvent_WindowsHook(uint32_t message, uint32_t /*first*/,
                                              int32_t /*second*/) {
    OnWindowMessage(message);
}
