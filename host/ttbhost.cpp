// ttbhost: runs a launcher plugin outside the launcher. It loads the DLL and
// drives it through its six entry points the way the launcher does:
// TTBEvent_InitPluginInfo and TTBEvent_Init before use, then
// TTBEvent_FreePluginInfo and TTBEvent_Unload, then FreeLibrary.
//
// Exit status: 0 when the plugin reports success, 1 when it reports failure,
// 2 for a usage error or a plugin that cannot be loaded or lacks an entry
// point. Every error is one line on stderr.
#include "host/record_layout.h"

#include <windows.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kVersion[] = "1.0.0.2";

const int kExitSuccess = 0;
const int kExitFailure = 1;
const int kExitUsage = 2;

const unsigned kWmDeviceChange = 0x0219;

// Open request times closer than this cannot be told apart reliably: the
// tick counter itself moves in steps of up to 16 ms on Windows.
const DWORD kMinCalibrationGapMs = 100;

const char kUsage[] =
    "usage: ttbhost [--plugin PATH] COMMAND\n"
    "\n"
    "Runs the Lidwick launcher plugin (or another one) outside the launcher.\n"
    "\n"
    "commands:\n"
    "  list             show the plugin, its version and the commands it offers\n"
    "  open DRIVE       open the tray of DRIVE (D, d: or D:\\)\n"
    "  close DRIVE      close the tray of DRIVE\n"
    "  toggle DRIVE     the open/close command: opens, or closes a tray that was open\n"
    "  run ID           run the command with this identifier\n"
    "                   (100 + drive index: open/close, 200 +: open, 300 +: close;\n"
    "                   drive index 0 for A: up to 25 for Z:)\n"
    "  notice           forward a device-change message (WM_DEVICECHANGE)\n"
    "  calibrate DRIVE  time DRIVE's tray and suggest a Threshold setting\n"
    "\n"
    "options:\n"
    "  --plugin PATH    the plugin DLL (default: Lidwick.dll beside ttbhost.exe)\n"
    "  --help           show this help\n"
    "  --version        show ttbhost's version\n"
    "\n"
    "exit status: 0 success, 1 the plugin reported failure, 2 usage or load error\n";

typedef void*(__stdcall* InitPluginInfoProc)(const char* plugin_file_name);
typedef void(__stdcall* FreePluginInfoProc)(void* info);
typedef int(__stdcall* InitProc)(const char* plugin_file_name, unsigned host_value);
typedef void(__stdcall* UnloadProc)();
typedef int(__stdcall* ExecuteProc)(int command_id, int unused);
typedef void(__stdcall* WindowsHookProc)(unsigned message, unsigned first, int second);

struct Plugin {
    HMODULE module;
    char full_path[MAX_PATH];
    InitPluginInfoProc init_plugin_info;
    FreePluginInfoProc free_plugin_info;
    InitProc init;
    UnloadProc unload;
    ExecuteProc execute;
    WindowsHookProc windows_hook;
    void* info;  // the plugin's record, borrowed until FreePluginInfo
};

enum Action { kList, kOpen, kClose, kToggle, kRun, kNotice, kCalibrate };

struct Request {
    Action action;
    int command_id;     // kRun
    int drive_index;    // kOpen, kClose, kToggle, kCalibrate
    char plugin_path[MAX_PATH];
};

int Fail(int status, const char* format, const char* detail = "", const char* more = "") {
    std::fputs("ttbhost: ", stderr);
    std::fprintf(stderr, format, detail, more);
    std::fputc('\n', stderr);
    return status;
}

// Lidwick.dll in the folder of this program.
bool DefaultPluginPath(char* path, DWORD size) {
    DWORD length = GetModuleFileNameA(nullptr, path, size);
    if (length == 0 || length >= size) {
        return false;
    }
    char* slash = std::strrchr(path, '\\');
    char* name = slash != nullptr ? slash + 1 : path;
    const char kPluginName[] = "Lidwick.dll";
    if (static_cast<size_t>(name - path) + sizeof kPluginName > size) {
        return false;
    }
    std::memcpy(name, kPluginName, sizeof kPluginName);
    return true;
}

// A whole decimal number that fits a signed 32-bit identifier.
bool ParseCommandId(const char* text, int* id) {
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        return false;
    }
    *id = static_cast<int>(value);
    return true;
}

