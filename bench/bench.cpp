// Measures what the plugin adds, under Wine with the simulated drive (no
// tray movement), and prints one table row per figure:
//
//   bench PLUGIN_DLL SECTION...
//
// commands   TTBEvent_Execute against the same three MCI requests sent directly
// catalogue  TTBEvent_InitPluginInfo + TTBEvent_FreePluginInfo, for the
//            CD-ROM drives this machine has
// lifecycle  LoadLibrary + TTBEvent_Init + FreeLibrary
//
// Figures are medians of 300 to 1000 runs, in microseconds.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef void*(__stdcall* InitPluginInfoProc)(const char* plugin_file_name);
typedef void(__stdcall* FreePluginInfoProc)(void* info);
typedef int(__stdcall* InitProc)(const char* plugin_file_name, unsigned host_value);
typedef int(__stdcall* ExecuteProc)(int command_id, int unused);

double g_ticks_per_us = 0;

double NowUs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / g_ticks_per_us;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void Row(const std::string& what, const std::string& figure) {
    std::printf("| %-68s | %14s |\n", what.c_str(), figure.c_str());
}

std::string Us(double us) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f us", us);
    return text;
}

template <typename Proc>
Proc Entry(HMODULE plugin, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
}

struct Drives {
    int roots;
    int cdroms;
};

Drives CountDrives() {
    char drives[1024] = {};
    GetLogicalDriveStringsA(sizeof drives - 1, drives);
    Drives count = {0, 0};
    for (const char* root = drives; *root != '\0'; root += std::strlen(root) + 1) {
        ++count.roots;
        count.cdroms += GetDriveTypeA(root) == DRIVE_CDROM;
    }
    return count;
}

template <typename Call>
double MedianUs(int runs, Call call) {
    std::vector<double> samples;
    for (int i = 0; i < runs + runs / 20; ++i) {
        const double start = NowUs();
        call();
        if (i >= runs / 20) {  // the first runs warm caches up
            samples.push_back(NowUs() - start);
        }
    }
    return Median(samples);
}

// The same requests the open command makes, sent straight to MCI.
int DirectOpen() {
    if (mciSendStringA("open D: type cdaudio alias cdrom", nullptr, 0, nullptr) != 0) {
        return 0;
    }
    const MCIERROR door = mciSendStringA("set cdrom door open", nullptr, 0, nullptr);
    mciSendStringA("close cdrom", nullptr, 0, nullptr);
    return door == 0;
}

void BenchCommands(HMODULE plugin) {
    auto execute = Entry<ExecuteProc>(plugin, "TTBEvent_Execute");
    const int kRuns = 1000;
    std::vector<double> through_plugin;
    std::vector<double> direct;
    // Interleaved, so that both see the same machine.
    for (int i = 0; i < kRuns + 50; ++i) {
        double start = NowUs();
        const int by_plugin = execute(203, 0);
        const double plugin_us = NowUs() - start;
        start = NowUs();
        const int by_hand = DirectOpen();
        const double direct_us = NowUs() - start;
        if (by_plugin != 1 || by_hand != 1) {
            std::fprintf(stderr, "bench: the simulated drive refused a request\n");
            return;
        }
        if (i >= 50) {  // the first runs warm caches up
            through_plugin.push_back(plugin_us);
            direct.push_back(direct_us);
        }
    }
    const double plugin_median = Median(through_plugin);
    const double direct_median = Median(direct);
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.3f", plugin_median / direct_median);
    Row("TTBEvent_Execute(203), open D:", Us(plugin_median));
    Row("the same 3 MCI requests sent directly", Us(direct_median));
    Row("plugin / direct", ratio);
}

// The system calls that building the record makes, made directly: the
// drive list, one drive-type question per root in each of two passes, and
// the version query.
void DirectCatalogueCalls(const char* path) {
    char list[1024] = {};
    GetLogicalDriveStringsA(sizeof list - 1, list);
    for (int pass = 0; pass < 2; ++pass) {
        for (const char* root = list; *root != '\0'; root += std::strlen(root) + 1) {
            GetDriveTypeA(root);
        }
    }
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &unused);
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    void* value = nullptr;
    UINT length = 0;
    GetFileVersionInfoA(path, 0, size, block);
    VerQueryValueA(block, "\\", &value, &length);
    HeapFree(GetProcessHeap(), 0, block);
}

// Building the record costs mostly what the system charges for its calls,
// so the plugin is timed against those same calls made directly.
void BenchCatalogue(HMODULE plugin, const char* path) {
    auto init_info = Entry<InitPluginInfoProc>(plugin, "TTBEvent_InitPluginInfo");
    auto free_info = Entry<FreePluginInfoProc>(plugin, "TTBEvent_FreePluginInfo");
    const Drives drives = CountDrives();
    const int kRuns = 600;
    std::vector<double> through_plugin;
    std::vector<double> direct;
    for (int i = 0; i < kRuns + 30; ++i) {
        double start = NowUs();
        free_info(init_info(path));
        const double plugin_us = NowUs() - start;
        start = NowUs();
        DirectCatalogueCalls(path);
        const double direct_us = NowUs() - start;
        if (i >= 30) {
            through_plugin.push_back(plugin_us);
            direct.push_back(direct_us);
        }
    }
    const double drive_type_us = MedianUs(600, [] { GetDriveTypeA("D:\\"); });
    const double plugin_median = Median(through_plugin);
    const double direct_median = Median(direct);
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.3f", plugin_median / direct_median);
    Row("InitPluginInfo + FreePluginInfo, " + std::to_string(drives.cdroms) + " CD-ROM drive" +
            (drives.cdroms == 1 ? "" : "s") + " of " + std::to_string(drives.roots),
        Us(plugin_median));
    Row("  its system calls made directly (list, " + std::to_string(2 * drives.roots) +
            " x GetDriveTypeA, version)",
        Us(direct_median));
    Row("  plugin / direct", ratio);
    Row("  one GetDriveTypeA under Wine", Us(drive_type_us));
}

void BenchLifecycle(const char* path) {
    const double cycle_us = MedianUs(300, [&] {
        HMODULE plugin = LoadLibraryA(path);
        Entry<InitProc>(plugin, "TTBEvent_Init")(path, 0);
        FreeLibrary(plugin);
    });
    Row("LoadLibrary + TTBEvent_Init + FreeLibrary", Us(cycle_us));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench PLUGIN_DLL commands|catalogue|lifecycle...\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticks_per_us = static_cast<double>(frequency.QuadPart) / 1e6;

    char path[MAX_PATH];
    if (GetFullPathNameA(argv[1], sizeof path, path, nullptr) == 0) {
        std::fprintf(stderr, "bench: bad plugin path %s\n", argv[1]);
        return 2;
    }
    HMODULE plugin = LoadLibraryA(path);
    if (plugin == nullptr || Entry<ExecuteProc>(plugin, "TTBEvent_Execute") == nullptr) {
        std::fprintf(stderr, "bench: cannot load the plugin %s\n", path);
        return 2;
    }
    Entry<InitProc>(plugin, "TTBEvent_Init")(path, 0);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "commands") == 0) {
            BenchCommands(plugin);
        } else if (std::strcmp(argv[i], "catalogue") == 0) {
            BenchCatalogue(plugin, path);
        } else if (std::strcmp(argv[i], "lifecycle") == 0) {
            BenchLifecycle(path);
        } else {
            std::fprintf(stderr, "bench: unknown section %s\n", argv[i]);
            return 2;
        }
        std::fflush(stdout);
    }
    FreeLibrary(plugin);
    return 0;
}
