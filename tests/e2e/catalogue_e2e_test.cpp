// The plugin information record of the real Lidwick.dll, read the way a
// host reads it: through byte offsets, with the real version interfaces and
// Wine's drive list, where D: is a CD-ROM drive.
#include "host/record_layout.h"
#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {


using namespace layout;

std::string Text(const void* record, unsigned offset) {
    const char* text = ReadText(record, offset);
    return text != nullptr ? text : "(null)";
}

class CatalogueEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        plugin_ = LoadLibraryA(PluginPath().c_str());
        ASSERT_NE(plugin_, nullptr) << PluginPath();
        init_ = Entry<InitPluginInfoProc>(plugin_, "TTBEvent_InitPluginInfo");
        free_ = Entry<FreePluginInfoProc>(plugin_, "TTBEvent_FreePluginInfo");
        ASSERT_NE(init_, nullptr);
        ASSERT_NE(free_, nullptr);
        char path[MAX_PATH];
        GetModuleFileNameA(plugin_, path, sizeof path);
        full_path_ = path;
    }
    void TearDown() override {
        if (plugin_ != nullptr) {
            FreeLibrary(plugin_);
        }
    }

    HMODULE plugin_ = nullptr;
    InitPluginInfoProc init_ = nullptr;
    FreePluginInfoProc free_ = nullptr;
    std::string full_path_;
};

TEST_F(CatalogueEndToEnd, RecordBytesReadAsAHostExpects) {
    unsigned char* info = static_cast<unsigned char*>(init_(full_path_.c_str()));
    ASSERT_NE(info, nullptr);

    EXPECT_EQ(ReadU16(info, 0), 0u) << "unassigned bytes are zero";
    EXPECT_EQ(Text(info, kInfoName), Sjis(L"CDトレイを開閉"));
    EXPECT_EQ(Text(info, kInfoFileName), full_path_);
    EXPECT_EQ(ReadU16(info, kInfoKind), 1u);
    EXPECT_EQ(ReadU32(info, kInfoVersionHigh), 0x00010000u) << "1.0";
    EXPECT_EQ(ReadU32(info, kInfoVersionLow), 0x00000002u) << "0.2";
    EXPECT_EQ(ReadU32(info, 28), 0u) << "unassigned bytes are zero";
    ASSERT_EQ(ReadU32(info, kInfoCommandCount), 3u);

    const struct {
        int32_t id;
        const char* name;
        const wchar_t* caption;
    } expected[] = {
        {103, "CD Tray Open/Close(D:\\)", L"CDトレイを開閉(D:\\)"},
        {203, "CD Tray Open(D:\\)", L"CDトレイを開く(D:\\)"},
        {303, "CD Tray Close(D:\\)", L"CDトレイを閉じる(D:\\)"},
    };
    for (uint32_t i = 0; i < 3; ++i) {
        const unsigned char* entry = ReadEntry(info, i);
        EXPECT_EQ(static_cast<int32_t>(ReadU32(entry, kCommandId)), expected[i].id);
        EXPECT_EQ(Text(entry, kCommandName), expected[i].name);
        EXPECT_EQ(Text(entry, kCommandCaption), Sjis(expected[i].caption));
        const uint32_t fixed[] = {0, 0xFFFFFFFFu, 4, 0, 0};
        for (unsigned f = 0; f < 5; ++f) {
            EXPECT_EQ(ReadU32(entry, 12 + 4 * f), fixed[f]) << "entry " << i << " offset " << 12 + 4 * f;
        }
    }
    free_(info);
}

TEST_F(CatalogueEndToEnd, NameOfNoFileGivesVersionZero) {
    const char kNoFile[] = "C:\\no\\such\\Plugin.dll";
    void* info = init_(kNoFile);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Text(info, kInfoFileName), kNoFile);
    EXPECT_EQ(ReadU32(info, kInfoVersionHigh), 0u);
    EXPECT_EQ(ReadU32(info, kInfoVersionLow), 0u);
    EXPECT_EQ(ReadU32(info, kInfoCommandCount), 3u);
    free_(info);
}

TEST_F(CatalogueEndToEnd, RecordsAreIndependent) {
    void* first = init_(full_path_.c_str());
    void* second = init_("C:\\other\\Lidwick.dll");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    free_(first);
    EXPECT_EQ(Text(second, kInfoFileName), "C:\\other\\Lidwick.dll");
    EXPECT_EQ(Text(ReadEntry(second, 2), kCommandName), "CD Tray Close(D:\\)");
    free_(second);
}

TEST(TtbhostList, ShowsThePluginAndItsCommandsInUtf8) {
    ProcessResult run = RunTtbhost("--plugin \"" + PluginPath() + "\" list");
    EXPECT_EQ(run.exit_code, 0u) << run.err;
    for (const char* line : {
             "Name:     CDトレイを開閉\n",
             "Version:  1.0.0.2\n",
             "Kind:     1\n",
             "Commands: 3\n",
             "  103  CD Tray Open/Close(D:\\)    CDトレイを開閉(D:\\)\n",
             "  203  CD Tray Open(D:\\)          CDトレイを開く(D:\\)\n",
             "  303  CD Tray Close(D:\\)         CDトレイを閉じる(D:\\)\n",
         }) {
        EXPECT_NE(run.out.find(line), std::string::npos) << "missing: " << line << "in:\n" << run.out;
    }
}

// Run with D: taken away from the prefix (see tests/wine/without-cdrom).
TEST_F(CatalogueEndToEnd, WithoutCdromNoCommands) {
    ASSERT_NE(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM)) << "run under without-cdrom";
    void* info = init_(full_path_.c_str());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(ReadU32(info, kInfoCommandCount), 0u);
    EXPECT_EQ(ReadU32(info, kInfoCommands), 0u);
    EXPECT_EQ(ReadU32(info, kInfoVersionHigh), 0x00010000u);
    free_(info);
}

}  // namespace
