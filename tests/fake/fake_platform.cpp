#include "tests/fake/fake_platform.h"

#include "platform/platform.h"

#include <cstdlib>

FakePlatform g_fake;

void ResetFake() {
    for (void* block : g_fake.live_blocks) {
        std::free(block);
    }
    g_fake = FakePlatform();
}

std::vector<std::string> FakeMciCommands() {
    std::vector<std::string> commands;
    for (const std::string& entry : g_fake.log) {
        if (entry.compare(0, 4, "mci ") == 0) {
            commands.push_back(entry.substr(4));
        }
    }
    return commands;
}

uint32_t PlatformMciSend(const char* command) {
    g_fake.log.push_back(std::string("mci ") + command);
    for (const FakeMciRule& rule : g_fake.mci_rules) {
        if (rule.command == command) {
            g_fake.tick_ms += rule.delay_ms;
            return rule.result;
        }
    }
    return 0;
}

uint32_t PlatformTickCount() {
    g_fake.log.push_back("tick " + std::to_string(g_fake.tick_ms));
    return g_fake.tick_ms;
}

void* PlatformAllocate(size_t bytes) {
    g_fake.log.push_back("alloc " + std::to_string(bytes));
    ++g_fake.allocation_count;
    if (g_fake.allocation_count == g_fake.fail_allocation_at) {
        return nullptr;
    }
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    g_fake.live_blocks.insert(block);
    return block;
}

void PlatformRelease(void* block) {
    g_fake.log.push_back("release");
    if (block == nullptr) {
        return;
    }
    // A block the plugin did not get from here, or releases twice, is a bug
    // the tests must see rather than a crash in free().
    if (g_fake.live_blocks.erase(block) == 0) {
        g_fake.log.push_back("release of unknown block");
        return;
    }
    std::free(block);
}
