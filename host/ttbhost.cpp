// ttbhost: a stand-in for the launcher. It loads a plugin DLL the way the
// launcher does and calls its entry points from the command line.
//
//   ttbhost [--plugin PATH] list
//   ttbhost [--plugin PATH] run ID
//   ttbhost [--plugin PATH] notice
//
// Before running a command or forwarding a message it starts the plugin
// with TTBEvent_Init and the plugin's full path, as the launcher does, so
// the settings file beside the plugin applies.
//
// Exit status: 0 when the plugin reports success, 1 when it reports failure,
// 2 for a usage error or a plugin that cannot be loaded or lacks an entry
// point. Errors are one line on stderr.
#include "host/record_layout.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int kExitSuccess = 0;
const int kExitFailure = 1;
const int kExitUsage = 2;

typedef void*(__stdcall* InitPluginInfoProc)(const char* plugin_file_name);
typedef void(__stdcall* FreePluginInfoProc)(void* info);
typedef int(__stdcall* InitProc)(const char* plugin_file_name, unsigned host_value);
typedef void(__stdcall* UnloadProc)();
typedef int(__stdcall* ExecuteProc)(int command_id, int unused);
typedef void(__stdcall* WindowsHookProc)(unsigned message, unsigned first, int second);

const unsigned kWmDeviceChange = 0x0219;

const char kUsage[] =
    "usage: ttbhost [--plugin PATH] COMMAND\n"
    "  list     show the plugin and the commands it offers\n"
    "  run ID   run the plugin command with this identifier\n"
    "           (100 + drive index: open/close, 200 +: open, 300 +: close)\n"
    "  notice   forward a device-change message (WM_DEVICECHANGE) to the plugin\n"
    "  --plugin PATH   the plugin DLL (default: Lidwick.dll beside ttbhost.exe)\n";

int UsageError(const char* message, const char* detail) {
    std::fprintf(stderr, "ttbhost: %s%s\n", message, detail);
    return kExitUsage;
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
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) {
        return false;
    }
    *id = static_cast<int>(value);
    return true;
}

// The plugin's texts are in the ANSI code page of Japanese Windows (932);
// the console gets UTF-8.
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

template <typename Proc>
Proc EntryPoint(HMODULE plugin, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
}

int MissingEntryPoint(const char* name, const char* plugin_path) {
    std::fprintf(stderr, "ttbhost: plugin lacks entry point %s: %s\n", name, plugin_path);
    return kExitUsage;
}

// The launcher hands the plugin its full path.
bool PluginFullPath(HMODULE plugin, const char* plugin_path, char* full_path, DWORD size) {
    DWORD length = GetModuleFileNameA(plugin, full_path, size);
    if (length == 0 || length >= size) {
        std::fprintf(stderr, "ttbhost: cannot read the plugin's full path: %s\n", plugin_path);
        return false;
    }
    return true;
}

// Starts the plugin as the launcher does; false after reporting an error.
bool StartPlugin(HMODULE plugin, const char* plugin_path) {
    auto init = EntryPoint<InitProc>(plugin, "TTBEvent_Init");
    if (init == nullptr) {
        MissingEntryPoint("TTBEvent_Init", plugin_path);
        return false;
    }
    char full_path[MAX_PATH];
    if (!PluginFullPath(plugin, plugin_path, full_path, sizeof full_path)) {
        return false;
    }
    init(full_path, 0);
    return true;
}

void StopPlugin(HMODULE plugin) {
    auto unload = EntryPoint<UnloadProc>(plugin, "TTBEvent_Unload");
    if (unload != nullptr) {
        unload();
    }
}

