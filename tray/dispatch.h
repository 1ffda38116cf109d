#pragma once
// Turning a command identifier back into a drive and an action.

#include <cstdint>

// Identifiers are 100 x action group + drive index (0 for A: to 25 for Z:).
enum ActionGroup : int32_t {
    OpenClose = 1,
    Open = 2,
    Close = 3,
};

// Runs the tray operation that `command_id` names: 1 when it succeeded, 0
// when it failed or the identifier names no action.
int32_t DispatchCommand(int32_t command_id);
