#include "ps2e/cdvd-image/cdvd_settings.h"

#include <cstdlib>

#include "ps2e/support/settings_file.h"

namespace {
constexpr char kSection[] = "Disc";
constexpr char kImageKey[] = "Image";
}  // namespace

std::string configuredImage(const std::string& settingsPath) {
    return readSettingsFile(settingsPath).value(kSection, kImageKey).value_or("");
}

bool storeConfiguredImage(const std::string& settingsPath, const std::string& image) {
    SettingsFile settings = readSettingsFile(settingsPath);
    settings.set(kSection, kImageKey, image);
    return writeSettingsFile(settingsPath, settings);
}

std::string imageToServe(const std::string& settingsPath) {
    const char* fromEnvironment = std::getenv(kCdvdImageVariable);
    if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') return fromEnvironment;
    return configuredImage(settingsPath);
}
