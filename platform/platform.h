#pragma once
// The operations the plugin needs from the system. platform/win32.cpp
// forwards each to the Windows API; the tests supply a scriptable fake.
// Every text is NUL-terminated in the ANSI code page.

#include <cstddef>
#include <cstdint>

// Sends one MCI command string with no return buffer and no notification
// window, and returns when the device has finished it: 0 on success, else an
// MCI error code.
uint32_t PlatformMciSend(const char* command);

// Milliseconds since the system started; wraps around every 2^32 ms.
uint32_t PlatformTickCount();

// A block of at least `bytes` bytes from the general-purpose heap, or null.
void* PlatformAllocate(size_t bytes);

// Releases a block from PlatformAllocate; null does nothing.
void PlatformRelease(void* block);

// Writes the root of every drive ("C:\") into `buffer`, each followed by a
// NUL, with one more NUL after the last, writing at most `length` chars.
// Returns the length written without the final NUL, the length needed when
// `length` is too small (the buffer is then not written), or 0 on failure.
uint32_t PlatformLogicalDriveStrings(uint32_t length, char* buffer);

// The type of the drive whose root is `root`; kDriveTypeCdrom for a CD-ROM drive.
const uint32_t kDriveTypeCdrom = 5;
uint32_t PlatformDriveType(const char* root);

// Bytes of version information the file carries; 0 when it has none or
// cannot be read.
uint32_t PlatformFileVersionInfoSize(const char* file_name);

// Reads the file's version information into `block` of `size` bytes: 1 on
// success, 0 on failure.
int PlatformReadFileVersionInfo(const char* file_name, uint32_t size, void* block);

// The fixed file version from version information read above, as its upper
// and lower 32 bits: 1 on success, 0 when the block has none.
int PlatformFixedFileVersion(const void* block, uint32_t* version_high, uint32_t* version_low);

// The full path of the module `module` (null: the process's executable),
// written into `buffer` of `size` chars. Returns its length without the NUL;
// `size` when the path was cut to fit; 0 on failure.
uint32_t PlatformModuleFileName(void* module, char* buffer, uint32_t size);

// The whole number under `key` in `section` of the profile (INI) file at
// `path`, or `default_value` when the file, section or key is missing.
uint32_t PlatformProfileInt(const char* section, const char* key, int32_t default_value,
                            const char* path);

// The system-wide message identifier for `name`; 0 when it cannot be registered.
uint32_t PlatformRegisterMessage(const char* name);

// The process's main executable, whose exports are the host's services.
void* PlatformMainModule();

// The address `module` exports under `name`, or null.
void* PlatformExport(void* module, const char* name);

// Shows `text` in a message box with no owner window, the title `title`
// and a single OK button, and returns once the user has dismissed it.
void PlatformMessageBox(const char* text, const char* title);
