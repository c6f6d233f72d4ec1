// The CDVD plugin's configuration: a file chooser for the disc image.
#pragma once

#include <string>

inline constexpr char kImageChooserTitle[] = "Choose a disc image";

// Shows the chooser, starting at the image the settings file at
// `settingsPath` names (or its folder). A file chosen is kept in the
// settings file; Cancel changes nothing. False when a file was chosen and
// the settings file could not be written.
bool chooseDiscImage(const std::string& settingsPath);
