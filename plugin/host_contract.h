#pragma once
// The entry points the host calls. The export list (Lidwick.def) gives them
// their undecorated names; nothing here marks them for export.

#include <cstdint>

// The host calls with the standard Windows calling convention. The native
// test build has no such convention and defines TTB_CALL empty.
#ifndef TTB_CALL
#define TTB_CALL __stdcall
#endif

extern "C" {

// Runs one command; 1 when the tray command succeeded, else 0. The second
// value is not read.
int32_t TTB_CALL TTBEvent_Execute(int32_t command_id, int32_t unused);

}
