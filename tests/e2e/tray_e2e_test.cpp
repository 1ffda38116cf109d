// The real Lidwick.dll through real winmm, against the simulated drive at D:.
#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Requests = std::vector<std::string>;

const unsigned kMoveMs = 300;
// Sleep and the tick counter may each be a tick short.
const DWORD kMovedAtLeastMs = kMoveMs - 20;

class TrayEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        plugin_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(plugin_, nullptr) << PluginPath();
        execute_ = Entry<ExecuteProc>(plugin_, "TTBEvent_Execute");
        ASSERT_NE(execute_, nullptr);
    }
    static void TearDownTestSuite() {
        FreeLibrary(plugin_);
    }
    int Execute(int command_id) {
        return execute_(command_id, 0);
    }

    static HMODULE plugin_;
    static ExecuteProc execute_;
};

HMODULE TrayEndToEnd::plugin_ = nullptr;
ExecuteProc TrayEndToEnd::execute_ = nullptr;

const Requests kOpenSequence = {"D: open", "D: door open", "D: close"};

TEST_F(TrayEndToEnd, OpenMovesTheTrayOutAndReleasesTheDevice) {
    SetSimDrives({{'D', "closed", kMoveMs, "none"}});
    int result = 0;
    EXPECT_GE(ElapsedMs([&] { result = Execute(203); }), kMovedAtLeastMs);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(SimTray('D'), "open");
    EXPECT_EQ(SimRequests(), kOpenSequence);
}

TEST_F(TrayEndToEnd, CloseMovesTheTrayIn) {
    SetSimDrives({{'D', "open", kMoveMs, "none"}});
    EXPECT_EQ(Execute(303), 1);
    EXPECT_EQ(SimTray('D'), "closed");
    EXPECT_EQ(SimRequests(), (Requests{"D: open", "D: door closed", "D: close"}));
}

TEST_F(TrayEndToEnd, ToggleOfAClosedTrayOpensItAndTakesTheMovementTime) {
    SetSimDrives({{'D', "closed", kMoveMs, "none"}});
    int result = 0;
    EXPECT_GE(ElapsedMs([&] { result = Execute(103); }), kMovedAtLeastMs);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(SimTray('D'), "open");
    EXPECT_EQ(SimRequests(), kOpenSequence);
}

TEST_F(TrayEndToEnd, ToggleBeforeSettingsAreLoadedLeavesAnOpenTrayOpen) {
    SetSimDrives({{'D', "open", kMoveMs, "none"}});
    EXPECT_EQ(Execute(103), 1);
    EXPECT_EQ(SimTray('D'), "open");
    EXPECT_EQ(SimRequests(), kOpenSequence);
}

TEST_F(TrayEndToEnd, LowerCaseLetterNamesTheSameDrive) {
    SetSimDrives({{'D', "closed", 0, "none"}});
    EXPECT_EQ(Execute(235), 1);  // 35 + 'A' is 'd'
    EXPECT_EQ(SimTray('D'), "open");
}

TEST_F(TrayEndToEnd, DrivesThatAreNotCdromDrivesAnswerZero) {
    SetSimDrives({{'D', "closed", 0, "none"}});
    EXPECT_EQ(Execute(202), 0);  // C: is a fixed disk
    EXPECT_EQ(Execute(304), 0);  // E: does not exist
    EXPECT_EQ(Execute(107), 0);  // H: neither; threshold 0, so no close attempt
    EXPECT_EQ(SimRequests(), (Requests{"C: open", "E: open", "H: open"}));
    EXPECT_EQ(SimTray('D'), "closed");
}

TEST_F(TrayEndToEnd, RefusedOpenRequestSendsNothingMore) {
    SetSimDrives({{'D', "closed", 0, "open"}});
    EXPECT_EQ(Execute(203), 0);
    EXPECT_EQ(SimRequests(), (Requests{"D: open"}));
    EXPECT_EQ(SimTray('D'), "closed");
}

TEST_F(TrayEndToEnd, RefusedDoorCommandStillReleasesTheDevice) {
    SetSimDrives({{'D', "closed", 0, "door"}});
    EXPECT_EQ(Execute(203), 0);
    EXPECT_EQ(SimRequests(), kOpenSequence);
    EXPECT_EQ(SimTray('D'), "closed");
}

TEST_F(TrayEndToEnd, UnknownActionGroupsNeverReachTheDevice) {
    SetSimDrives({{'D', "closed", 0, "none"}});
    for (int id : {3, 403, 503, -103}) {
        EXPECT_EQ(Execute(id), 0) << id;
    }
    EXPECT_TRUE(SimRequests().empty());
}

}  // namespace
