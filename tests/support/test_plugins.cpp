#include "support/test_plugins.h"

#include "plugins/recording.h"

std::string testPluginDir() { return CORVANE_TEST_PLUGIN_DIR; }

PluginConfig testPluginConfig() {
    PluginConfig config;
    config.dir = testPluginDir();
    config.gs = "test_gs.so";
    config.spu = "test_spu2.so";
    config.pad = "test_pad.so";
    config.cdvd = "test_cdvd.so";
    return config;
}

void useTestPlugins() { useTestPlugins(testPluginConfig()); }

void useTestPlugins(const PluginConfig& config) {
    overridePluginConfig(config);
    clearRecording();
}

void useNoPlugins() { overridePluginConfig(PluginConfig{}); }
