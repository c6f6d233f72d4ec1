#include "plugins/config.h"

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "platform/executable_path.h"
#include "platform/user_directories.h"
#include "ps2e/ps2e.h"

PluginConfig pluginConfig;

namespace {

std::optional<PluginConfig> configOverride;

constexpr std::string_view kSection = "Plugin";

// The keys in the order they are written, each with its field.
struct ConfigKey {
    std::string_view name;
    std::string PluginConfig::*field;
};
constexpr std::array<ConfigKey, 5> kKeys{{
    {"Dir", &PluginConfig::dir},
    {"GS", &PluginConfig::gs},
    {"SPU", &PluginConfig::spu},
    {"PAD", &PluginConfig::pad},
    {"CDVD", &PluginConfig::cdvd},
}};

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// `line` (trimmed, starting with '[') opens the "Plugin" section.
bool isPluginSectionHeader(std::string_view line) {
    const std::size_t close = line.find(']');
    return close != std::string_view::npos && sameIgnoringCase(trimmed(line.substr(1, close - 1)), kSection);
}

// A profile file: section names and key names match without regard to
// case; the first occurrence of a key in its section wins.
PluginConfig parseConfig(std::istream& in) {
    PluginConfig config;
    std::array<bool, kKeys.size()> seen{};
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = trimmed(line);
        if (text.empty() || text[0] == ';') continue;
        if (text.front() == '[') {
            inSection = isPluginSectionHeader(text);
            continue;
        }
        const std::size_t equals = text.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view name = trimmed(text.substr(0, equals));
        const std::string_view value = trimmed(text.substr(equals + 1));
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            if (seen[i] || !sameIgnoringCase(name, kKeys[i].name)) continue;
            seen[i] = true;
            config.*kKeys[i].field = std::string(value.substr(0, kConfigValueMax));
        }
    }
    return config;
}

}  // namespace

std::string shippedPluginDir() {
    const std::string directory = directoryOf(executablePath());
    if (directory.empty()) return {};
    const std::string besideExecutable = directory + "plugins/";
    const std::string installed = directory + CORVANE_INSTALLED_PLUGIN_DIR_FROM_BINARIES "/";
    if (!isDirectory(besideExecutable) && isDirectory(installed)) return installed;
    return besideExecutable;
}

bool keepsFilesBesideExecutable() {
    const std::string directory = directoryOf(executablePath());
    if (directory.empty()) return true;
    const bool installed = shippedPluginDir() != directory + "plugins/";
    return !installed && directoryWritable(directory);
}

namespace {

// `folder` under the user's base folder `base`, created; empty when there
// is no such base folder or it cannot be made.
std::string userFolder(const std::string& base, const std::string& folder) {
    if (base.empty() || !makeDirectories(base + folder)) return {};
    return base + folder;
}

}  // namespace

std::string settingsDirectory() {
    const std::string besideExecutable = directoryOf(executablePath());
    if (keepsFilesBesideExecutable()) return besideExecutable;
    const std::string user = userFolder(userConfigDirectory(), "corvane/");
    return user.empty() ? besideExecutable : user;
}

std::string screenshotDirectory() {
    constexpr char kBesideExecutable[] = "Screens/";
    if (keepsFilesBesideExecutable()) return kBesideExecutable;
    const std::string user = userFolder(userDataDirectory(), "corvane/Screens/");
    return user.empty() ? kBesideExecutable : user;
}

std::string saveStateDirectory() {
    const std::string besideExecutable = directoryOf(executablePath()) + "States/";
    if (keepsFilesBesideExecutable()) return besideExecutable;
    const std::string user = userDataDirectory();
    return user.empty() ? besideExecutable : user + "corvane/States/";
}

PluginConfig shippedPluginConfig() { return {shippedPluginDir(), kShippedGs, kShippedSpu2, kShippedPad, kShippedCdvd}; }

std::string configFilePath() {
    const std::string directory = settingsDirectory();
    return directory.empty() ? std::string() : directory + "Config.ini";
}

PluginConfig readConfigFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) return PluginConfig{};
    return parseConfig(in);
}

// Other sections of the file are kept as they were; the "Plugin" section
// is written where it stood (or at the end), keys in the order Dir, GS, SPU,
// PAD, CDVD.
bool writeConfigFile(const std::string& path, const PluginConfig& config) {
    std::ostringstream section;
    section << '[' << kSection << "]\n";
    for (const ConfigKey& key : kKeys) {
        section << key.name << '=' << std::string_view(config.*key.field).substr(0, kConfigValueMax) << '\n';
    }

    std::ostringstream text;
    bool written = false;
    bool inSection = false;
    std::ifstream in(path);
    std::string line;
    while (in && std::getline(in, line)) {
        const std::string_view trimmedLine = trimmed(line);
        if (!trimmedLine.empty() && trimmedLine.front() == '[') {
            inSection = isPluginSectionHeader(trimmedLine);
            if (inSection && !written) {
                text << section.str();
                written = true;
            }
        }
        if (!inSection) text << line << '\n';
    }
    in.close();
    if (!written) text << section.str();

    std::ofstream out(path, std::ios::trunc);
    out << text.str();
    out.close();
    return static_cast<bool>(out);
}

void readConfig() {
    setenv(CORVANE_SETTINGS_DIR_VARIABLE, settingsDirectory().c_str(), 1);
    if (configOverride) {
        pluginConfig = *configOverride;
        return;
    }
    const std::string path = configFilePath();
    if (path.empty()) return;
    struct stat status {};
    pluginConfig = stat(path.c_str(), &status) == 0 ? readConfigFile(path) : shippedPluginConfig();
}

void writeConfig() {
    const std::string path = configFilePath();
    if (!path.empty()) writeConfigFile(path, pluginConfig);
}

void overridePluginConfig(const PluginConfig& config) { configOverride = config; }

void clearPluginConfigOverride() { configOverride.reset(); }
