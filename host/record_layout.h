#pragma once
// The plugin information record as a host sees it: byte offsets into 32-bit
// little-endian memory. Written from the host's side on purpose, without
// the plugin's own declarations, so that a layout mistake in the plugin
// shows up here.

#include <cstdint>
#include <cstring>

namespace layout {

const unsigned kInfoBytes = 32;
const unsigned kInfoName = 2;          // pointer to text
const unsigned kInfoFileName = 6;      // pointer to text
const unsigned kInfoKind = 10;         // 16 bits
const unsigned kInfoVersionHigh = 12;  // 32 bits: major << 16 | minor
const unsigned kInfoVersionLow = 16;   // 32 bits: release << 16 | build
const unsigned kInfoCommandCount = 20; // 32 bits
const unsigned kInfoCommands = 24;     // pointer to the entries

const unsigned kCommandBytes = 32;
const unsigned kCommandName = 0;     // pointer to text
const unsigned kCommandCaption = 4;  // pointer to text
const unsigned kCommandId = 8;       // signed 32 bits

inline uint16_t ReadU16(const void* record, unsigned offset) {
    uint16_t value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

inline uint32_t ReadU32(const void* record, unsigned offset) {
    uint32_t value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

inline const char* ReadText(const void* record, unsigned offset) {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(ReadU32(record, offset)));
}

inline const unsigned char* ReadEntry(const void* info, uint32_t index) {
    const auto* entries = reinterpret_cast<const unsigned char*>(
        static_cast<uintptr_t>(ReadU32(info, kInfoCommands)));
    return entries + index * kCommandBytes;
}

}  // namespace layout
