#include "catalogue/drive_commands.h"

#include "platform/platform.h"
#include "tests/fake/fake_fixture.h"
#include "tests/fake/sjis.h"

#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

const uint32_t kCdrom = 5;
const uint32_t kFixed = 3;

struct DriveCase {
    const char* name;
    std::vector<std::string> roots;
    std::map<char, std::vector<uint32_t>> types;  // answers per question, in turn
    std::vector<int32_t> expected_ids;
};

// Named in test output, rather than dumped as raw bytes with their padding.
void PrintTo(const DriveCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<std::string> AllLetters() {
    std::vector<std::string> roots;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        roots.push_back(std::string(1, letter) + ":\\");
    }
    return roots;
}

std::map<char, std::vector<uint32_t>> AllCdrom() {
    std::map<char, std::vector<uint32_t>> types;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        types[letter] = {kCdrom};
    }
    return types;
}

std::vector<int32_t> IdsForAllLetters() {
    std::vector<int32_t> ids;
    for (int32_t index = 0; index < 26; ++index) {
        ids.insert(ids.end(), {100 + index, 200 + index, 300 + index});
    }
    return ids;
}

const DriveCase kDriveCases[] = {
    {"FixedCThenCdromD", {"C:\\", "D:\\"}, {{'C', {kFixed}}, {'D', {kCdrom}}}, {103, 203, 303}},
    {"CdromDAndFAroundFixedE",
     {"C:\\", "D:\\", "E:\\", "F:\\"},
     {{'D', {kCdrom}}, {'E', {kFixed}}, {'F', {kCdrom}}},
     {103, 203, 303, 105, 205, 305}},
    {"FirstAndLastLetters", {"A:\\", "Z:\\"}, {{'A', {kCdrom}}, {'Z', {kCdrom}}},
     {100, 200, 300, 125, 225, 325}},
    {"AllTwentySixLetters", AllLetters(), AllCdrom(), IdsForAllLetters()},
    {"NoCdromDrive", {"C:\\", "E:\\"}, {}, {}},
    {"EmptyList", {}, {}, {}},
    // Asked again in the filling pass, D: is no longer a CD-ROM drive.
    {"RemovedBetweenPasses", {"D:\\", "F:\\"}, {{'D', {kCdrom, kFixed}}, {'F', {kCdrom}}},
     {105, 205, 305}},
    {"OnlyDriveRemovedBetweenPasses", {"D:\\"}, {{'D', {kCdrom, kFixed}}}, {}},
    // E: turns up in the filling pass, but the array was sized for D: alone.
    {"AddedBetweenPasses", {"D:\\", "E:\\"}, {{'D', {kCdrom}}, {'E', {kFixed, kCdrom}}},
     {103, 203, 303}},
    // A list the system should never give: only capital drive letters count.
    {"RootsWithoutADriveLetter",
     {"1:\\", "d:\\", "\x01:\\", "[:\\", "E:\\"},
     {{'1', {kCdrom}}, {'d', {kCdrom}}, {'\x01', {kCdrom}}, {'[', {kCdrom}}, {'E', {kCdrom}}},
     {104, 204, 304}},
    {"AddedAheadOfTheCountedDrive", {"C:\\", "D:\\"}, {{'C', {kFixed, kCdrom}}, {'D', {kCdrom}}},
     {102, 202, 302}},
};

// The list lives in a record on the stack here; release what it points to.
void ReleaseCommandsOf(const PluginInfo& info) {
    for (uint32_t i = 0; i < info.CommandCount; ++i) {
        PlatformRelease(info.Commands[i].Name);
        PlatformRelease(info.Commands[i].Caption);
    }
    PlatformRelease(info.Commands);
}

class DriveCommandsTest : public FakeTest, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(DriveCommandsTest, ThreeEntriesPerCdromDriveInListOrder) {
    const DriveCase& c = GetParam();
    g_fake.drive_list = FakeDriveList(c.roots);
    g_fake.drive_types = c.types;

    PluginInfo info = {};
    BuildDriveCommands(&info);

    ASSERT_EQ(info.CommandCount, c.expected_ids.size());
    EXPECT_EQ(info.Commands == nullptr, c.expected_ids.empty());
    for (uint32_t i = 0; i < info.CommandCount; ++i) {
        EXPECT_EQ(info.Commands[i].CommandId, c.expected_ids[i]) << "entry " << i;
    }
    const size_t text_blocks = 2 * c.expected_ids.size();
    const size_t array_blocks = c.expected_ids.empty() ? 0 : 1;
    EXPECT_EQ(g_fake.live_blocks.size(), text_blocks + array_blocks) << "nothing else stays allocated";
    ReleaseCommandsOf(info);
    EXPECT_TRUE(g_fake.live_blocks.empty());
}

INSTANTIATE_TEST_SUITE_P(Drives, DriveCommandsTest, ::testing::ValuesIn(kDriveCases),
                         [](const auto& info) { return std::string(info.param.name); });