// "D", "d:", "D:\" and "d:/" all name drive D:, index 3.
bool ParseDrive(const char* text, int* drive_index) {
    if (!std::isalpha(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    const char* rest = text + 1;
    if (*rest == ':') {
        ++rest;
        if (*rest == '\\' || *rest == '/') {
            ++rest;
        }
    }
    if (*rest != '\0') {
        return false;
    }
    *drive_index = std::toupper(static_cast<unsigned char>(text[0])) - 'A';
    return true;
}

// Reads the command line into `request`; returns -1 to go on, or the exit
// status to end with (after printing help, the version or an error).
int ParseArguments(int argc, char** argv, Request* request) {
    const char* plugin_path = nullptr;
    const char* words[3] = {};
    int word_count = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 ||
            std::strcmp(arg, "/?") == 0) {
            std::fputs(kUsage, stdout);
            return kExitSuccess;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("ttbhost %s\n", kVersion);
            return kExitSuccess;
        }
        if (std::strcmp(arg, "--plugin") == 0) {
            if (i + 1 >= argc) {
                return Fail(kExitUsage, "--plugin needs a path");
            }
            plugin_path = argv[++i];
        } else if (arg[0] == '-' && arg[1] == '-') {
            return Fail(kExitUsage, "unknown option: %s (see ttbhost --help)", arg);
        } else if (word_count < 3) {
            words[word_count++] = arg;
        } else {
            return Fail(kExitUsage, "too many arguments: %s", arg);
        }
    }

    if (word_count == 0) {
        return Fail(kExitUsage, "no command given (see ttbhost --help)");
    }
    const char* command = words[0];
    struct {
        const char* name;
        Action action;
        bool takes_drive;
        bool takes_id;
    } const kCommands[] = {
        {"list", kList, false, false},          {"open", kOpen, true, false},
        {"close", kClose, true, false},         {"toggle", kToggle, true, false},
        {"run", kRun, false, true},             {"notice", kNotice, false, false},
        {"calibrate", kCalibrate, true, false},
    };
    bool known = false;
    for (const auto& entry : kCommands) {
        if (std::strcmp(command, entry.name) != 0) {
            continue;
        }
        known = true;
        request->action = entry.action;
        const int wanted = entry.takes_drive || entry.takes_id ? 2 : 1;
        if (word_count != wanted) {
            return Fail(kExitUsage,
                        entry.takes_drive ? "%s takes one drive, such as D:"
                        : entry.takes_id  ? "%s takes one command identifier, such as 203"
                                          : "%s takes no arguments",
                        command);
        }
        if (entry.takes_drive && !ParseDrive(words[1], &request->drive_index)) {
            return Fail(kExitUsage, "not a drive: %s (give a letter, such as D or D:)", words[1]);
        }
        if (entry.takes_id && !ParseCommandId(words[1], &request->command_id)) {
            return Fail(kExitUsage, "not a command identifier: %s (a whole number, such as 203)",
                        words[1]);
        }
    }
    if (!known) {
        return Fail(kExitUsage, "unknown command: %s (see ttbhost --help)", command);
    }

    if (plugin_path != nullptr) {
        if (std::strlen(plugin_path) >= sizeof request->plugin_path) {
            return Fail(kExitUsage, "plugin path too long: %s", plugin_path);
        }
        std::strcpy(request->plugin_path, plugin_path);
    } else if (!DefaultPluginPath(request->plugin_path, sizeof request->plugin_path)) {
        return Fail(kExitUsage, "cannot locate Lidwick.dll beside ttbhost.exe");
    }
    return -1;
}

template <typename Proc>
bool Resolve(const Plugin& plugin, const char* path, const char* name, Proc* proc) {
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(plugin.module, name)));
    if (*proc == nullptr) {
        Fail(kExitUsage, "plugin lacks entry point %s: %s", name, path);
        return false;
    }
    return true;
}

