// ttbhost as a user runs it: the real Lidwick.dll against the simulated
// drive at D:, and a spy plugin that records how it is driven.
#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string WithPlugin(const std::string& arguments) {
    return "--plugin \"" + PluginPath() + "\" " + arguments;
}

std::string SpyPath(const char* name) {
    const char* folder = std::getenv("LIDWICK_SPY_DIR");
    EXPECT_NE(folder, nullptr);
    return std::string(folder != nullptr ? folder : "") + "\\" + name;
}

size_t Lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

struct DriveCommandCase {
    const char* arguments;
    const char* tray_before;
    const char* tray_after;
    const char* reported;
};

TEST(TtbhostEndToEnd, DriveCommandsAcceptEveryWayOfWritingTheDrive) {
    const DriveCommandCase cases[] = {
        {"open D", "closed", "open", "open D: (command 203): result 1 (success) in "},
        {"open d:", "closed", "open", "open D: (command 203): result 1 (success) in "},
        {"close D:\\", "open", "closed", "close D: (command 303): result 1 (success) in "},
        {"close d:/", "open", "closed", "close D: (command 303): result 1 (success) in "},
        // Started as the launcher starts it, the default threshold applies.
        {"toggle D:", "closed", "open", "toggle D: (command 103): result 1 (success) in "},
        {"toggle d", "open", "closed", "toggle D: (command 103): result 1 (success) in "},
        {"run 203", "closed", "open", "command 203: result 1 (success) in "},
    };
    for (const DriveCommandCase& c : cases) {
        SetSimDrives({{'D', c.tray_before, 600, "none"}});
        ProcessResult run = RunTtbhost(WithPlugin(c.arguments));
        EXPECT_EQ(run.exit_code, 0u) << c.arguments << ": " << run.err;
        EXPECT_EQ(SimTray('D'), c.tray_after) << c.arguments;
        EXPECT_EQ(run.out.find(c.reported), 0u) << c.arguments << " printed: " << run.out;
        EXPECT_EQ(run.err, "") << c.arguments;
    }
}

TEST(TtbhostEndToEnd, PluginFailureGivesStatusOne) {
    SetSimDrives({{'D', "closed", 0, "door"}});
    for (const char* arguments : {"open D:", "close E:", "run 202", "run 999"}) {
        ProcessResult run = RunTtbhost(WithPlugin(arguments));
        EXPECT_EQ(run.exit_code, 1u) << arguments;
        EXPECT_NE(run.out.find("result 0 (failure)"), std::string::npos) << run.out;
    }
}

TEST(TtbhostEndToEnd, FindsTheDllBesideItselfByDefault) {
    SetSimDrives({{'D', "open", 0, "none"}});
    ProcessResult run = RunTtbhost("close D:");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_EQ(SimTray('D'), "closed");
}

TEST(TtbhostEndToEnd, CalibrateTimesBothCasesAndSuggestsAThresholdBetween) {
    SetSimDrives({{'D', "open", 600, "none"}});
    ProcessResult run = RunTtbhost(WithPlugin("calibrate D:"));
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_EQ(SimTray('D'), "closed") << "the tray is left closed";

    unsigned long from_closed = 0;
    unsigned long from_open = 0;
    unsigned long suggested = 0;
    const size_t at_closed = run.out.find("Open request from a closed tray:");
    const size_t at_open = run.out.find("Open request from an open tray:");
    const size_t at_suggested = run.out.find("Suggested Threshold:");
    ASSERT_NE(at_closed, std::string::npos) << run.out;
    ASSERT_NE(at_open, std::string::npos) << run.out;
    ASSERT_NE(at_suggested, std::string::npos) << run.out;
    std::sscanf(run.out.c_str() + at_closed, "Open request from a closed tray: %lu", &from_closed);
    std::sscanf(run.out.c_str() + at_open, "Open request from an open tray: %lu", &from_open);
    std::sscanf(run.out.c_str() + at_suggested, "Suggested Threshold: %lu", &suggested);
    EXPECT_GE(from_closed, 580u);
    EXPECT_LT(from_open, 200u);
    EXPECT_GT(suggested, from_open);
    EXPECT_LT(suggested, from_closed);
    EXPECT_NE(run.out.find("Threshold=" + std::to_string(suggested)), std::string::npos);
    EXPECT_EQ(run.out.find("Warning"), std::string::npos);
    // Close first (the tray was open), open twice, close again: nothing else.
    EXPECT_EQ(SimRequests(),
              (std::vector<std::string>{"D: open", "D: door closed", "D: close", "D: open",
                                        "D: door open", "D: close", "D: open", "D: door open",
                                        "D: close", "D: open", "D: door closed", "D: close"}));
}

