#include "tray/dispatch.h"

#include "plugin/host_contract.h"
#include "tray/tray.h"

int32_t DispatchCommand(int32_t command_id) {
    // The drive index is not range-checked: the MCI open request refuses
    // anything that is not a CD-ROM drive, and remainders 32 to 57 give the
    // lower-case letters, which name the same drives.
    const char letter = static_cast<char>(command_id % 100 + 'A');
    const char designator[] = {letter, ':', '\0'};

    switch (command_id / 100) {
    case OpenClose:
        return ToggleTray(designator);
    case Open:
        return OpenTray(designator);
    case Close:
        return CloseTray(designator);
    default:
        return 0;
    }
}

extern "C" int32_t TTB_CALL TTBEvent_Execute(int32_t command_id, int32_t /*unused*/) {
    return DispatchCommand(command_id);
}
