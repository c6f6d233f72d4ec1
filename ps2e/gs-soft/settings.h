// The window's settings, kept in gs-soft.ini beside Config.ini, section
// "Window": Scale, the window's first size as a multiple of 640x480 (1 to
// 4), and Filter, how the picture is scaled to the window ("linear" or
// "nearest").
#pragma once

#include <string>

struct GsSettings {
    int scale = 2;
    bool smoothScaling = true;
    bool operator==(const GsSettings&) const = default;
};

inline constexpr char kGsSettingsFile[] = "gs-soft.ini";
inline constexpr int kGsMinScale = 1;
inline constexpr int kGsMaxScale = 4;

// An absent file or key gives the default; a value out of range or unknown
// is reported on standard error and the default kept.
GsSettings readGsSettings(const std::string& path);
bool writeGsSettings(const std::string& path, const GsSettings& settings);
