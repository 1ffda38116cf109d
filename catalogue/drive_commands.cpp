#include "catalogue/drive_commands.h"

#include "platform/platform.h"
#include "plugin/text.h"

#include <cstdint>

namespace {

// The drive list: "C:\" NUL "D:\" NUL ... NUL. Every entry is a root of
// three characters plus its NUL, so the walk steps by four.
const uint32_t kDriveListChars = 1024;
const uint32_t kDriveEntryChars = 4;
const uint32_t kCommandsPerDrive = 3;

struct CommandTexts {
    int32_t group_base;
    const char* name_format;
    const char* caption_format;
};

// The captions are Shift_JIS.
const CommandTexts kDriveCommandTexts[kCommandsPerDrive] = {
    // "CDトレイを開閉(%s)"
    {100, "CD Tray Open/Close(%s)", "CD\x83\x67\x83\x8C\x83\x43\x82\xF0\x8A\x4A\x95\xC2(%s)"},
    // "CDトレイを開く(%s)"
    {200, "CD Tray Open(%s)", "CD\x83\x67\x83\x8C\x83\x43\x82\xF0\x8A\x4A\x82\xAD(%s)"},
    // "CDトレイを閉じる(%s)"
    {300, "CD Tray Close(%s)",
     "CD\x83\x67\x83\x8C\x83\x43\x82\xF0\x95\xC2\x82\xB6\x82\xE9(%s)"},
};

// Only a root that starts with a drive letter is asked about: anything else
// would give identifiers outside 100-325 that name no drive.
bool IsCdrom(const char* root) {
    return root[0] >= 'A' && root[0] <= 'Z' && PlatformDriveType(root) == kDriveTypeCdrom;
}

}  // namespace

void AddDriveCommands(PluginCommandInfo* entries, const char* root) {
    const int32_t drive_index = static_cast<unsigned char>(root[0]) - 'A';
    char name[kFormatChars];
    char caption[kFormatChars];
    for (uint32_t i = 0; i < kCommandsPerDrive; ++i) {
        const CommandTexts& texts = kDriveCommandTexts[i];
        FormatText(name, sizeof name, texts.name_format, root);
        FormatText(caption, sizeof caption, texts.caption_format, root);
        FillCommandEntry(&entries[i], name, caption, texts.group_base + drive_index);
    }
}

void BuildDriveCommands(PluginInfo* info) {
    info->CommandCount = 0;
    info->Commands = nullptr;

    // The whole buffer starts as NUL and the system may write at most all
    // but its last char, so every entry, even one the system left without
    // its NUL, ends inside the buffer, and the walk never leaves it.
    char drives[kDriveListChars] = {};
    const uint32_t written = PlatformLogicalDriveStrings(kDriveListChars - 1, drives);
    if (written == 0 || drives[0] == '\0') {
        return;
    }

    uint32_t cdrom_count = 0;
    for (uint32_t at = 0; at < kDriveListChars && drives[at] != '\0'; at += kDriveEntryChars) {
        if (IsCdrom(&drives[at])) {
            ++cdrom_count;
        }
    }
    if (cdrom_count == 0) {
        return;
    }

    const uint32_t capacity = kCommandsPerDrive * cdrom_count;
    auto* commands =
        static_cast<PluginCommandInfo*>(PlatformAllocate(capacity * sizeof(PluginCommandInfo)));
    if (commands == nullptr) {
        return;
    }

    // The drives are asked again and may have changed since the count: a
    // drive that appeared finds no room, one that went leaves entries
    // unfilled and the count shrinks to what was filled.
    uint32_t filled = 0;
    for (uint32_t at = 0; at < kDriveListChars && drives[at] != '\0' && filled < capacity;
         at += kDriveEntryChars) {
        if (IsCdrom(&drives[at])) {
            AddDriveCommands(&commands[filled], &drives[at]);
            filled += kCommandsPerDrive;
        }
    }
    if (filled == 0) {
        PlatformRelease(commands);
        return;
    }
    info->CommandCount = filled;
    info->Commands = commands;
}
