// The real Lidwick.dll through real winmm, against the simulated drive at D:.
#include "tests/e2e/sim_drive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Requests = std::vector<std::string>;
typedef int(__stdcall* ExecuteProc)(int command_id, int unused);

const unsigned kMoveMs = 300;
// Sleep and the tick counter may each be a tick short.
const DWORD kMovedAtLeastMs = kMoveMs - 20;

class TrayEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        plugin_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(plugin_, nullptr) << PluginPath();
        execute_ = reinterpret_cast<ExecuteProc>(
            reinterpret_cast<void*>(GetProcAddress(plugin_, "TTBEvent_Execute")));
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

struct HostCase {
    const char* arguments;
    DWORD exit_code;
    const char* stderr_holds;
};

TEST(TtbhostEndToEnd, RunReportsTheResultAndTheTime) {
    SetSimDrives({{'D', "closed", 0, "none"}});
    ProcessResult run = RunTtbhost("--plugin \"" + PluginPath() + "\" run 203");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_NE(run.out.find("command 203: result 1 in "), std::string::npos) << run.out;
    EXPECT_EQ(SimTray('D'), "open");

    run = RunTtbhost("--plugin \"" + PluginPath() + "\" run 202");
    EXPECT_EQ(run.exit_code, 1u) << run.err;
    EXPECT_NE(run.out.find("result 0"), std::string::npos) << run.out;
}

TEST(TtbhostEndToEnd, FindsTheDllBesideItselfByDefault) {
    SetSimDrives({{'D', "open", 0, "none"}});
    ProcessResult run = RunTtbhost("run 303");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_EQ(SimTray('D'), "closed");
}

TEST(TtbhostEndToEnd, BadInputGivesOneLineAndStatusTwo) {
    const std::string plugin = "--plugin \"" + PluginPath() + "\" ";
    const std::vector<HostCase> cases = {
        {"", 2, "usage: ttbhost"},
        {"frob 1", 2, "unknown command: frob"},
        {"run", 2, "run takes one command identifier"},
        {"run 1 2", 2, "run takes one command identifier"},
        {"run abc", 2, "not a command identifier: abc"},
        {"run 12x", 2, "not a command identifier: 12x"},
        {"run 99999999999", 2, "not a command identifier: 99999999999"},
        {"--plugin", 2, "--plugin needs a path"},
        {"--plugin Z:\\no\\such\\Plugin.dll run 203", 2,
         "cannot load plugin: Z:\\no\\such\\Plugin.dll"},
        {"--plugin version.dll run 203", 2, "plugin lacks entry point TTBEvent_Execute"},
    };
    for (const HostCase& c : cases) {
        std::string arguments = c.arguments;
        if (arguments.compare(0, 3, "run") == 0 || arguments.compare(0, 4, "frob") == 0) {
            arguments = plugin + arguments;
        }
        ProcessResult run = RunTtbhost(arguments);
        EXPECT_EQ(run.exit_code, c.exit_code) << arguments;
        EXPECT_NE(run.err.find(c.stderr_holds), std::string::npos)
            << arguments << " printed: " << run.err;
    }
}

}  // namespace
