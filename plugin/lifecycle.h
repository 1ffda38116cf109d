#pragma once
// The host binding made at start-up, and the device-change notice.

#include <cstdint>

// Registers the host's window message names and keeps their identifiers.
void RegisterHostMessages();

// Looks up the host's service entry points in its executable.
void BindHostServices();

// Shows the device-change notice for WM_DEVICECHANGE; ignores other messages.
void OnWindowMessage(uint32_t message);
