// A simulated CD-ROM drive for Wine: an MCI driver that winmm loads for the
// cdaudio device type. winmm loads and frees it around every open/close of
// the device, so each drive's tray state lives in a text file named by the
// environment variable LIDWICK_SIMCD_STATE, one line per drive:
//
//     D closed 300 none
//
// letter, tray (open or closed), milliseconds a tray movement takes, and the
// request to refuse (none, open or door). Drives without a line start closed,
// move instantly and refuse nothing. A door command for a tray that is
// already there answers at once, as a real drive does. When
// LIDWICK_SIMCD_LOG names a file, every request is appended to it.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

const int kMaxDrives = 26;

struct DriveState {
    bool listed;
    bool open;
    unsigned move_ms;
    char fail[8];
};

DriveState g_drives[kMaxDrives];
char g_letter = 0;  // the drive of the device that is open, if any

bool EnvPath(const char* name, char* path, DWORD size) {
    DWORD length = GetEnvironmentVariableA(name, path, size);
    return length > 0 && length < size;
}

void LoadStates() {
    std::memset(g_drives, 0, sizeof g_drives);
    char path[MAX_PATH];
    if (!EnvPath("LIDWICK_SIMCD_STATE", path, sizeof path)) {
        return;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return;
    }
    char letter = 0;
    char tray[16];
    unsigned move_ms = 0;
    char fail[8];
    while (std::fscanf(file, " %c %15s %u %7s", &letter, tray, &move_ms, fail) == 4) {
        int index = std::toupper(static_cast<unsigned char>(letter)) - 'A';
        if (index < 0 || index >= kMaxDrives) {
            continue;
        }
        DriveState& drive = g_drives[index];
        drive.listed = true;
        drive.open = std::strcmp(tray, "open") == 0;
        drive.move_ms = move_ms;
        std::strcpy(drive.fail, fail);
    }
    std::fclose(file);
}

void SaveStates() {
    char path[MAX_PATH];
    if (!EnvPath("LIDWICK_SIMCD_STATE", path, sizeof path)) {
        return;
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return;
    }
    for (int i = 0; i < kMaxDrives; ++i) {
        const DriveState& drive = g_drives[i];
        if (drive.listed) {
            std::fprintf(file, "%c %s %u %s\n", 'A' + i, drive.open ? "open" : "closed",
                         drive.move_ms, drive.fail);
        }
    }
    std::fclose(file);
}

void Log(const char* request) {
    char path[MAX_PATH];
    if (!EnvPath("LIDWICK_SIMCD_LOG", path, sizeof path)) {
        return;
    }
    FILE* file = std::fopen(path, "ab");
    if (file != nullptr) {
        std::fprintf(file, "%c: %s\n", g_letter != 0 ? g_letter : '?', request);
        std::fclose(file);
    }
}

DriveState* CurrentDrive() {
    int index = g_letter - 'A';
    if (index < 0 || index >= kMaxDrives) {
        return nullptr;
    }
    DriveState* drive = &g_drives[index];
    if (!drive->listed) {
        drive->listed = true;
        std::strcpy(drive->fail, "none");
    }
    return drive;
}

LRESULT OpenDevice(const MCI_OPEN_PARMSW* params) {
    g_letter = 0;
    if (params == nullptr || params->lpstrElementName == nullptr) {
        return MCIERR_MISSING_PARAMETER;
    }
    wchar_t first = params->lpstrElementName[0];
    if (first > 0x7F) {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    g_letter = static_cast<char>(std::toupper(static_cast<unsigned char>(first)));
    Log("open");
    const char root[] = {g_letter, ':', '\\', '\0'};
    if (GetDriveTypeA(root) != DRIVE_CDROM) {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    LoadStates();
    DriveState* drive = CurrentDrive();
    if (drive == nullptr) {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (std::strcmp(drive->fail, "open") == 0) {
        return MCIERR_DEVICE_NOT_READY;
    }
    return 0;
}

LRESULT SetDoor(DWORD flags) {
    const bool want_open = (flags & MCI_SET_DOOR_OPEN) != 0;
    const bool want_closed = (flags & MCI_SET_DOOR_CLOSED) != 0;
    if (want_open == want_closed) {
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
    Log(want_open ? "door open" : "door closed");
    LoadStates();
    DriveState* drive = CurrentDrive();
    if (drive == nullptr) {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (std::strcmp(drive->fail, "door") == 0) {
        return MCIERR_HARDWARE;
    }
    if (drive->open != want_open) {
        Sleep(drive->move_ms);
        drive->open = want_open;
        SaveStates();
    }
    return 0;
}

}  // namespace

extern "C" LRESULT CALLBACK DriverProc(DWORD_PTR driver_id, HDRVR driver, UINT message,
                                       LPARAM param1, LPARAM param2) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_CLOSE:
        return 1;
    case DRV_OPEN: {
        auto* open = reinterpret_cast<MCI_OPEN_DRIVER_PARMS*>(param2);
        if (open != nullptr) {
            open->wType = MCI_DEVTYPE_CD_AUDIO;
            open->wCustomCommandTable = MCI_NO_COMMAND_TABLE;
        }
        return 1;
    }
    case MCI_OPEN_DRIVER:
        return OpenDevice(reinterpret_cast<const MCI_OPEN_PARMSW*>(param2));
    case MCI_CLOSE_DRIVER:
        Log("close");
        g_letter = 0;
        return 0;
    case MCI_SET:
        return SetDoor(static_cast<DWORD>(param1));
    default:
        if (message >= DRV_MCI_FIRST && message <= DRV_MCI_LAST) {
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
        return DefDriverProc(driver_id, driver, message, param1, param2);
    }
}
