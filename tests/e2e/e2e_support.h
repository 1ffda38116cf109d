#pragma once
// Helpers for the end-to-end tests under Wine: the plugin's entry points as
// a host sees them, the simulated CD-ROM drive's state and request log, and
// ttbhost as a process.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The entry points, declared from the host's side.
typedef void*(__stdcall* InitPluginInfoProc)(const char* plugin_file_name);
typedef void(__stdcall* FreePluginInfoProc)(void* info);
typedef int(__stdcall* InitProc)(const char* plugin_file_name, unsigned host_value);
typedef int(__stdcall* ExecuteProc)(int command_id, int unused);
typedef void(__stdcall* WindowsHookProc)(unsigned message, unsigned first, int second);

// The entry point `name` of `plugin`, or null.
template <typename Proc>
Proc Entry(HMODULE plugin, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
}

// Shift_JIS bytes of a UTF-16 text, made by the system, not by the plugin.
std::string Sjis(const wchar_t* text);

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
