#include "plugin/lifecycle.h"

#include "plugin/host_contract.h"
#include "tests/fake/fake_fixture.h"
#include "tests/fake/sjis.h"

#include <string>
#include <vector>

namespace {

const char* const kMessageNames[] = {
    "TTBase HShell Activate ShellWindow", "TTBase HShell GetMinRect",
    "TTBase HShell Language",             "TTBase HShell Redraw",
    "TTBase HShell TaskMan",              "TTBase HShell WindowActivated",
    "TTBase HShell WindowCreated",        "TTBase HShell WindowDestroyed",
    "TTBase HMouse Action",               "TTBase ICON NOTIFY",
    "TTBase LOAD DATA FILE",              "TTBase SAVE DATA FILE",
};

const char* const kServiceNames[] = {
    "TTBPlugin_GetPluginInfo",   "TTBPlugin_SetPluginInfo",    "TTBPlugin_FreePluginInfo",
    "TTBPlugin_SetMenuProperty", "TTBPlugin_GetAllPluginInfo",
};

const char kFile[] = "C:\\TTBase\\Plugins\\Lidwick.dll";

char g_library_module;  // stands for the library's own module handle

class LifecycleTest : public FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        g_PluginState.ModuleHandle = &g_library_module;  // as the process-attach hook leaves it
    }
};

TEST_F(LifecycleTest, InitRegistersCopiesBindsAndLoadsInThatOrder) {
    g_fake.module_file_name = "C:\\TTBase\\Plugins\\Lidwick.dll";
    EXPECT_EQ(TTBEvent_Init(kFile, 0xCAFE), 1);

    std::vector<std::string> expected;
    for (const char* name : kMessageNames) {
        expected.push_back(std::string("register ") + name);
    }
    expected.push_back("alloc " + std::to_string(sizeof kFile));
    expected.push_back("release null");  // no earlier copy to release
    expected.push_back("main module");
    for (const char* name : kServiceNames) {
        expected.push_back(std::string("export ") + name + " of the host");
    }
    expected.push_back("module file name 259");
    expected.push_back("profile [Setting] AutoCloseTime 10 C:\\TTBase\\Plugins\\Lidwick.ini");
    expected.push_back("profile [Setting] Threshold 500 C:\\TTBase\\Plugins\\Lidwick.ini");
    EXPECT_EQ(g_fake.log, expected);

    const HostBinding& binding = g_PluginState.HostBinding;
    for (int i = 0; i < kHostMessageCount; ++i) {
        EXPECT_EQ(binding.Messages[i], 0xC100u + static_cast<uint32_t>(i)) << kMessageNames[i];
    }
    EXPECT_EQ(binding.HostValue, 0xCAFEu);
    EXPECT_STREQ(g_PluginState.PluginFileName, kFile);
    EXPECT_EQ(g_PluginState.Settings.Threshold, 500u);
    EXPECT_EQ(g_PluginState.Settings.AutoCloseTime, 10u);
}

TEST_F(LifecycleTest, HostServicesAreBoundWhereExportedAndNullElsewhere) {
    g_fake.host_exports = {"TTBPlugin_SetMenuProperty", "TTBPlugin_GetPluginInfo"};
    TTBEvent_Init(kFile, 0);
    const HostBinding& binding = g_PluginState.HostBinding;
    for (int i = 0; i < kHostServiceCount; ++i) {
        const bool exported = g_fake.host_exports.count(kServiceNames[i]) != 0;
        EXPECT_EQ(binding.Services[i], exported ? FakeExportAddress(kServiceNames[i]) : nullptr)
            << kServiceNames[i];
    }

    g_fake.host_exports.clear();
    EXPECT_EQ(TTBEvent_Init(kFile, 0), 1);
    for (void* service : binding.Services) {
        EXPECT_EQ(service, nullptr);
    }
}

TEST_F(LifecycleTest, FailedRegistrationLeavesZeroAndStillSucceeds) {
    g_fake.unregistrable = {"TTBase HShell Redraw", "TTBase SAVE DATA FILE"};
    EXPECT_EQ(TTBEvent_Init(kFile, 0), 1);
    EXPECT_EQ(g_PluginState.HostBinding.Messages[3], 0u);
    EXPECT_EQ(g_PluginState.HostBinding.Messages[11], 0u);
    EXPECT_NE(g_PluginState.HostBinding.Messages[4], 0u);
}

TEST_F(LifecycleTest, SecondInitKeepsTheNewNameAndRereadsEverything) {
    TTBEvent_Init("C:\\one\\Lidwick.dll", 1);
    g_fake.profile["Threshold"] = 800;
    g_fake.host_exports = {"TTBPlugin_GetAllPluginInfo"};
    g_fake.log.clear();
    EXPECT_EQ(TTBEvent_Init("C:\\two\\Lidwick.dll", 2), 1);

    EXPECT_STREQ(g_PluginState.PluginFileName, "C:\\two\\Lidwick.dll");
    EXPECT_EQ(g_fake.live_blocks.size(), 1u) << "the first copy is released";
    EXPECT_EQ(g_PluginState.HostBinding.HostValue, 2u);
    EXPECT_EQ(g_PluginState.HostBinding.Messages[0], 0xC100u + 12) << "overwritten";
    EXPECT_NE(g_PluginState.HostBinding.Services[4], nullptr);
    EXPECT_EQ(g_PluginState.Settings.Threshold, 800u);
}

TEST_F(LifecycleTest, UnloadThenInitWorksLikeAFirstInit) {
    TTBEvent_Init(kFile, 7);
    TTBEvent_Unload();
    EXPECT_STREQ(g_PluginState.PluginFileName, kFile) << "unload releases nothing";
    EXPECT_EQ(g_fake.live_blocks.size(), 1u);
    g_fake.log.clear();
    EXPECT_EQ(TTBEvent_Init(kFile, 7), 1);
    EXPECT_EQ(g_fake.log.size(), 12u + 2 + 1 + 5 + 3);
    EXPECT_EQ(g_fake.live_blocks.size(), 1u);
    EXPECT_EQ(g_PluginState.Settings.Threshold, 500u);
}

TEST_F(LifecycleTest, NullOrUncopyableFileNameStillInitialises) {
    EXPECT_EQ(TTBEvent_Init(nullptr, 0), 1);
    EXPECT_EQ(g_PluginState.PluginFileName, nullptr);
    EXPECT_EQ(g_PluginState.Settings.Threshold, 500u);

    TTBEvent_Init(kFile, 0);
    g_fake.fail_allocation_at = g_fake.allocation_count + 1;
    EXPECT_EQ(TTBEvent_Init("C:\\other.dll", 0), 1);
    EXPECT_EQ(g_PluginState.PluginFileName, nullptr);
    EXPECT_TRUE(g_fake.live_blocks.empty()) << "the old copy is released all the same";
}

TEST_F(LifecycleTest, DeviceChangeShowsOneNoticePerMessage) {
    const std::string notice = "message box [" + Sjis("変わった") + "] []";
    TTBEvent_WindowsHook(0x0219, 0, 0);
    TTBEvent_WindowsHook(0x0219, 0x8000, -1);
    EXPECT_EQ(g_fake.log, (std::vector<std::string>{notice, notice}));

    g_fake.log.clear();
    for (uint32_t message : {0x0218u, 0x021Au, 0x0000u, 0x0010u, 0x10219u}) {
        TTBEvent_WindowsHook(message, 0x8000, 0);
    }
    EXPECT_TRUE(g_fake.log.empty());
}

}  // namespace
