#pragma once
// Helpers for the end-to-end tests under Wine: the simulated CD-ROM drive's
// state and request log, the real plugin DLL, and ttbhost as a process.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SimDriveLine {
    char letter;
    const char* tray;  // "open" or "closed"
    unsigned move_ms;
    const char* fail;  // "none", "open" or "door"
};

// Gives this test its own state and log files, written with `lines`, and
// points the simulated drive at them through the environment. Without
// `log_requests` the drive keeps no log (for long runs).
void SetSimDrives(const std::vector<SimDriveLine>& lines, bool log_requests = true);

// The tray of `letter` as the simulated drive last left it: "open" or "closed".
std::string SimTray(char letter);

// Requests the simulated drive saw, one "D: open" / "D: door open" /
// "D: close" line each, since SetSimDrives.
std::vector<std::string> SimRequests();

// Path of the plugin DLL under test and of ttbhost.exe.
std::string PluginPath();
std::string TtbhostPath();

struct ProcessResult {
    DWORD exit_code;
    std::string out;
    std::string err;
};

// Runs ttbhost with `arguments` and waits for it. Line ends come back as LF.
ProcessResult RunTtbhost(const std::string& arguments);

// The same, calling `during` with ttbhost's process id while it runs.
ProcessResult RunTtbhostWhile(const std::string& arguments,
                              const std::function<void(DWORD process_id)>& during);

// Milliseconds taken by `call`, measured on the system tick counter.
template <typename Call>
DWORD ElapsedMs(Call call) {
    const DWORD start = GetTickCount();
    call();
    return GetTickCount() - start;
}
