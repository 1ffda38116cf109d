#pragma once
// Moving a CD-ROM drive's tray through the MCI cdaudio device. Each takes a
// drive designator such as "E:" and returns 1 on success, 0 on failure.

int OpenTray(const char* designator);
int CloseTray(const char* designator);

// Opens the tray; when that takes less than the configured threshold, the
// tray was open already and is closed instead.
int ToggleTray(const char* designator);
