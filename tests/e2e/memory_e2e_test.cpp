// The real Lidwick.dll over many calls: it runs inside the launcher's
// process, so what it allocates must come back. Memory is read as the
// process's private bytes and as the bytes in use on all of its heaps.
#include "tests/e2e/e2e_support.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {


struct Memory {
    long long private_bytes;
    long long heap_bytes;
};

Memory Measure() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    long long in_use = 0;
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                in_use += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return {static_cast<long long>(counters.PrivateUsage), in_use};
}

// Runs `run` (`cycles` cycles of something) between two measurements,
// reports the difference and returns it.
template <typename Run>
Memory GrowthOf(const char* what, int cycles, Run run) {
    const Memory before = Measure();
    run();
    const Memory after = Measure();
    const Memory growth = {after.private_bytes - before.private_bytes,
                           after.heap_bytes - before.heap_bytes};
    std::printf("%-44s private %+lld bytes, heap in use %+lld bytes (%.2f bytes per cycle)\n", what,
                growth.private_bytes, growth.heap_bytes,
                static_cast<double>(growth.heap_bytes) / cycles);
    return growth;
}

// Growth that is not a leak: the heap's and the loader's own bookkeeping.
const long long kFlatHeapBytes = 16 * 1024;
const long long kFlatPrivateBytes = 512 * 1024;

void ExpectFlat(const Memory& growth) {
    EXPECT_LT(growth.heap_bytes, kFlatHeapBytes);
    EXPECT_LT(growth.private_bytes, kFlatPrivateBytes);
}

TEST(MemoryEndToEnd, RecordsAndStartUpsComeBackInFull) {
    const std::string path = PluginPath();
    HMODULE plugin = LoadLibraryA(path.c_str());
    ASSERT_NE(plugin, nullptr);
    auto init_info = Entry<InitPluginInfoProc>(plugin, "TTBEvent_InitPluginInfo");
    auto free_info = Entry<FreePluginInfoProc>(plugin, "TTBEvent_FreePluginInfo");
    auto init = Entry<InitProc>(plugin, "TTBEvent_Init");
    const auto cycle = [&] {
        void* info = init_info(path.c_str());
        free_info(info);
        init(path.c_str(), 0);
    };
    for (int i = 0; i < 500; ++i) {
        cycle();
    }
    const int kCycles = 20000;
    ExpectFlat(GrowthOf("20000 record/release/start-up cycles:", kCycles, [&] {
        for (int i = 0; i < kCycles; ++i) {
            cycle();
        }
    }));
    FreeLibrary(plugin);
}

TEST(MemoryEndToEnd, CommandsComeBackInFullEvenWhenTheDriveFails) {
    HMODULE plugin = LoadLibraryA(PluginPath().c_str());
    ASSERT_NE(plugin, nullptr);
    auto execute = Entry<ExecuteProc>(plugin, "TTBEvent_Execute");
    Entry<InitProc>(plugin, "TTBEvent_Init")(PluginPath().c_str(), 0);

    // A third of the commands each: the drive works, refuses the open
    // request, refuses the door command.
    const char* const kFaults[] = {"none", "open", "door"};
    const int kCommands = 10000;
    int succeeded = 0;
    const auto run = [&](int count, const char* fault) {
        SetSimDrives({{'D', "closed", 0, fault}}, false);
        for (int i = 0; i < count; ++i) {
            succeeded += execute(i % 3 == 0 ? 103 : i % 3 == 1 ? 203 : 303, 0);
        }
    };
    for (const char* fault : kFaults) {
        run(100, fault);
    }
    succeeded = 0;
    ExpectFlat(GrowthOf("10000 commands (a third each failing):", kCommands, [&] {
        for (const char* fault : kFaults) {
            run(kCommands / 3, fault);
        }
    }));
    EXPECT_EQ(succeeded, kCommands / 3) << "only the working drive's commands succeed";
    FreeLibrary(plugin);
}

// The kept file name lives until the library is unloaded, and unloading
// does not release it: each load/start/unload cycle leaves that one copy.
TEST(MemoryEndToEnd, LoadStartUnloadCyclesLeaveOnlyTheFileNameCopy) {
    const std::string path = PluginPath();
    const auto cycle = [&] {
        HMODULE plugin = LoadLibraryA(path.c_str());
        Entry<InitProc>(plugin, "TTBEvent_Init")(path.c_str(), 0);
        FreeLibrary(plugin);
    };
    for (int i = 0; i < 20; ++i) {
        cycle();
    }
    const int kCycles = 1000;
    const Memory growth = GrowthOf("1000 LoadLibrary/TTBEvent_Init/FreeLibrary:", kCycles, [&] {
        for (int i = 0; i < kCycles; ++i) {
            cycle();
        }
    });
    std::printf("(the file name is %u bytes with its NUL)\n", static_cast<unsigned>(path.size() + 1));
    const long long per_cycle = growth.heap_bytes / kCycles;
    EXPECT_LE(per_cycle, static_cast<long long>(path.size() + 1 + 16))
        << "more than the file name copy stays behind";
}

}  // namespace
