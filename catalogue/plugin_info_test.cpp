#include "catalogue/plugin_info.h"

#include "platform/platform.h"
#include "plugin/host_contract.h"
#include "tests/fake/fake_fixture.h"
#include "tests/fake/sjis.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The record is packed: gtest takes its arguments by reference, which a
// misaligned pointer member cannot bind to, so pass a copy.
const char* Pointer(const char* value) {
    return value;
}

const char kFile[] = "C:\\TTBase\\Plugins\\Lidwick.dll";
const uint32_t kCdrom = 5;

class PluginInfoTest : public FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        g_fake.drive_list = FakeDriveList({"C:\\", "D:\\", "F:\\"});
        g_fake.drive_types = {{'D', {kCdrom}}, {'F', {kCdrom}}};
        g_fake.version_info_size = 1700;
        g_fake.version_high = 0x00010000;
        g_fake.version_low = 0x00000002;
    }
};

TEST_F(PluginInfoTest, RecordDescribesThePluginAndItsCommands) {
    PluginInfo* info = TTBEvent_InitPluginInfo(kFile);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Reserved0, 0u);
    EXPECT_EQ(std::string(info->Name), Sjis("CDトレイを開閉"));
    EXPECT_STREQ(info->FileName, kFile);
    EXPECT_NE(Pointer(info->FileName), g_PluginState.PluginFileName) << "the record has its own copy";
    EXPECT_STREQ(g_PluginState.PluginFileName, kFile);
    EXPECT_EQ(info->PluginKind, 1u);
    EXPECT_EQ(info->VersionHigh, 0x00010000u);
    EXPECT_EQ(info->VersionLow, 0x00000002u);
    EXPECT_EQ(info->CommandCount, 6u);
    ASSERT_NE(info->Commands, nullptr);
    EXPECT_EQ(info->Commands[3].CommandId, 105);
    EXPECT_EQ(info->Reserved28, 0u);
    // The version query reads the very name the host gave.
    EXPECT_NE(std::find(g_fake.log.begin(), g_fake.log.end(), std::string("version size ") + kFile),
              g_fake.log.end());
    TTBEvent_FreePluginInfo(info);
    EXPECT_EQ(g_fake.live_blocks.size(), 1u) << "only the kept file name is left";
}

TEST_F(PluginInfoTest, ReleaseFreesEntriesThenArrayFileNameNameAndRecord) {
    PluginInfo* info = BuildPluginInfo(kFile);
    ASSERT_NE(info, nullptr);
    std::vector<std::string> expected;
    for (uint32_t i = 0; i < info->CommandCount; ++i) {
        expected.push_back("release " + FakePointerText(info->Commands[i].Name));
        expected.push_back("release " + FakePointerText(info->Commands[i].Caption));
    }
    for (const void* block : {static_cast<const void*>(info->Commands),
                              static_cast<const void*>(info->FileName),
                              static_cast<const void*>(info->Name), static_cast<const void*>(info)}) {
        expected.push_back("release " + FakePointerText(block));
    }
    g_fake.log.clear();
    ReleasePluginInfo(info);
    std::vector<std::string> released;
    for (const std::string& entry : g_fake.log) {
        if (entry != "release null") {
            released.push_back(entry);
        }
    }
    EXPECT_EQ(released, expected);
}

TEST_F(PluginInfoTest, NoCdromDriveGivesACompleteRecordWithoutCommands) {
    g_fake.drive_types.clear();
    PluginInfo* info = BuildPluginInfo(kFile);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->CommandCount, 0u);
    EXPECT_EQ(info->Commands, nullptr);
    EXPECT_NE(Pointer(info->Name), nullptr);
    EXPECT_NE(Pointer(info->FileName), nullptr);
    EXPECT_EQ(g_fake.live_blocks.size(), 4u) << "kept name, record, name, file name";
    ReleasePluginInfo(info);
    EXPECT_EQ(g_fake.live_blocks.size(), 1u);
}

TEST_F(PluginInfoTest, NullAndEmptyRecordsAreSafeToRelease) {
    ReleasePluginInfo(nullptr);
    TTBEvent_FreePluginInfo(nullptr);
    auto* empty = static_cast<PluginInfo*>(PlatformAllocate(sizeof(PluginInfo)));
    *empty = PluginInfo();
    empty->CommandCount = 3;  // a count without an array is skipped, not read
    ReleasePluginInfo(empty);
    EXPECT_TRUE(g_fake.live_blocks.empty());
}

TEST_F(PluginInfoTest, EachCallKeepsTheNewFileNameAndReleasesTheOld) {
    PluginInfo* first = BuildPluginInfo("C:\\one\\Lidwick.dll");
    PluginInfo* second = BuildPluginInfo("C:\\two\\Lidwick.dll");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(g_PluginState.PluginFileName, "C:\\two\\Lidwick.dll");

    // Two records share nothing: releasing one leaves the other readable.
    ReleasePluginInfo(first);
    EXPECT_STREQ(second->FileName, "C:\\two\\Lidwick.dll");
    EXPECT_STREQ(second->Commands[5].Name, "CD Tray Close(F:\\)");
    ReleasePluginInfo(second);
    EXPECT_EQ(g_fake.live_blocks.size(), 1u);
    EXPECT_EQ(g_fake.live_blocks.count(g_PluginState.PluginFileName), 1u);
}

