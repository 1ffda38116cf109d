#include "tests/fake/fake_platform.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

FakePlatform g_fake;

void ResetFake() {
    for (void* block : g_fake.live_blocks) {
        std::free(block);
    }
    g_fake = FakePlatform();
}

std::string FakePointerText(const void* block) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", block);
    return text;
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

std::string FakeDriveList(const std::vector<std::string>& roots) {
    std::string list;
    for (const std::string& root : roots) {
        list += root;
        list.push_back('\0');
    }
    list.push_back('\0');
    return list;
}

uint32_t PlatformLogicalDriveStrings(uint32_t length, char* buffer) {
    g_fake.log.push_back("drives " + std::to_string(length));
    const std::string& list = g_fake.drive_list;
    const uint32_t result = g_fake.drive_list_result_set
                                ? g_fake.drive_list_result
                                : static_cast<uint32_t>(list.empty() ? 0 : list.size() - 1);
    const size_t copied = list.size() < length ? list.size() : length;
    list.copy(buffer, copied);
    return result;
}

uint32_t PlatformDriveType(const char* root) {
    g_fake.log.push_back(std::string("drive type ") + root);
    const auto answers = g_fake.drive_types.find(root[0]);
    if (answers == g_fake.drive_types.end() || answers->second.empty()) {
        return 3;
    }
    size_t& asked = g_fake.drive_type_asked[root[0]];
    const size_t index = asked < answers->second.size() ? asked : answers->second.size() - 1;
    ++asked;
    return answers->second[index];
}

uint32_t PlatformFileVersionInfoSize(const char* file_name) {
    g_fake.log.push_back(std::string("version size ") + file_name);
    return g_fake.version_info_size;
}

int PlatformReadFileVersionInfo(const char* file_name, uint32_t size, void* block) {
    g_fake.log.push_back(std::string("version read ") + file_name + " " + std::to_string(size));
    if (g_fake.live_blocks.count(block) == 0) {
        g_fake.log.push_back("version read into unknown block");
        return 0;
    }
    return g_fake.version_read_ok ? 1 : 0;
}

int PlatformFixedFileVersion(const void* block, uint32_t* version_high, uint32_t* version_low) {
    g_fake.log.push_back("version query");
    if (g_fake.live_blocks.count(const_cast<void*>(block)) == 0 || !g_fake.version_query_ok) {
        return 0;
    }
    *version_high = g_fake.version_high;
    *version_low = g_fake.version_low;
    return 1;
}

void* FakeExportAddress(const std::string& name) {
    // Distinct, recognisable and never dereferenced.
    return reinterpret_cast<void*>(0x10000 + std::hash<std::string>()(name) % 0x10000 * 16);
}

namespace {
// Stands for the host's executable module.
char g_host_module;
}  // namespace

uint32_t PlatformModuleFileName(void* module, char* buffer, uint32_t size) {
    g_fake.log.push_back("module file name " + std::to_string(size) +
                         (module == nullptr ? " of the executable" : ""));
    const std::string& path = g_fake.module_file_name;
    if (size == 0) {
        return 0;
    }
    // As the system does: a path that does not fit is cut to size - 1
    // chars plus the NUL, and the size comes back.
    const size_t copied = path.size() < size ? path.size() : size - 1;
    path.copy(buffer, copied);
    buffer[copied] = '\0';
    if (g_fake.module_file_name_result_set) {
        return g_fake.module_file_name_result;
    }
    return path.size() < size ? static_cast<uint32_t>(path.size()) : size;
}

uint32_t PlatformProfileInt(const char* section, const char* key, int32_t default_value,
                            const char* path) {
    g_fake.log.push_back(std::string("profile [") + section + "] " + key + " " +
                         std::to_string(default_value) + " " + path);
    const auto value = g_fake.profile.find(key);
    return value != g_fake.profile.end() ? value->second : static_cast<uint32_t>(default_value);
}

uint32_t PlatformRegisterMessage(const char* name) {
    g_fake.log.push_back(std::string("register ") + name);
    if (g_fake.unregistrable.count(name) != 0) {
        return 0;
    }
    return g_fake.next_message_id++;
}

void* PlatformMainModule() {
    g_fake.log.push_back("main module");
    return &g_host_module;
}

void* PlatformExport(void* module, const char* name) {
    g_fake.log.push_back(std::string("export ") + name +
                         (module == &g_host_module ? " of the host" : " of another module"));
    return g_fake.host_exports.count(name) != 0 ? FakeExportAddress(name) : nullptr;
}

void PlatformMessageBox(const char* text, const char* title) {
    g_fake.log.push_back(std::string("message box [") + text + "] [" + title + "]");
}

uint32_t PlatformMciSend(const char* command) {
    g_fake.log.push_back(std::string("mci ") + command);
    if (g_fake.mci_script_used < g_fake.mci_script.size()) {
        const FakeMciRule& answer = g_fake.mci_script[g_fake.mci_script_used++];
        g_fake.tick_ms += answer.delay_ms;
        return answer.result;
    }
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
    // Fresh heap memory is not zero: fields left unset must show.
    std::memset(block, 0xA5, bytes == 0 ? 1 : bytes);
    g_fake.live_blocks.insert(block);
    return block;
}

void PlatformRelease(void* block) {
    if (block == nullptr) {
        g_fake.log.push_back("release null");
        return;
    }
    g_fake.log.push_back("release " + FakePointerText(block));
    // A block the plugin did not get from here, or releases twice, is a bug
    // the tests must see rather than a crash in free().
    if (g_fake.live_blocks.erase(block) == 0) {
        g_fake.log.push_back("release of unknown block");
        return;
    }
    std::free(block);
}
