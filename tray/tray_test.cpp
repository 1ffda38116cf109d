#include "tray/tray.h"

#include "tests/fake/fake_fixture.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::string>;

const char kOpenD[] = "open D: type cdaudio alias cdrom";
const char kDoorOpen[] = "set cdrom door open";
const char kDoorClosed[] = "set cdrom door closed";
const char kRelease[] = "close cdrom";
const uint32_t kNotReady = 277;  // any non-zero MCI error

using TrayTest = FakeTest;

TEST_F(TrayTest, OpenAndCloseSendTheirSequenceAndSucceed) {
    EXPECT_EQ(OpenTray("D:"), 1);
    EXPECT_EQ(FakeMciCommands(), (Commands{kOpenD, kDoorOpen, kRelease}));

    ResetFake();
    EXPECT_EQ(CloseTray("D:"), 1);
    EXPECT_EQ(FakeMciCommands(), (Commands{kOpenD, kDoorClosed, kRelease}));
}

TEST_F(TrayTest, FailedOpenRequestSendsNothingElse) {
    g_fake.mci_rules = {{kOpenD, kNotReady, 0}};
    EXPECT_EQ(OpenTray("D:"), 0);
    EXPECT_EQ(FakeMciCommands(), (Commands{kOpenD}));
    EXPECT_EQ(CloseTray("D:"), 0);
    EXPECT_EQ(FakeMciCommands(), (Commands{kOpenD, kOpenD}));
}

TEST_F(TrayTest, FailedDoorCommandStillReleasesTheDevice) {
    g_fake.mci_rules = {{kDoorOpen, kNotReady, 0}, {kDoorClosed, kNotReady, 0}};
    EXPECT_EQ(OpenTray("D:"), 0);
    EXPECT_EQ(CloseTray("D:"), 0);
    EXPECT_EQ(FakeMciCommands(),
              (Commands{kOpenD, kDoorOpen, kRelease, kOpenD, kDoorClosed, kRelease}));
}

TEST_F(TrayTest, FailedReleaseDoesNotChangeTheResult) {
    g_fake.mci_rules = {{kRelease, kNotReady, 0}};
    EXPECT_EQ(OpenTray("D:"), 1);
}

struct ToggleCase {
    const char* name;
    uint32_t threshold_ms;
    uint32_t start_tick;
    std::vector<FakeMciRule> rules;
    Commands expected_commands;
    int expected_result;
};

// Named in test output, rather than dumped as raw bytes with their padding.
void PrintTo(const ToggleCase& c, std::ostream* out) {
    *out << c.name;
}

const Commands kOpenSequence = {kOpenD, kDoorOpen, kRelease};
const Commands kOpenThenClose = {kOpenD, kDoorOpen, kRelease, kOpenD, kDoorClosed, kRelease};

const ToggleCase kToggleCases[] = {
    {"ThresholdZeroOnlyOpens", 0, 0, {}, kOpenSequence, 1},
    {"SlowOpenMeansTrayWasClosed", 500, 0, {{kDoorOpen, 0, 1200}}, kOpenSequence, 1},
    {"ElapsedEqualToThresholdKeepsItOpen", 500, 0, {{kDoorOpen, 0, 500}}, kOpenSequence, 1},
    {"ElapsedJustBelowThresholdCloses", 500, 0, {{kDoorOpen, 0, 499}}, kOpenThenClose, 1},
    {"LargestThresholdAlwaysCloses", 4294967295u, 0, {{kDoorOpen, 0, 60000}}, kOpenThenClose, 1},
    // The counter wraps during the request: 512 ms really passed.
    {"WrappedCounterLongOpenKeepsItOpen", 500, 0xFFFFFF00u, {{kDoorOpen, 0, 512}}, kOpenSequence, 1},
    {"WrappedCounterShortOpenCloses", 500, 0xFFFFFFF0u, {{kDoorOpen, 0, 100}}, kOpenThenClose, 1},
    {"CloseResultIsTheToggleResult", 500, 0, {{kDoorClosed, kNotReady, 0}}, kOpenThenClose, 0},
    // A quick failure looks like an open tray, so a close is attempted.
    {"QuickFailedOpenTriesToClose", 500, 0, {{kOpenD, kNotReady, 10}}, {kOpenD, kOpenD}, 0},
    {"SlowFailedOpenGivesUp", 500, 0, {{kOpenD, kNotReady, 800}}, {kOpenD}, 0},
    {"FailedDoorOpenSlowReportsFailure", 500, 0, {{kDoorOpen, kNotReady, 900}}, kOpenSequence, 0},
};

class ToggleTest : public FakeTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(ToggleTest, OpensThenDecidesByElapsedTime) {
    const ToggleCase& c = GetParam();
    g_PluginState.Settings.Threshold = c.threshold_ms;
    g_fake.tick_ms = c.start_tick;
    g_fake.mci_rules = c.rules;

    EXPECT_EQ(ToggleTray("D:"), c.expected_result);
    EXPECT_EQ(FakeMciCommands(), c.expected_commands);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToggleTest, ::testing::ValuesIn(kToggleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayTest, ToggleReadsTheClockAroundTheOpenSequenceOnly) {
    g_PluginState.Settings.Threshold = 500;
    g_fake.mci_rules = {{kDoorOpen, 0, 20}};
    ToggleTray("D:");
    const std::vector<std::string> expected = {
        "tick 0", "mci " + std::string(kOpenD), "mci " + std::string(kDoorOpen),
        "mci " + std::string(kRelease), "tick 20", "mci " + std::string(kOpenD),
        "mci " + std::string(kDoorClosed), "mci " + std::string(kRelease)};
    EXPECT_EQ(g_fake.log, expected);
}

}  // namespace