int ListCommands(HMODULE plugin, const char* plugin_path) {
    auto init_info = EntryPoint<InitPluginInfoProc>(plugin, "TTBEvent_InitPluginInfo");
    if (init_info == nullptr) {
        return MissingEntryPoint("TTBEvent_InitPluginInfo", plugin_path);
    }
    auto free_info = EntryPoint<FreePluginInfoProc>(plugin, "TTBEvent_FreePluginInfo");
    if (free_info == nullptr) {
        return MissingEntryPoint("TTBEvent_FreePluginInfo", plugin_path);
    }
    char full_path[MAX_PATH];
    if (!PluginFullPath(plugin, plugin_path, full_path, sizeof full_path)) {
        return kExitFailure;
    }

    const void* info = init_info(full_path);
    if (info == nullptr) {
        std::fprintf(stderr, "ttbhost: the plugin returned no information record\n");
        return kExitFailure;
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
    for (uint32_t i = 0; i < count && ReadU32(info, kInfoCommands) != 0; ++i) {
        const unsigned char* entry = ReadEntry(info, i);
        std::printf("  %3d  %-26s %s\n", static_cast<int>(ReadU32(entry, kCommandId)),
                    Cp932ToUtf8(ReadText(entry, kCommandName)).c_str(),
                    Cp932ToUtf8(ReadText(entry, kCommandCaption)).c_str());
    }
    free_info(const_cast<void*>(info));
    return kExitSuccess;
}

int RunCommand(HMODULE plugin, const char* plugin_path, int command_id) {
    auto execute = EntryPoint<ExecuteProc>(plugin, "TTBEvent_Execute");
    if (execute == nullptr) {
        return MissingEntryPoint("TTBEvent_Execute", plugin_path);
    }
    if (!StartPlugin(plugin, plugin_path)) {
        return kExitUsage;
    }
    const DWORD start_ms = GetTickCount();
    const int result = execute(command_id, 0);
    const DWORD elapsed_ms = GetTickCount() - start_ms;
    std::printf("command %d: result %d in %lu ms\n", command_id, result,
                static_cast<unsigned long>(elapsed_ms));
    StopPlugin(plugin);
    return result == 1 ? kExitSuccess : kExitFailure;
}

int ForwardDeviceChange(HMODULE plugin, const char* plugin_path) {
    auto hook = EntryPoint<WindowsHookProc>(plugin, "TTBEvent_WindowsHook");
    if (hook == nullptr) {
        return MissingEntryPoint("TTBEvent_WindowsHook", plugin_path);
    }
    if (!StartPlugin(plugin, plugin_path)) {
        return kExitUsage;
    }
    std::printf("forwarding WM_DEVICECHANGE (0x%04X) to the plugin\n", kWmDeviceChange);
    std::fflush(stdout);
    hook(kWmDeviceChange, 0, 0);
    StopPlugin(plugin);
    return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    char plugin_path[MAX_PATH] = "";
    int arg = 1;
    if (arg < argc && std::strcmp(argv[arg], "--plugin") == 0) {
        if (arg + 1 >= argc) {
            return UsageError("--plugin needs a path", "");
        }
        if (std::strlen(argv[arg + 1]) >= sizeof plugin_path) {
            return UsageError("plugin path too long: ", argv[arg + 1]);
        }
        std::strcpy(plugin_path, argv[arg + 1]);
        arg += 2;
    } else if (!DefaultPluginPath(plugin_path, sizeof plugin_path)) {
        return UsageError("cannot locate Lidwick.dll beside ttbhost.exe", "");
    }

    if (arg >= argc) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const char* command = argv[arg++];
    int command_id = 0;
    if (std::strcmp(command, "list") == 0 || std::strcmp(command, "notice") == 0) {
        if (arg != argc) {
            return UsageError(command, " takes no arguments");
        }
    } else if (std::strcmp(command, "run") == 0) {
        if (arg + 1 != argc) {
            return UsageError("run takes one command identifier", "");
        }
        if (!ParseCommandId(argv[arg], &command_id)) {
            return UsageError("not a command identifier: ", argv[arg]);
        }
    } else {
        return UsageError("unknown command: ", command);
    }

    HMODULE plugin = LoadLibraryA(plugin_path);
    if (plugin == nullptr) {
        return UsageError("cannot load plugin: ", plugin_path);
    }
    int status;
    if (std::strcmp(command, "list") == 0) {
        status = ListCommands(plugin, plugin_path);
    } else if (std::strcmp(command, "notice") == 0) {
        status = ForwardDeviceChange(plugin, plugin_path);
    } else {
        status = RunCommand(plugin, plugin_path, command_id);
    }
    FreeLibrary(plugin);
    return status;
}
