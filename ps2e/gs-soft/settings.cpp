#include "ps2e/gs-soft/settings.h"

#include <cstdio>
#include <optional>

#include "ps2e/support/settings_file.h"

namespace {
constexpr char kSection[] = "Window";
constexpr char kScaleKey[] = "Scale";
constexpr char kFilterKey[] = "Filter";

void reportBadValue(const std::string& path, const char* key, const std::string& value, const char* kept) {
    std::fprintf(stderr, "gs-soft: %s=%s in [Window] of '%s' is not understood; keeping %s\n", key, value.c_str(),
                 path.c_str(), kept);
}
}  // namespace

GsSettings readGsSettings(const std::string& path) {
    const SettingsFile file = readSettingsFile(path);
    GsSettings settings;
    if (const std::optional<std::string> scale = file.value(kSection, kScaleKey)) {
        if (scale->size() == 1 && (*scale)[0] >= '0' + kGsMinScale && (*scale)[0] <= '0' + kGsMaxScale) {
            settings.scale = (*scale)[0] - '0';
        } else {
            reportBadValue(path, kScaleKey, *scale, "2");
        }
    }
    if (const std::optional<std::string> filter = file.value(kSection, kFilterKey)) {
        if (*filter == "nearest" || *filter == "linear") {
            settings.smoothScaling = *filter == "linear";
        } else {
            reportBadValue(path, kFilterKey, *filter, "linear");
        }
    }
    return settings;
}

bool writeGsSettings(const std::string& path, const GsSettings& settings) {
    SettingsFile file = readSettingsFile(path);
    file.setComment(kSection, "Scale: the window's first size as 1 to 4 times 640x480.");
    file.setComment(kSection, "Filter: linear (smooth) or nearest (sharp pixels) when the picture is scaled.");
    file.set(kSection, kScaleKey, std::to_string(settings.scale));
    file.set(kSection, kFilterKey, settings.smoothScaling ? "linear" : "nearest");
    return writeSettingsFile(path, file);
}
