#pragma once
// The settings file: the library's own path with its last three characters
// replaced by "ini" (Lidwick.dll reads Lidwick.ini beside it), section
// "Setting". It is only ever read.

// Fills the plugin's Settings from the file, or with the defaults where the
// file, a key, or the library's own path is missing.
void LoadSettings();
