#include "settings/settings.h"

#include "tests/fake/fake_fixture.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

struct PathCase {
    const char* name;
    std::string module_path;
    bool result_set;
    uint32_t result;
    std::string expected_profile_path;  // empty: no file is read
};

// Named in test output, rather than dumped as raw bytes with their padding.
void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.name;
}

std::string PathOfLength(size_t length) {
    std::string path = "C:\\";
    path += std::string(length - path.size() - 4, 'p');
    path += ".dll";
    return path;
}

std::string WithIni(std::string path) {
    path.replace(path.size() - 3, 3, "ini");
    return path;
}

const PathCase kPathCases[] = {
    {"BesideTheLibrary", "C:\\TTBase\\Lidwick.dll", false, 0, "C:\\TTBase\\Lidwick.ini"},
    {"RenamedLibrary", "D:\\x\\Tray.DLL", false, 0, "D:\\x\\Tray.ini"},
    {"OnlyTheLastThreeCharsChange", "C:\\x\\NOEXT", false, 0, "C:\\x\\NOini"},
    {"ExactlyThreeChars", "dll", false, 0, "ini"},
    {"ShorterThanThreeChars", "ab", false, 0, ""},
    {"PathReadFails", "C:\\TTBase\\Lidwick.dll", true, 0, ""},
    {"LongestPathThatFits", PathOfLength(258), false, 0, WithIni(PathOfLength(258))},
    // The system cuts a 259-char path to 258 and answers 259: some other file.
    {"PathCutToFit", PathOfLength(259), false, 0, ""},
    {"MuchLongerPath", PathOfLength(600), false, 0, ""},
};

class SettingsPathTest : public FakeTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(SettingsPathTest, ReadsTheLibrarysIniOrFallsBackToDefaults) {
    const PathCase& c = GetParam();
    g_fake.module_file_name = c.module_path;
    g_fake.module_file_name_result_set = c.result_set;
    g_fake.module_file_name_result = c.result;
    g_fake.profile = {{"Threshold", 1234}, {"AutoCloseTime", 77}};
    g_PluginState.ModuleHandle = &g_fake;

    LoadSettings();

    std::vector<std::string> expected = {"module file name 259"};
    if (!c.expected_profile_path.empty()) {
        expected.push_back("profile [Setting] AutoCloseTime 10 " + c.expected_profile_path);
        expected.push_back("profile [Setting] Threshold 500 " + c.expected_profile_path);
    }
    EXPECT_EQ(g_fake.log, expected);
    const bool read = !c.expected_profile_path.empty();
    EXPECT_EQ(g_PluginState.Settings.Threshold, read ? 1234u : 500u);
    EXPECT_EQ(g_PluginState.Settings.AutoCloseTime, read ? 77u : 10u);
}

INSTANTIATE_TEST_SUITE_P(Paths, SettingsPathTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

using SettingsTest = FakeTest;

TEST_F(SettingsTest, AsksAboutTheLibraryItselfNotTheExecutable) {
    g_PluginState.ModuleHandle = &g_fake;
    LoadSettings();
    ASSERT_FALSE(g_fake.log.empty());
    EXPECT_EQ(g_fake.log[0], "module file name 259");
}

TEST_F(SettingsTest, ValuesAreTakenAsUnsigned) {
    g_PluginState.ModuleHandle = &g_fake;
    g_fake.profile = {{"Threshold", static_cast<uint32_t>(-1)}, {"AutoCloseTime", 0}};
    LoadSettings();
    EXPECT_EQ(g_PluginState.Settings.Threshold, 4294967295u);
    EXPECT_EQ(g_PluginState.Settings.AutoCloseTime, 0u);
}

TEST_F(SettingsTest, ZeroThresholdIsKept) {
    g_fake.profile = {{"Threshold", 0}};
    g_PluginState.ModuleHandle = &g_fake;
    g_PluginState.Settings.Threshold = 999;
    LoadSettings();
    EXPECT_EQ(g_PluginState.Settings.Threshold, 0u);
}

}  // namespace
