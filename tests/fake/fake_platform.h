#pragma once
// A scriptable stand-in for the system, for the native tests. MCI requests
// are answered from rules and advance a fake clock by the rule's delay;
// allocations are tracked and can be made to fail; every call is logged.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct FakeMciRule {
    std::string command;  // exact command string this rule answers
    uint32_t result;      // 0 for success, else an MCI error code
    uint32_t delay_ms;    // how far the fake clock moves during the request
};

struct FakePlatform {
    uint32_t tick_ms = 0;
    std::vector<FakeMciRule> mci_rules;  // first matching rule wins; else 0 at once
    std::vector<std::string> log;        // "mci <command>", "tick <value>", "alloc <n>", ...

    int allocation_count = 0;      // allocations asked for so far
    int fail_allocation_at = 0;    // 1-based number of the allocation to refuse; 0 for none
    std::set<void*> live_blocks;
};

extern FakePlatform g_fake;

// Back to a fresh fake: clock at 0, no rules, empty log, no live blocks.
void ResetFake();

// The commands sent to MCI, in order.
std::vector<std::string> FakeMciCommands();
