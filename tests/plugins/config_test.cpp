// Config.ini: where it lies, what reading a file (or no file) gives, and a
// round trip through writing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/executable_path.h"
#include "plugins/config.h"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

}  // namespace

static std::ostream& operator<<(std::ostream& out, const PluginConfig& c) {
    return out << "{" << c.dir << ", " << c.gs << ", " << c.spu << ", " << c.pad << ", " << c.cdvd << "}";
}

TEST(Config, LiesBesideTheRunningExecutable) {
    const std::string executable = executablePath();
    ASSERT_FALSE(executable.empty());
    EXPECT_EQ(executable.substr(executable.rfind('/') + 1), "plugin_tests");
    EXPECT_EQ(configFilePath(), executable.substr(0, executable.rfind('/')) + "/Config.ini");
    EXPECT_EQ(directoryOf("no-slash"), "");
}

TEST(Config, ReadingTakesTheKeysOfThePluginSectionAndLeavesTheRestEmpty) {
    struct Case {
        const char* name;
        const char* text;
        PluginConfig expected;
    };
    const Case cases[] = {
        {"all keys", "[Plugin]\nDir=/opt/p/\nGS=gs.so\nSPU=spu.so\nPAD=pad.so\nCDVD=cd.so\n",
         {"/opt/p/", "gs.so", "spu.so", "pad.so", "cd.so"}},
        {"missing keys", "[Plugin]\nGS=gs.so\n", {"", "gs.so", "", "", ""}},
        {"keys of another section", "[Other]\nGS=x.so\n[Plugin]\nPAD=pad.so\n[Later]\nCDVD=y.so\n",
         {"", "", "", "pad.so", ""}},
        {"case, spaces, comments and CRLF", "; comment\r\n[ plugin ]\r\n  gs = a b.so \r\nsPu=s.so\r\n",
         {"", "a b.so", "s.so", "", ""}},
        {"the first of a repeated key", "[Plugin]\nGS=first.so\nGS=second.so\n", {"", "first.so", "", "", ""}},
        {"no section", "GS=gs.so\n", {}},
    };
    const std::string path = "read-config.ini";
    for (const Case& c : cases) {
        writeText(path, c.text);
        EXPECT_EQ(readConfigFile(path), c.expected) << c.name;
    }
    EXPECT_EQ(readConfigFile("no-such-config.ini"), PluginConfig{});
}

TEST(Config, WritingRoundTripsInKeyOrderAndKeepsOtherSections) {
    const std::string path = "written-config.ini";
    writeText(path, "[Before]\na=1\n[Plugin]\nGS=old.so\nExtra=gone\n[After]\nb=2\n");
    const PluginConfig config{"/plugins/", "gs.so", "spu2.so", "pad.so", "cdvd.so"};
    ASSERT_TRUE(writeConfigFile(path, config));
    EXPECT_EQ(readText(path),
              "[Before]\na=1\n[Plugin]\nDir=/plugins/\nGS=gs.so\nSPU=spu2.so\nPAD=pad.so\nCDVD=cdvd.so\n[After]\nb=2\n");
    EXPECT_EQ(readConfigFile(path), config);

    std::remove(path.c_str());
    const PluginConfig longName{"", std::string(300, 'g'), "", "", ""};
    ASSERT_TRUE(writeConfigFile(path, longName));
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
    EXPECT_EQ(pluginConfig, PluginConfig{});
}
