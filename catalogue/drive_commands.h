#pragma once
// Three commands for every drive that the system reports as a CD-ROM drive.

#include "catalogue/plugin_info.h"

// Sets CommandCount and Commands of `info` from the system's drive list:
// always both, and an empty list (0 and null) when there is nothing to offer
// or the entries cannot be allocated.
void BuildDriveCommands(PluginInfo* info);

// Fills three consecutive entries (open/close, open, close) for the drive
// whose root text ("D:\") is `root`.
void AddDriveCommands(PluginCommandInfo* entries, const char* root);
