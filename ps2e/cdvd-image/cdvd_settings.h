// Which image the CDVD plugin serves: CORVANE_CDVD_IMAGE when it is set
// (corvane-run --disc sets it), otherwise the image chosen with
// CDVDconfigure, kept as "Image" in section "Disc" of cdvd-image.ini
// beside Config.ini.
#pragma once

#include <string>

inline constexpr char kCdvdSettingsFile[] = "cdvd-image.ini";
inline constexpr char kCdvdImageVariable[] = "CORVANE_CDVD_IMAGE";

// The image named by the settings file at `settingsPath`; empty when none.
std::string configuredImage(const std::string& settingsPath);
bool storeConfiguredImage(const std::string& settingsPath, const std::string& image);

// The image to serve: the environment's, else the settings file's; empty
// when neither names one.
std::string imageToServe(const std::string& settingsPath);