using DriveCommandsFixture = FakeTest;

TEST_F(DriveCommandsFixture, NamesAndCaptionsCarryTheRoot) {
    g_fake.drive_list = FakeDriveList({"C:\\", "D:\\"});
    g_fake.drive_types = {{'D', {kCdrom}}};
    PluginInfo info = {};
    BuildDriveCommands(&info);
    ASSERT_EQ(info.CommandCount, 3u);

    const struct {
        const char* name;
        std::string caption;
    } expected[] = {
        {"CD Tray Open/Close(D:\\)", Sjis("CDトレイを開閉(D:\\)")},
        {"CD Tray Open(D:\\)", Sjis("CDトレイを開く(D:\\)")},
        {"CD Tray Close(D:\\)", Sjis("CDトレイを閉じる(D:\\)")},
    };
    for (int i = 0; i < 3; ++i) {
        const PluginCommandInfo& entry = info.Commands[i];
        EXPECT_STREQ(entry.Name, expected[i].name);
        EXPECT_EQ(std::string(entry.Caption), expected[i].caption);
        EXPECT_EQ(entry.Reserved12, 0u);
        EXPECT_EQ(entry.Reserved16, -1);
        EXPECT_EQ(entry.Reserved20, 4u);
        EXPECT_EQ(entry.Reserved24, 0u);
        EXPECT_EQ(entry.Reserved28, 0u);
    }
    ReleaseCommandsOf(info);
}

TEST_F(DriveCommandsFixture, FailedDriveListGivesAnEmptyListWithoutAskingTypes) {
    g_fake.drive_list = FakeDriveList({"D:\\"});
    g_fake.drive_list_result_set = true;
    g_fake.drive_list_result = 0;
    g_fake.drive_types = {{'D', {kCdrom}}};
    PluginInfo info = {};
    info.CommandCount = 99;
    BuildDriveCommands(&info);
    EXPECT_EQ(info.CommandCount, 0u);
    EXPECT_EQ(info.Commands, nullptr);
    EXPECT_EQ(g_fake.drive_type_asked.count('D'), 0u);
}

TEST_F(DriveCommandsFixture, ListTooLongForTheBufferIsNotReadAsRoots) {
    // The system answers with the length it needs and writes nothing.
    g_fake.drive_list_result_set = true;
    g_fake.drive_list_result = 2000;
    PluginInfo info = {};
    BuildDriveCommands(&info);
    EXPECT_EQ(info.CommandCount, 0u);
    EXPECT_EQ(info.Commands, nullptr);
}

TEST_F(DriveCommandsFixture, ListFillingTheBufferWithoutNulStaysInsideIt) {
    // 1023 chars and no NUL anywhere: the walk must stop at the buffer's end
    // and every root text it hands on must end inside the buffer.
    std::string list;
    while (list.size() < 1023) {
        list += "D:\\Q";
    }
    list.resize(1023);
    g_fake.drive_list = list;
    g_fake.drive_types = {{'D', {kCdrom}}};
    PluginInfo info = {};
    BuildDriveCommands(&info);

    const uint32_t entries = 1024 / 4;
    ASSERT_EQ(info.CommandCount, 3 * entries);
    for (const std::string& call : g_fake.log) {
        if (call.compare(0, 11, "drive type ") == 0) {
            EXPECT_LE(call.size() - 11, 1023u);
        }
    }
    for (uint32_t i = 0; i < info.CommandCount; ++i) {
        ASSERT_NE(info.Commands[i].Name, nullptr);
        EXPECT_LT(std::strlen(info.Commands[i].Name), 1024u);
    }
    ReleaseCommandsOf(info);
}

TEST_F(DriveCommandsFixture, UnallocatableArrayGivesAnEmptyList) {
    g_fake.drive_list = FakeDriveList({"D:\\"});
    g_fake.drive_types = {{'D', {kCdrom}}};
    g_fake.fail_allocation_at = 1;
    PluginInfo info = {};
    BuildDriveCommands(&info);
    EXPECT_EQ(info.CommandCount, 0u);
    EXPECT_EQ(info.Commands, nullptr);
    EXPECT_TRUE(g_fake.live_blocks.empty());
}

TEST_F(DriveCommandsFixture, UncopyableTextLeavesANullButKeepsTheEntry) {
    g_fake.drive_list = FakeDriveList({"D:\\"});
    g_fake.drive_types = {{'D', {kCdrom}}};
    g_fake.fail_allocation_at = 3;  // array, first name, first caption
    PluginInfo info = {};
    BuildDriveCommands(&info);
    ASSERT_EQ(info.CommandCount, 3u);
    EXPECT_NE(info.Commands[0].Name, nullptr);
    EXPECT_EQ(info.Commands[0].Caption, nullptr);
    EXPECT_EQ(info.Commands[0].CommandId, 103);
    EXPECT_EQ(info.Commands[0].Reserved16, -1);
    ReleaseCommandsOf(info);
}

}  // namespace