// Loads and starts the plugin as the launcher does: -1 on success, else the
// exit status after reporting the error.
int LoadPlugin(const char* path, Plugin* plugin) {
    *plugin = Plugin();
    plugin->module = LoadLibraryA(path);
    if (plugin->module == nullptr) {
        return Fail(kExitUsage, "cannot load plugin: %s (error %s)", path,
                    std::to_string(GetLastError()).c_str());
    }
    if (!Resolve(*plugin, path, "TTBEvent_InitPluginInfo", &plugin->init_plugin_info) ||
        !Resolve(*plugin, path, "TTBEvent_FreePluginInfo", &plugin->free_plugin_info) ||
        !Resolve(*plugin, path, "TTBEvent_Init", &plugin->init) ||
        !Resolve(*plugin, path, "TTBEvent_Unload", &plugin->unload) ||
        !Resolve(*plugin, path, "TTBEvent_Execute", &plugin->execute) ||
        !Resolve(*plugin, path, "TTBEvent_WindowsHook", &plugin->windows_hook)) {
        FreeLibrary(plugin->module);
        return kExitUsage;
    }
    // The launcher hands the plugin its full path.
    DWORD length = GetModuleFileNameA(plugin->module, plugin->full_path, sizeof plugin->full_path);
    if (length == 0 || length >= sizeof plugin->full_path) {
        FreeLibrary(plugin->module);
        return Fail(kExitUsage, "cannot read the full path of plugin: %s", path);
    }
    plugin->info = plugin->init_plugin_info(plugin->full_path);
    plugin->init(plugin->full_path, 0);
    return -1;
}

void UnloadPlugin(Plugin* plugin) {
    plugin->free_plugin_info(plugin->info);
    plugin->info = nullptr;
    plugin->unload();
    FreeLibrary(plugin->module);
}

// The plugin's texts are in the ANSI code page of Japanese Windows (932);
// ttbhost prints UTF-8.
std::string Cp932ToUtf8(const char* text) {
    if (text == nullptr) {
        return "(none)";
    }
    int wide_length = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    if (wide_length <= 0) {
        return text;
    }
    std::wstring wide(static_cast<size_t>(wide_length), L'\0');
    MultiByteToWideChar(932, 0, text, -1, &wide[0], wide_length);
    int utf8_length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (utf8_length <= 0) {
        return text;
    }
    std::string utf8(static_cast<size_t>(utf8_length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], utf8_length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(utf8_length - 1));
    return utf8;
}

