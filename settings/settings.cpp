#include "settings/settings.h"

#include "platform/platform.h"
#include "plugin/plugin_state.h"

#include <cstdint>

namespace {

const uint32_t kPathChars = 260;
// One less than the buffer: a path that fills this much was cut short.
const uint32_t kPathCharsAsked = kPathChars - 1;
const uint32_t kExtensionChars = 3;

const char kSection[] = "Setting";
const int32_t kDefaultAutoCloseTime = 10;
const int32_t kDefaultThresholdMs = 500;

}  // namespace

void LoadSettings() {
    Settings& settings = g_PluginState.Settings;
    settings.AutoCloseTime = static_cast<uint32_t>(kDefaultAutoCloseTime);
    settings.Threshold = static_cast<uint32_t>(kDefaultThresholdMs);

    char path[kPathChars] = {};
    const uint32_t length = PlatformModuleFileName(g_PluginState.ModuleHandle, path, kPathCharsAsked);
    // A cut path names some other file; reading that one would be worse than
    // the defaults.
    if (length < kExtensionChars || length >= kPathCharsAsked) {
        return;
    }
    path[length - 3] = 'i';
    path[length - 2] = 'n';
    path[length - 1] = 'i';

    settings.AutoCloseTime = PlatformProfileInt(kSection, "AutoCloseTime", kDefaultAutoCloseTime, path);
    settings.Threshold = PlatformProfileInt(kSection, "Threshold", kDefaultThresholdMs, path);
}