TEST(TtbhostEndToEnd, CalibrateWarnsWhenTheDriveAnswersBeforeMoving) {
    SetSimDrives({{'D', "closed", 0, "none"}});
    ProcessResult run = RunTtbhost(WithPlugin("calibrate D"));
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    EXPECT_NE(run.out.find("Warning: the two times are too close to tell apart"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("Suggested Threshold"), std::string::npos);
    EXPECT_EQ(SimTray('D'), "closed");
}

TEST(TtbhostEndToEnd, CalibrateOnADriveThatIsNotACdromFails) {
    SetSimDrives({{'D', "closed", 0, "none"}});
    ProcessResult run = RunTtbhost(WithPlugin("calibrate E:"));
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(Lines(run.err), 1u) << run.err;
    EXPECT_NE(run.err.find("could not move the tray of E:"), std::string::npos) << run.err;
}

TEST(TtbhostEndToEnd, HelpAndVersion) {
    ProcessResult help = RunTtbhost("--help");
    EXPECT_EQ(help.exit_code, 0u);
    for (const char* word : {"usage: ttbhost", "list", "open DRIVE", "close DRIVE", "toggle DRIVE",
                             "run ID", "notice", "calibrate DRIVE", "--plugin PATH", "--version"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    ProcessResult version = RunTtbhost("--version");
    EXPECT_EQ(version.exit_code, 0u);
    EXPECT_EQ(version.out, "ttbhost 1.0.0.2\n");
}

struct BadInputCase {
    std::string arguments;
    std::string error;  // the one line on stderr
};

TEST(TtbhostEndToEnd, EveryBadInputGivesOneLineAndStatusTwo) {
    const std::string spy_no_hook = SpyPath("spy_no_hook.dll");
    const std::vector<BadInputCase> cases = {
        {"", "ttbhost: no command given (see ttbhost --help)"},
        {"frob", "ttbhost: unknown command: frob (see ttbhost --help)"},
        {"--frob list", "ttbhost: unknown option: --frob (see ttbhost --help)"},
        {"open 1:", "ttbhost: not a drive: 1: (give a letter, such as D or D:)"},
        {"open DD:", "ttbhost: not a drive: DD: (give a letter, such as D or D:)"},
        {"toggle D:x", "ttbhost: not a drive: D:x (give a letter, such as D or D:)"},
        {"close", "ttbhost: close takes one drive, such as D:"},
        {"calibrate D: E:", "ttbhost: calibrate takes one drive, such as D:"},
        {"run", "ttbhost: run takes one command identifier, such as 203"},
        {"run abc", "ttbhost: not a command identifier: abc (a whole number, such as 203)"},
        {"run 12x", "ttbhost: not a command identifier: 12x (a whole number, such as 203)"},
        {"run 2147483648",
         "ttbhost: not a command identifier: 2147483648 (a whole number, such as 203)"},
        {"run -99999999999",
         "ttbhost: not a command identifier: -99999999999 (a whole number, such as 203)"},
        {"list now", "ttbhost: list takes no arguments"},
        {"--plugin", "ttbhost: --plugin needs a path"},
        {"--plugin Z:\\no\\such\\Plugin.dll list",
         "ttbhost: cannot load plugin: Z:\\no\\such\\Plugin.dll (error 126)"},
        {"--plugin version.dll list",
         "ttbhost: plugin lacks entry point TTBEvent_InitPluginInfo: version.dll"},
        {"--plugin \"" + spy_no_hook + "\" notice",
         "ttbhost: plugin lacks entry point TTBEvent_WindowsHook: " + spy_no_hook},
    };
    for (const BadInputCase& c : cases) {
        ProcessResult run = RunTtbhost(c.arguments);
        EXPECT_EQ(run.exit_code, 2u) << c.arguments;
        EXPECT_EQ(run.err, c.error + "\n") << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
    }
}

TEST(TtbhostEndToEnd, DrivesThePluginAsTheLauncherDoes) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp) + "lidwick-spy-" + std::to_string(GetCurrentProcessId());
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("LIDWICK_SPY_LOG", log.c_str());
    const std::string spy = SpyPath("spy.dll");

    ProcessResult run = RunTtbhost("--plugin \"" + spy + "\" run 204");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    run = RunTtbhost("--plugin \"" + spy + "\" notice");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    SetEnvironmentVariableA("LIDWICK_SPY_LOG", nullptr);

    std::string calls;
    FILE* file = std::fopen(log.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char chunk[1024];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        calls.append(chunk, got);
    }
    std::fclose(file);
    DeleteFileA(log.c_str());

    // The full path goes to both starting calls.
    char full[MAX_PATH];
    GetFullPathNameA(spy.c_str(), sizeof full, full, nullptr);
    const std::string start = "InitPluginInfo " + std::string(full) + "\nInit " + full + " 0\n";
    const std::string stop = "FreePluginInfo record\nUnload\nFreeLibrary\n";
    EXPECT_EQ(calls, start + "Execute 204 0\n" + stop + start + "WindowsHook 0219 0 0\n" + stop);
}

}  // namespace