int List(const Plugin& plugin) {
    const void* info = plugin.info;
    if (info == nullptr) {
        return Fail(kExitFailure, "the plugin gave no information record");
    }
    using namespace layout;
    const uint32_t high = ReadU32(info, kInfoVersionHigh);
    const uint32_t low = ReadU32(info, kInfoVersionLow);
    const uint32_t count = ReadU32(info, kInfoCommandCount);
    std::printf("Name:     %s\n", Cp932ToUtf8(ReadText(info, kInfoName)).c_str());
    std::printf("File:     %s\n", Cp932ToUtf8(ReadText(info, kInfoFileName)).c_str());
    std::printf("Version:  %u.%u.%u.%u\n", high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
    std::printf("Kind:     %u\n", ReadU16(info, kInfoKind));
    std::printf("Commands: %u\n", count);
    if (count == 0) {
        std::printf("  (no CD-ROM drive found)\n");
    }
    for (uint32_t i = 0; i < count && ReadU32(info, kInfoCommands) != 0; ++i) {
        const unsigned char* entry = ReadEntry(info, i);
        std::printf("  %3d  %-26s %s\n", static_cast<int>(ReadU32(entry, kCommandId)),
                    Cp932ToUtf8(ReadText(entry, kCommandName)).c_str(),
                    Cp932ToUtf8(ReadText(entry, kCommandCaption)).c_str());
    }
    return kExitSuccess;
}

// Runs one command and reports it; the plugin's result (1 or 0) and the
// time it took come back.
int Execute(const Plugin& plugin, const char* what, int command_id, DWORD* elapsed_ms) {
    const DWORD start_ms = GetTickCount();
    const int result = plugin.execute(command_id, 0);
    *elapsed_ms = GetTickCount() - start_ms;
    std::printf("%s: result %d (%s) in %lu ms\n", what, result,
                result == 1 ? "success" : "failure", static_cast<unsigned long>(*elapsed_ms));
    std::fflush(stdout);
    return result;
}

std::string DriveCommandName(const char* verb, int drive_index, int command_id) {
    char name[64];
    std::snprintf(name, sizeof name, "%s %c: (command %d)", verb, 'A' + drive_index, command_id);
    return name;
}

int RunDriveCommand(const Plugin& plugin, const char* verb, int group, int drive_index) {
    const int id = 100 * group + drive_index;
    DWORD elapsed_ms = 0;
    return Execute(plugin, DriveCommandName(verb, drive_index, id).c_str(), id, &elapsed_ms) == 1
               ? kExitSuccess
               : kExitFailure;
}

// Times the open request from a closed tray (the tray moves) and from an
// open one (nothing moves). The toggle tells the two apart by Threshold,
// so a good Threshold lies between them.
int Calibrate(const Plugin& plugin, int drive_index) {
    const int open_id = 200 + drive_index;
    const int close_id = 300 + drive_index;
    const char letter = static_cast<char>('A' + drive_index);
    DWORD unused_ms = 0;
    DWORD from_closed_ms = 0;
    DWORD from_open_ms = 0;

    std::printf("Calibrating %c: with the open and close commands.\n", letter);
    if (Execute(plugin, "close the tray first", close_id, &unused_ms) != 1 ||
        Execute(plugin, "open from a closed tray", open_id, &from_closed_ms) != 1 ||
        Execute(plugin, "open from an open tray", open_id, &from_open_ms) != 1) {
        // Leave the tray closed whatever happened.
        plugin.execute(close_id, 0);
        return Fail(kExitFailure, "the plugin could not move the tray of %s: (is it a CD-ROM drive?)",
                    std::string(1, letter).c_str());
    }
    const int closed_again = Execute(plugin, "close the tray again", close_id, &unused_ms);

    std::printf("\nOpen request from a closed tray: %lu ms\n", static_cast<unsigned long>(from_closed_ms));
    std::printf("Open request from an open tray:  %lu ms\n", static_cast<unsigned long>(from_open_ms));
    if (from_closed_ms < from_open_ms + kMinCalibrationGapMs) {
        std::printf(
            "Warning: the two times are too close to tell apart. This drive answers before its\n"
            "tray has moved, so the open/close toggle cannot know whether the tray was open.\n"
            "Use the separate open and close commands for it, or set Threshold=0 so that the\n"
            "toggle only opens.\n");
    } else {
        const DWORD suggested_ms = from_open_ms + (from_closed_ms - from_open_ms) / 2;
        std::string ini = plugin.full_path;
        ini.replace(ini.size() - 3, 3, "ini");
        std::printf("Suggested Threshold: %lu (halfway between the two)\n",
                    static_cast<unsigned long>(suggested_ms));
        std::printf("To use it, put these lines in %s:\n[Setting]\nThreshold=%lu\n", ini.c_str(),
                    static_cast<unsigned long>(suggested_ms));
    }
    return closed_again == 1 ? kExitSuccess : kExitFailure;
}

int Perform(const Plugin& plugin, const Request& request) {
    DWORD elapsed_ms = 0;
    switch (request.action) {
    case kList:
        return List(plugin);
    case kOpen:
        return RunDriveCommand(plugin, "open", 2, request.drive_index);
    case kClose:
        return RunDriveCommand(plugin, "close", 3, request.drive_index);
    case kToggle:
        return RunDriveCommand(plugin, "toggle", 1, request.drive_index);
    case kRun:
        return Execute(plugin, ("command " + std::to_string(request.command_id)).c_str(),
                       request.command_id, &elapsed_ms) == 1
                   ? kExitSuccess
                   : kExitFailure;
    case kNotice:
        std::printf("forwarding WM_DEVICECHANGE (0x%04X) to the plugin\n", kWmDeviceChange);
        std::fflush(stdout);
        plugin.windows_hook(kWmDeviceChange, 0, 0);
        return kExitSuccess;
    case kCalibrate:
        return Calibrate(plugin, request.drive_index);
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    Request request = {};
    const int parsed = ParseArguments(argc, argv, &request);
    if (parsed >= 0) {
        return parsed;
    }
    Plugin plugin;
    const int loaded = LoadPlugin(request.plugin_path, &plugin);
    if (loaded >= 0) {
        return loaded;
    }
    const int status = Perform(plugin, request);
    UnloadPlugin(&plugin);
    return status;
}
