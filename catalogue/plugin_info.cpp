#include "catalogue/plugin_info.h"

#include "catalogue/drive_commands.h"
#include "platform/platform.h"
#include "plugin/host_contract.h"
#include "plugin/plugin_state.h"
#include "plugin/text.h"

namespace {

// "CDトレイを開閉" in Shift_JIS.
const char kDisplayName[] = "CD\x83\x67\x83\x8C\x83\x43\x82\xF0\x8A\x4A\x95\xC2";

const uint16_t kPluginKind = 1;

}  // namespace

void FillCommandEntry(PluginCommandInfo* entry, const char* name, const char* caption,
                      int32_t command_id) {
    entry->Name = CopyText(name);
    entry->Caption = CopyText(caption);
    entry->CommandId = command_id;
    entry->Reserved12 = 0;
    entry->Reserved16 = -1;
    entry->Reserved20 = 4;
    entry->Reserved24 = 0;
    entry->Reserved28 = 0;
}

void QueryFileVersion(const char* file_name, uint32_t* version_high, uint32_t* version_low) {
    *version_high = 0;
    *version_low = 0;
    if (file_name == nullptr) {
        return;
    }
    const uint32_t size = PlatformFileVersionInfoSize(file_name);
    if (size == 0) {
        return;
    }
    void* block = PlatformAllocate(size);
    if (block == nullptr) {
        return;
    }
    uint32_t high = 0;
    uint32_t low = 0;
    if (PlatformReadFileVersionInfo(file_name, size, block) &&
        PlatformFixedFileVersion(block, &high, &low)) {
        *version_high = high;
        *version_low = low;
    }
    PlatformRelease(block);
}

PluginInfo* BuildPluginInfo(const char* file_name) {
    StorePluginFileName(file_name);
    auto* info = static_cast<PluginInfo*>(PlatformAllocate(sizeof(PluginInfo)));
    if (info == nullptr) {
        return nullptr;
    }
    // The fields the plugin does not assign are zeroed, so the host never
    // reads leftover heap bytes.
    *info = PluginInfo();
    info->Name = CopyText(kDisplayName);
    info->FileName = CopyText(g_PluginState.PluginFileName);
    info->PluginKind = kPluginKind;
    QueryFileVersion(g_PluginState.PluginFileName, &info->VersionHigh, &info->VersionLow);
    BuildDriveCommands(info);
    return info;
}

void ReleasePluginInfo(PluginInfo* info) {
    if (info == nullptr) {
        return;
    }
    if (info->Commands != nullptr) {
        for (uint32_t i = 0; i < info->CommandCount; ++i) {
            PlatformRelease(info->Commands[i].Name);
            PlatformRelease(info->Commands[i].Caption);
        }
    }
    PlatformRelease(info->Commands);
    PlatformRelease(info->FileName);
    PlatformRelease(info->Name);
    PlatformRelease(info);
}

extern "C" PluginInfo* TTB_CALL TTBEvent_InitPluginInfo(const char* plugin_file_name) {
    return BuildPluginInfo(plugin_file_name);
}

extern "C" void TTB_CALL TTBEvent_FreePluginInfo(PluginInfo* info) {
    ReleasePluginInfo(info);
}
