#pragma once
// The record that tells the host what the plugin is and which commands it
// offers. Its byte layout is shared with the host: little-endian, 32-bit
// pointers, no padding. The record, its command array and every text they
// point to are the plugin's, from allocation to release.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct PluginCommandInfo {
    char* Name;         // English name, e.g. "CD Tray Open(D:\)"
    char* Caption;      // Japanese caption, Shift_JIS
    int32_t CommandId;  // 100 x action group + drive index
    // Values the host interprets; every command carries the same ones.
    uint32_t Reserved12;  // 0
    int32_t Reserved16;   // -1
    uint32_t Reserved20;  // 4
    uint32_t Reserved24;  // 0
    uint32_t Reserved28;  // 0
};

struct PluginInfo {
    uint16_t Reserved0;  // not assigned: kept zero
    char* Name;          // at offset 2: the pointers are not 4-byte aligned
    char* FileName;
    uint16_t PluginKind;  // always 1
    uint32_t VersionHigh;
    uint32_t VersionLow;
    uint32_t CommandCount;  // 3 per CD-ROM drive
    PluginCommandInfo* Commands;  // null when CommandCount is 0
    uint32_t Reserved28;  // not assigned: kept zero
};

#pragma pack(pop)

// The layout the host reads. Only the 32-bit build has 32-bit pointers; the
// native test build keeps the same fields in the same order.
static_assert(sizeof(void*) != 4 || sizeof(PluginCommandInfo) == 32, "command entry is 32 bytes");
static_assert(sizeof(void*) != 4 || offsetof(PluginCommandInfo, CommandId) == 8, "CommandId at 8");
static_assert(sizeof(void*) != 4 || offsetof(PluginCommandInfo, Reserved28) == 28, "last field at 28");
static_assert(sizeof(void*) != 4 || sizeof(PluginInfo) == 32, "record is 32 bytes");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, Name) == 2, "Name at 2, no gap");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, FileName) == 6, "FileName at 6");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, PluginKind) == 10, "PluginKind at 10");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, VersionHigh) == 12, "VersionHigh at 12");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, VersionLow) == 16, "VersionLow at 16");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, CommandCount) == 20, "CommandCount at 20");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, Commands) == 24, "Commands at 24");
static_assert(sizeof(void*) != 4 || offsetof(PluginInfo, Reserved28) == 28, "last field at 28");

// Stores a copy of `file_name` as the plugin's file name and builds a new
// record for it; null when the record itself cannot be allocated. A text
// that cannot be copied leaves its pointer null.
PluginInfo* BuildPluginInfo(const char* file_name);

// Releases a record from BuildPluginInfo and everything it points to. Null
// records and null fields are skipped.
void ReleasePluginInfo(PluginInfo* info);

// Fills one command entry with copies of `name` and `caption`.
void FillCommandEntry(PluginCommandInfo* entry, const char* name, const char* caption,
                      int32_t command_id);

// The file's fixed file version as its upper and lower 32 bits; both 0 when
// the file has no version information or it cannot be read.
void QueryFileVersion(const char* file_name, uint32_t* version_high, uint32_t* version_low);
