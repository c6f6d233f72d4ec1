// Config.ini: the plugin directory and the file names
// of the GS, SPU2, PAD and CDVD libraries, in section "Plugin" under the
// keys Dir, GS, SPU, PAD and CDVD.
#pragma once

#include <optional>
#include <string>

struct PluginConfig {
    std::string dir;   // ends in '/', so that dir + file is the library's path
    std::string gs;
    std::string spu;   // the SPU2 library
    std::string pad;   // serves both controller ports
    std::string cdvd;

    bool operator==(const PluginConfig&) const = default;
};

// The configuration now in force; empty strings until readConfig.
extern PluginConfig pluginConfig;

// The plugins shipped with Corvane, chosen when no Config.ini lies beside
// the executable and by corvane-run unless its options name others.
inline constexpr char kShippedGs[] = "gs-soft.so";
inline constexpr char kShippedSpu2[] = "spu2-null.so";
inline constexpr char kShippedPad[] = "pad-sdl.so";
inline constexpr char kShippedCdvd[] = "cdvd-image.so";

// The folder holding the shipped plugins, ending in '/': "plugins" beside
// the running executable (the build tree's layout), else the installed
// folder relative to it; the first of them when neither exists, and empty
// when the executable's path cannot be found.
std::string shippedPluginDir();
PluginConfig shippedPluginConfig();

// Where this copy of Corvane keeps the files it writes. A build tree or an
// unpacked copy (the "plugins" folder beside the executable, or no
// installed folder either, in a folder this user may write) keeps them
// beside the executable; an installed program (its plugins in the
// installed folder) or one in a folder the user may not write keeps
// Config.ini and the plugins' settings in the user's configuration folder
// (~/.config/corvane/) and its pictures in the user's data folder
// (~/.local/share/corvane/Screens/).
bool keepsFilesBesideExecutable();
// The folder of Config.ini and the plugins' settings, ending in '/'
// (created when it is the user's); empty when the executable's path cannot
// be found.
std::string settingsDirectory();
// Where Screenshot and F8 put the GS plugin's pictures: "Screens/" (in the
// current folder) for a copy that keeps its files beside the executable,
// else the user's data folder's corvane/Screens/.
std::string screenshotDirectory();
// Where the desktop program keeps saved machine states (its quick slots,
// and the first folder its Save State dialog offers), ending in '/':
// "States/" beside the executable for a copy that keeps its files there,
// else the user's data folder's corvane/States/. Not created here.
std::string saveStateDirectory();

// The longest value a key holds; longer values are cut, as a 256-byte
// profile buffer cuts them.
inline constexpr std::size_t kConfigValueMax = 255;

// Config.ini in settingsDirectory(), or empty when the executable's path
// cannot be found (then nothing is read or written).
std::string configFilePath();

// readConfig also tells the plugins where the settings folder is, through
// the settings variable of ps2e.h, before any of them is loaded. It
// replaces pluginConfig with the file's values (a missing key
// gives an empty string; no file at all gives shippedPluginConfig(), so a
// fresh installation runs with the shipped plugins). A front end that chooses the plugins itself
// (the headless runner, tests) overrides the file: readConfig then takes
// the override instead.
void readConfig();
void writeConfig();
void overridePluginConfig(const PluginConfig& config);
void clearPluginConfigOverride();

// The same on a file named by the caller; false when the file cannot be
// written.
PluginConfig readConfigFile(const std::string& path);
bool writeConfigFile(const std::string& path, const PluginConfig& config);