TEST_F(PluginInfoTest, NullFileNameGivesNullFileNameAndVersionZero) {
    PluginInfo* info = TTBEvent_InitPluginInfo(nullptr);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(g_PluginState.PluginFileName, nullptr);
    EXPECT_EQ(Pointer(info->FileName), nullptr);
    EXPECT_EQ(info->VersionHigh, 0u);
    EXPECT_EQ(info->VersionLow, 0u);
    EXPECT_EQ(info->CommandCount, 6u);
    TTBEvent_FreePluginInfo(info);
    EXPECT_TRUE(g_fake.live_blocks.empty());
}

// Fail each allocation in turn: the record must still follow the rules and
// release must free everything but the kept file name.
TEST_F(PluginInfoTest, EveryAllocationFailureIsSurvived) {
    PluginInfo* clean = BuildPluginInfo(kFile);
    ReleasePluginInfo(clean);
    const int allocations = g_fake.allocation_count;
    ASSERT_GE(allocations, 1 + 1 + 2 + 1 + 1 + 12);

    for (int failing = 1; failing <= allocations; ++failing) {
        SCOPED_TRACE("failing allocation " + std::to_string(failing));
        ResetFake();
        SetUp();
        g_PluginState = PluginState();
        g_fake.fail_allocation_at = failing;

        PluginInfo* info = BuildPluginInfo(kFile);
        // Which block was refused decides what is missing; find its size.
        std::vector<std::string> allocs;
        for (const std::string& entry : g_fake.log) {
            if (entry.compare(0, 6, "alloc ") == 0) {
                allocs.push_back(entry.substr(6));
            }
        }
        ASSERT_GE(allocs.size(), static_cast<size_t>(failing));
        const std::string refused = allocs[static_cast<size_t>(failing) - 1];

        if (refused == std::to_string(sizeof(PluginInfo))) {
            EXPECT_EQ(info, nullptr);
            EXPECT_STREQ(g_PluginState.PluginFileName, kFile) << "the kept name survives";
            EXPECT_EQ(g_fake.live_blocks.size(), 1u);
            continue;
        }
        ASSERT_NE(info, nullptr);
        int null_texts = 0;
        null_texts += info->Name == nullptr;
        null_texts += info->FileName == nullptr;
        EXPECT_EQ(info->CommandCount % 3, 0u);
        EXPECT_EQ(info->Commands == nullptr, info->CommandCount == 0);
        for (uint32_t i = 0; i < info->CommandCount; ++i) {
            null_texts += info->Commands[i].Name == nullptr;
            null_texts += info->Commands[i].Caption == nullptr;
            EXPECT_EQ(info->Commands[i].Reserved20, 4u);
        }
        if (refused == std::to_string(g_fake.version_info_size)) {
            EXPECT_EQ(info->VersionHigh, 0u);
            EXPECT_EQ(null_texts, 0);
        } else if (refused == std::to_string(6 * sizeof(PluginCommandInfo))) {
            EXPECT_EQ(info->CommandCount, 0u);
            EXPECT_EQ(null_texts, 0);
        } else if (failing == 1) {
            // The kept file name could not be copied: no name, no version.
            EXPECT_EQ(g_PluginState.PluginFileName, nullptr);
            EXPECT_EQ(Pointer(info->FileName), nullptr);
            EXPECT_EQ(info->VersionHigh, 0u);
            EXPECT_EQ(null_texts, 1);
        } else {
            EXPECT_EQ(null_texts, 1);
            EXPECT_EQ(info->CommandCount, 6u);
            EXPECT_EQ(info->VersionLow, 2u);
        }
        ReleasePluginInfo(info);
        EXPECT_EQ(g_fake.live_blocks.size(), g_PluginState.PluginFileName == nullptr ? 0u : 1u);
    }
}

struct VersionCase {
    const char* name;
    uint32_t size;
    bool read_ok;
    bool query_ok;
    int fail_allocation_at;
    uint32_t expected_high;
    uint32_t expected_low;
};

// Named in test output, rather than dumped as raw bytes with their padding.
void PrintTo(const VersionCase& c, std::ostream* out) {
    *out << c.name;
}

const VersionCase kVersionCases[] = {
    {"Found", 1700, true, true, 0, 0x00010000, 2},
    {"NoVersionInformation", 0, true, true, 0, 0, 0},
    {"BlockNotAllocatable", 1700, true, true, 1, 0, 0},
    {"ReadFails", 1700, false, true, 0, 0, 0},
    {"NoFixedVersion", 1700, true, false, 0, 0, 0},
};

class QueryFileVersionTest : public FakeTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(QueryFileVersionTest, ZeroUnlessEveryStepSucceeds) {
    const VersionCase& c = GetParam();
    g_fake.version_info_size = c.size;
    g_fake.version_read_ok = c.read_ok;
    g_fake.version_query_ok = c.query_ok;
    g_fake.version_high = 0x00010000;
    g_fake.version_low = 2;
    g_fake.fail_allocation_at = c.fail_allocation_at;

    uint32_t high = 0xFFFFFFFF;
    uint32_t low = 0xFFFFFFFF;
    QueryFileVersion(kFile, &high, &low);
    EXPECT_EQ(high, c.expected_high);
    EXPECT_EQ(low, c.expected_low);
    EXPECT_TRUE(g_fake.live_blocks.empty()) << "the block is released on every path";
}

INSTANTIATE_TEST_SUITE_P(Cases, QueryFileVersionTest, ::testing::ValuesIn(kVersionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginInfoTest, NullFileNameAsksNothingAboutVersions) {
    uint32_t high = 7;
    uint32_t low = 7;
    QueryFileVersion(nullptr, &high, &low);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(low, 0u);
    EXPECT_TRUE(g_fake.log.empty());
}

}  // namespace
