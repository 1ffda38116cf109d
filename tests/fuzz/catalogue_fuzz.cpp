// Builds and releases the information record from arbitrary drive-list
// bytes, drive-type answers that may change between the two passes, and
// allocation failures chosen by the input.
#include "catalogue/plugin_info.h"
#include "plugin/plugin_state.h"
#include "tests/fake/fake_platform.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const uint32_t kCdrom = 5;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

const char* const kNameFormats[] = {"CD Tray Open/Close(", "CD Tray Open(", "CD Tray Close("};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input = {data, size};
    ResetFake();
    g_PluginState = PluginState();

    g_fake.fail_allocation_at = input.Byte();
    const uint8_t list_mode = input.Byte();
    if (list_mode % 4 == 1) {
        g_fake.drive_list_result_set = true;
        g_fake.drive_list_result = 0;
    } else if (list_mode % 4 == 2) {
        g_fake.drive_list_result_set = true;
        g_fake.drive_list_result = input.Word();
    }
    g_fake.version_info_size = input.Byte();
    // Two bits per first character: CD-ROM in the counting pass, in the
    // filling pass.
    uint8_t answers[64];
    for (uint8_t& answer : answers) {
        answer = input.Byte();
    }
    for (int c = 0; c < 256; ++c) {
        const int bits = answers[c / 4] >> (2 * (c % 4)) & 3;
        g_fake.drive_types[static_cast<char>(c)] = {bits & 1 ? kCdrom : 3, bits & 2 ? kCdrom : 3};
    }
    g_fake.drive_list.assign(reinterpret_cast<const char*>(input.data), input.size);

    PluginInfo* info = BuildPluginInfo("C:\\TTBase\\Lidwick.dll");
    if (info != nullptr) {
        const uint32_t count = info->CommandCount;
        Check(count % 3 == 0, "CommandCount is a multiple of 3");
        Check(count <= 3 * 1024 / 4, "no more entries than the buffer has roots");
        Check((info->Commands == nullptr) == (count == 0), "Commands null exactly when empty");
        if (info->Commands != nullptr) {
            Check(g_fake.live_blocks.count(info->Commands) == 1, "Commands is a live block");
        }
        for (uint32_t i = 0; i < count; ++i) {
            const PluginCommandInfo& entry = info->Commands[i];
            const int32_t group = static_cast<int32_t>(i % 3) + 1;
            Check(entry.CommandId >= 100 * group && entry.CommandId <= 100 * group + 25,
                  "identifier in its group's range");
            Check(entry.Reserved16 == -1 && entry.Reserved20 == 4, "fixed fields written");
            if (entry.Name != nullptr) {
                const char* format = kNameFormats[i % 3];
                const size_t prefix = std::strlen(format);
                Check(std::strncmp(entry.Name, format, prefix) == 0, "name has its format");
                Check(entry.Name[prefix] == 'A' + entry.CommandId % 100, "name names the drive");
                Check(std::strlen(entry.Name) < 1024, "name fits its buffer");
            }
            if (entry.Caption != nullptr) {
                Check(std::strlen(entry.Caption) < 1024, "caption fits its buffer");
            }
        }
    }
    ReleasePluginInfo(info);
    const size_t kept = g_PluginState.PluginFileName != nullptr ? 1 : 0;
    Check(g_fake.live_blocks.size() == kept, "release frees every block");
    for (const std::string& entry : g_fake.log) {
        Check(entry != "release of unknown block", "only live blocks are released");
    }
    ResetFake();
    g_PluginState = PluginState();
    return 0;
}
