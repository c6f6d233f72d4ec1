// Config.ini: where it lies, what reading a file (or no file) gives, and a
// round trip through writing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/executable_path.h"
#include "platform/user_directories.h"
#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "ps2e/ps2e.h"

static std::ostream& operator<<(std::ostream& out, const PluginConfig& c) {
    return out << "{" << c.dir << ", " << c.gs << ", " << c.spu << ", " << c.pad << ", " << c.cdvd << "}";
}

TEST(Config, LiesBesideTheRunningExecutable) {
    const std::string executable = executablePath();
    ASSERT_TRUE(executable.ends_with("/plugin_tests")) << executable;
    EXPECT_EQ(configFilePath(), executable.substr(0, executable.rfind('/')) + "/Config.ini");
    EXPECT_EQ(directoryOf("no-slash"), "");
}

// The build tree keeps its files beside the executable and tells the
// plugins so before loading them; the user's folders follow the XDG
// variables, or the home folder when they are unset or relative.
TEST(Config, TheBuildTreeKeepsItsFilesBesideItAndTellsThePlugins) {
    const std::string beside = directoryOf(executablePath());
    EXPECT_TRUE(keepsFilesBesideExecutable());
    EXPECT_EQ(settingsDirectory(), beside);
    EXPECT_EQ(screenshotDirectory(), "Screens/");
    unsetenv(CORVANE_SETTINGS_DIR_VARIABLE);
    readConfig();
    ASSERT_NE(std::getenv(CORVANE_SETTINGS_DIR_VARIABLE), nullptr);
    EXPECT_EQ(std::string(std::getenv(CORVANE_SETTINGS_DIR_VARIABLE)), beside);

    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(userConfigDirectory(), "/xdg/config/");
    EXPECT_EQ(userDataDirectory(), "/home/someone/.local/share/") << "a relative value is ignored";
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(userConfigDirectory(), "/home/someone/.config/");
    setenv("HOME", home.c_str(), 1);

    std::filesystem::remove_all("made");
    EXPECT_TRUE(makeDirectories(std::filesystem::absolute("made/a/b/").string()));
    EXPECT_TRUE(isDirectory("made/a/b"));
    EXPECT_TRUE(directoryWritable("made/a/b"));
    EXPECT_TRUE(makeDirectories(std::filesystem::absolute("made/a/b").string())) << "already there";
    std::ofstream("made/file") << "x";
    EXPECT_FALSE(makeDirectories(std::filesystem::absolute("made/file/c").string())) << "a file in the way";
    EXPECT_FALSE(directoryWritable("made/missing"));
}

TEST(Config, ReadingTakesTheKeysOfThePluginSectionAndLeavesTheRestEmpty) {
    const std::pair<const char*, PluginConfig> cases[] = {
        {"[Plugin]\nDir=/opt/p/\nGS=gs.so\nSPU=spu.so\nPAD=pad.so\nCDVD=cd.so\n",
         {"/opt/p/", "gs.so", "spu.so", "pad.so", "cd.so"}},
        {"[Other]\nGS=x.so\n[Plugin]\nPAD=pad.so\n[Later]\nCDVD=y.so\n", {"", "", "", "pad.so", ""}},
        {"; comment\r\n[ plugin ]\r\n  gs = a b.so \r\nsPu=s.so\r\n", {"", "a b.so", "s.so", "", ""}},
        {"[Plugin]\nGS=first.so\nGS=second.so\n", {"", "first.so", "", "", ""}},
        {"GS=gs.so\n", {}},
    };
    for (const auto& [text, expected] : cases) {
        std::ofstream("read-config.ini") << text;
        EXPECT_EQ(readConfigFile("read-config.ini"), expected) << text;
    }
    EXPECT_EQ(readConfigFile("no-such-config.ini"), PluginConfig{});
}

TEST(Config, WritingRoundTripsInKeyOrderAndKeepsOtherSections) {
    const std::string path = "written-config.ini";
    std::ofstream(path) << "[Before]\na=1\n[Plugin]\nGS=old.so\nExtra=gone\n[After]\nb=2\n";
    const PluginConfig config{"/plugins/", "gs.so", "spu2.so", "pad.so", "cdvd.so"};
    ASSERT_TRUE(writeConfigFile(path, config));
    std::ostringstream written;
    written << std::ifstream(path).rdbuf();
    EXPECT_EQ(written.str(),
              "[Before]\na=1\n[Plugin]\nDir=/plugins/\nGS=gs.so\nSPU=spu2.so\nPAD=pad.so\nCDVD=cdvd.so\n[After]\nb=2\n");
    EXPECT_EQ(readConfigFile(path), config);

    std::remove(path.c_str());
    ASSERT_TRUE(writeConfigFile(path, {"", std::string(300, 'g'), "", "", ""}));
    EXPECT_EQ(readConfigFile(path).gs, std::string(kConfigValueMax, 'g'));
    EXPECT_FALSE(writeConfigFile("no-such-dir/Config.ini", config));
}

TEST(Config, AnOverrideReplacesTheFileUntilCleared) {
    const PluginConfig chosen{"/d/", "g", "s", "p", "c"};
    overridePluginConfig(chosen);
    readConfig();
    EXPECT_EQ(pluginConfig, chosen);
    clearPluginConfigOverride();
    readConfig();  // no Config.ini beside the test executable
    EXPECT_EQ(pluginConfig, shippedPluginConfig());
}

// With no Config.ini the shipped plugins are chosen from the folder beside
// the executable; the build puts every one of them beside corvane-run, and
// each fills its slot there.
TEST(Config, AFreshConfigurationChoosesTheShippedPluginsAndTheBuildHasThemAll) {
    const PluginConfig fresh = shippedPluginConfig();
    EXPECT_EQ(fresh.dir, directoryOf(executablePath()) + "plugins/");
    EXPECT_EQ(PluginConfig({"", fresh.gs, fresh.spu, fresh.pad, fresh.cdvd}),
              PluginConfig({"", "gs-soft.so", "spu2-null.so", "pad-sdl.so", "cdvd-image.so"}));

    const std::string dir = CORVANE_BUNDLED_PLUGIN_DIR;
    EXPECT_EQ(loadGsPlugin(dir + fresh.gs), 1u);
    EXPECT_EQ(loadPad1Plugin(dir + fresh.pad), 1u);
    EXPECT_EQ(loadPad2Plugin(dir + fresh.pad), 1u);
    EXPECT_EQ(loadSpu2Plugin(dir + fresh.spu), 1u);
    EXPECT_EQ(loadCdvdPlugin(dir + fresh.cdvd), 1u);
}
