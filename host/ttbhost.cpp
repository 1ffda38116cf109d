// ttbhost: a stand-in for the launcher. It loads a plugin DLL the way the
// launcher does and calls its entry points from the command line.
//
//   ttbhost [--plugin PATH] run ID
//
// Exit status: 0 when the plugin reports success, 1 when it reports failure,
// 2 for a usage error or a plugin that cannot be loaded or lacks an entry
// point. Errors are one line on stderr.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kExitSuccess = 0;
const int kExitFailure = 1;
const int kExitUsage = 2;

typedef int(__stdcall* ExecuteProc)(int command_id, int unused);

const char kUsage[] =
    "usage: ttbhost [--plugin PATH] run ID\n"
    "  run ID   run the plugin command with this identifier\n"
    "           (100 + drive index: open/close, 200 +: open, 300 +: close)\n"
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
    if (std::strcmp(command, "run") != 0) {
        return UsageError("unknown command: ", command);
    }
    if (arg + 1 != argc) {
        return UsageError("run takes one command identifier", "");
    }
    int command_id = 0;
    if (!ParseCommandId(argv[arg], &command_id)) {
        return UsageError("not a command identifier: ", argv[arg]);
    }

    HMODULE plugin = LoadLibraryA(plugin_path);
    if (plugin == nullptr) {
        return UsageError("cannot load plugin: ", plugin_path);
    }
    auto execute = reinterpret_cast<ExecuteProc>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "TTBEvent_Execute")));
    if (execute == nullptr) {
        FreeLibrary(plugin);
        return UsageError("plugin lacks entry point TTBEvent_Execute: ", plugin_path);
    }

    const DWORD start_ms = GetTickCount();
    const int result = execute(command_id, 0);
    const DWORD elapsed_ms = GetTickCount() - start_ms;
    std::printf("command %d: result %d in %lu ms\n", command_id, result,
                static_cast<unsigned long>(elapsed_ms));
    FreeLibrary(plugin);
    return result == 1 ? kExitSuccess : kExitFailure;
}
