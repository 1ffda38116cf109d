// The real Lidwick.dll, started as the launcher starts it, with a real
// settings file beside a copy of the DLL, against the simulated drive at D:.
#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {


using Requests = std::vector<std::string>;
const Requests kOpenThenClose = {"D: open", "D: door open",   "D: close",
                                 "D: open", "D: door closed", "D: close"};
const Requests kOpenOnly = {"D: open", "D: door open", "D: close"};

// A folder of its own holding a copy of the DLL, as a user installs it.
class SettingsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "lidwick-settings-" + std::to_string(GetCurrentProcessId()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (HMODULE plugin : loaded_) {
            FreeLibrary(plugin);
        }
        for (const std::string& file : files_) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }

    std::string Install(const char* dll_name) {
        const std::string path = folder_ + "\\" + dll_name;
        EXPECT_TRUE(CopyFileA(PluginPath().c_str(), path.c_str(), FALSE)) << path;
        files_.push_back(path);
        return path;
    }

    void WriteFile(const char* name, const char* text) {
        const std::string path = folder_ + "\\" + name;
        FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr) << path;
        std::fputs(text, file);
        std::fclose(file);
        files_.push_back(path);
    }

    // Loads the DLL at `path`, starts it as the launcher does, and returns
    // its TTBEvent_Execute.
    ExecuteProc Start(const std::string& path) {
        HMODULE plugin = LoadLibraryA(path.c_str());
        EXPECT_NE(plugin, nullptr) << path;
        if (plugin == nullptr) {
            return nullptr;
        }
        loaded_.push_back(plugin);
        auto init = Entry<InitProc>(plugin, "TTBEvent_Init");
        EXPECT_NE(init, nullptr);
        EXPECT_EQ(init(path.c_str(), 0), 1);
        return Entry<ExecuteProc>(plugin, "TTBEvent_Execute");
    }

    std::string folder_;
    std::vector<std::string> files_;
    std::vector<HMODULE> loaded_;
};

TEST_F(SettingsEndToEnd, WithoutAFileTheToggleClosesAnOpenTray) {
    ExecuteProc execute = Start(Install("Lidwick.dll"));
    ASSERT_NE(execute, nullptr);

    SetSimDrives({{'D', "open", 800, "none"}});
    EXPECT_EQ(execute(103, 0), 1);
    EXPECT_EQ(SimTray('D'), "closed");
    EXPECT_EQ(SimRequests(), kOpenThenClose);

    // A closed tray that takes longer than 500 ms to move stays open.
    SetSimDrives({{'D', "closed", 800, "none"}});
    EXPECT_EQ(execute(103, 0), 1);
    EXPECT_EQ(SimTray('D'), "open");
    EXPECT_EQ(SimRequests(), kOpenOnly);
}

TEST_F(SettingsEndToEnd, ThresholdZeroMakesTheToggleAPlainOpen) {
    const std::string dll = Install("Lidwick.dll");
    WriteFile("Lidwick.ini", "[Setting]\nAutoCloseTime=3\nThreshold=0\n");
    ExecuteProc execute = Start(dll);
    ASSERT_NE(execute, nullptr);

    SetSimDrives({{'D', "open", 300, "none"}});
    EXPECT_EQ(execute(103, 0), 1);
    EXPECT_EQ(SimTray('D'), "open");
    EXPECT_EQ(SimRequests(), kOpenOnly);
}

TEST_F(SettingsEndToEnd, RenamedCopyReadsItsOwnFile) {
    Install("Lidwick.dll");
    WriteFile("Lidwick.ini", "[Setting]\nThreshold=0\n");
    ExecuteProc other = Start(Install("TrayKeys.dll"));  // no TrayKeys.ini: 500
    ASSERT_NE(other, nullptr);
    SetSimDrives({{'D', "open", 300, "none"}});
    EXPECT_EQ(other(103, 0), 1);
    EXPECT_EQ(SimTray('D'), "closed") << "read Lidwick.ini instead of its own";

    WriteFile("Trays.ini", "[Setting]\nThreshold=0\n");
    ExecuteProc own = Start(Install("Trays.dll"));
    ASSERT_NE(own, nullptr);
    SetSimDrives({{'D', "open", 300, "none"}});
    EXPECT_EQ(own(103, 0), 1);
    EXPECT_EQ(SimTray('D'), "open") << "did not read Trays.ini";
}

TEST_F(SettingsEndToEnd, TtbhostStartsThePluginSoItsSettingsApply) {
    const std::string dll = Install("Lidwick.dll");
    SetSimDrives({{'D', "open", 300, "none"}});
    ProcessResult run = RunTtbhost("--plugin \"" + dll + "\" run 103");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_EQ(SimTray('D'), "closed") << "default threshold 500 applies";

    WriteFile("Lidwick.ini", "[Setting]\nThreshold=0\n");
    SetSimDrives({{'D', "open", 300, "none"}});
    run = RunTtbhost("--plugin \"" + dll + "\" run 103");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_EQ(SimTray('D'), "open") << "Threshold=0 from the file applies";
}

}  // namespace
