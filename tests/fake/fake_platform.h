#pragma once
// A scriptable stand-in for the system, for the native tests. MCI requests
// are answered from rules and advance a fake clock by the rule's delay;
// allocations are tracked and can be made to fail; every call is logged.

#include <cstddef>
#include <cstdint>
#include <map>
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
    // Answers given in order, whatever the command, ahead of the rules; the
    // command field is ignored.
    std::vector<FakeMciRule> mci_script;
    size_t mci_script_used = 0;
    std::vector<std::string> log;        // "mci <command>", "tick <value>", "alloc <n>", ...

    // The drive list as the system writes it (NULs included), and the value
    // the call returns; by default the length of the list without its
    // final NUL. Each call copies at most the length the caller allows.
    std::string drive_list;
    bool drive_list_result_set = false;
    uint32_t drive_list_result = 0;
    // The answers for a drive letter, one per question in turn; the last
    // one repeats. A letter without answers is a fixed disk (3).
    std::map<char, std::vector<uint32_t>> drive_types;
    std::map<char, size_t> drive_type_asked;

    // Version information: the size answered, whether reading and querying
    // succeed, and the fixed file version found.
    uint32_t version_info_size = 0;
    bool version_read_ok = true;
    bool version_query_ok = true;
    uint32_t version_high = 0;
    uint32_t version_low = 0;

    // The library's path as the system reports it, and the length the call
    // returns (by default the path's length, or the size when it is cut).
    std::string module_file_name = "C:\\TTBase\\Plugins\\Lidwick.dll";
    bool module_file_name_result_set = false;
    uint32_t module_file_name_result = 0;

    // Profile values by key; a missing key answers the caller's default.
    std::map<std::string, uint32_t> profile;

    // Message identifiers are handed out from here upwards; names listed in
    // unregistrable answer 0.
    uint32_t next_message_id = 0xC100;
    std::set<std::string> unregistrable;

    // The names the host's executable exports.
    std::set<std::string> host_exports;

    int allocation_count = 0;      // allocations asked for so far
    int fail_allocation_at = 0;    // 1-based number of the allocation to refuse; 0 for none
    std::set<void*> live_blocks;
};

extern FakePlatform g_fake;

// Back to a fresh fake: clock at 0, no rules, empty log, no live blocks.
void ResetFake();

// The commands sent to MCI, in order.
std::vector<std::string> FakeMciCommands();

// A drive list of the given roots in the system's format.
std::string FakeDriveList(const std::vector<std::string>& roots);

// How the log writes a block's address: "release <this>".
std::string FakePointerText(const void* block);

// The address the fake gives for an export of the host.
void* FakeExportAddress(const std::string& name);
