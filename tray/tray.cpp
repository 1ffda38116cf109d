#include "tray/tray.h"

#include "platform/platform.h"
#include "plugin/plugin_state.h"
#include "plugin/text.h"

#include <cstdint>

namespace {

// The alias is the same for every drive, so sequences must never overlap;
// the host calls one entry point at a time.
const char kMciOpenFormat[] = "open %s type cdaudio alias cdrom";
const char kMciDoorOpen[] = "set cdrom door open";
const char kMciDoorClosed[] = "set cdrom door closed";
const char kMciRelease[] = "close cdrom";

// Opens the device, sends the door command and releases the device again.
// A failed open leaves nothing to release, so nothing else is sent.
int RunDoorSequence(const char* designator, const char* door_command) {
    char command[kFormatChars];
    FormatText(command, sizeof command, kMciOpenFormat, designator);
    if (PlatformMciSend(command) != 0) {
        return 0;
    }
    const uint32_t door_result = PlatformMciSend(door_command);
    // Nothing useful can be done about a failed release; the door result
    // is what the caller asked about.
    PlatformMciSend(kMciRelease);
    return door_result == 0 ? 1 : 0;
}

}  // namespace

int OpenTray(const char* designator) {
    return RunDoorSequence(designator, kMciDoorOpen);
}

int CloseTray(const char* designator) {
    return RunDoorSequence(designator, kMciDoorClosed);
}

int ToggleTray(const char* designator) {
    // The drive's tray state cannot be asked for, so the time the open
    // request takes stands in for it: the request returns once the tray has
    // moved out, or at once when it is out already. A drive that answers
    // before its tray has moved defeats this; a threshold of 0 turns the
    // guess off and the toggle only opens.
    const uint32_t start_ms = PlatformTickCount();
    const int opened = OpenTray(designator);
    const uint32_t elapsed_ms = PlatformTickCount() - start_ms;  // wraps correctly
    if (elapsed_ms < g_PluginState.Settings.Threshold) {
        return CloseTray(designator);
    }
    return opened;
}
