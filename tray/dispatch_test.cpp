#include "tray/dispatch.h"

#include "plugin/host_contract.h"
#include "tests/fake/fake_fixture.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::string>;

Commands Sequence(const std::string& designator, const char* door) {
    return {"open " + designator + " type cdaudio alias cdrom", door, "close cdrom"};
}

struct DispatchCase {
    int32_t id;
    Commands expected_commands;
    int32_t expected_result;
};

// Named in test output, rather than dumped as raw bytes with their padding.
void PrintTo(const DispatchCase& c, std::ostream* out) {
    *out << c.id;
}

// Threshold stays 0 here, so a toggle is a plain open.
const DispatchCase kDispatchCases[] = {
    {104, Sequence("E:", "set cdrom door open"), 1},
    {204, Sequence("E:", "set cdrom door open"), 1},
    {304, Sequence("E:", "set cdrom door closed"), 1},
    {100, Sequence("A:", "set cdrom door open"), 1},
    {200, Sequence("A:", "set cdrom door open"), 1},
    {300, Sequence("A:", "set cdrom door closed"), 1},
    {125, Sequence("Z:", "set cdrom door open"), 1},
    {225, Sequence("Z:", "set cdrom door open"), 1},
    {325, Sequence("Z:", "set cdrom door closed"), 1},
    // No range test: remainders past Z give whatever character follows.
    {150, Sequence("s:", "set cdrom door open"), 1},
    {132, Sequence("a:", "set cdrom door open"), 1},
    {357, Sequence("z:", "set cdrom door closed"), 1},
    {126, Sequence("[:", "set cdrom door open"), 1},
    {0, {}, 0},
    {99, {}, 0},
    {400, {}, 0},
    {450, {}, 0},
    {500, {}, 0},
    {1000, {}, 0},
    {-104, {}, 0},
    {-1, {}, 0},
    {INT32_MIN, {}, 0},
    {INT32_MAX, {}, 0},
};

class DispatchTest : public FakeTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchTest, RunsTheNamedActionOnTheNamedDrive) {
    const DispatchCase& c = GetParam();
    EXPECT_EQ(TTBEvent_Execute(c.id, 0), c.expected_result);
    EXPECT_EQ(FakeMciCommands(), c.expected_commands);
}

INSTANTIATE_TEST_SUITE_P(Identifiers, DispatchTest, ::testing::ValuesIn(kDispatchCases),
                         [](const auto& info) {
                             const int32_t id = info.param.id;
                             return id < 0 ? "id_minus" + std::to_string(-static_cast<int64_t>(id))
                                           : "id" + std::to_string(id);
                         });

using ExecuteTest = FakeTest;

TEST_F(ExecuteTest, ToggleClosesATrayThatWasOpen) {
    g_PluginState.Settings.Threshold = 500;
    EXPECT_EQ(TTBEvent_Execute(103, 0), 1);
    Commands expected = Sequence("D:", "set cdrom door open");
    const Commands close = Sequence("D:", "set cdrom door closed");
    expected.insert(expected.end(), close.begin(), close.end());
    EXPECT_EQ(FakeMciCommands(), expected);
}

TEST_F(ExecuteTest, FailureOfTheTrayOperationIsReturned) {
    g_fake.mci_rules = {{"set cdrom door closed", 263, 0}};
    EXPECT_EQ(TTBEvent_Execute(303, 0), 0);
}

TEST_F(ExecuteTest, SecondArgumentChangesNothing) {
    for (int32_t second : {0, 1, -1, 0x7FFFFFFF, 303}) {
        ResetFake();
        EXPECT_EQ(TTBEvent_Execute(203, second), 1);
        EXPECT_EQ(FakeMciCommands(), Sequence("D:", "set cdrom door open")) << second;
    }
}

}  // namespace
