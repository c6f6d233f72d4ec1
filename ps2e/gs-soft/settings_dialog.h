// The software GS's configuration dialog: the window's first size and how
// the picture is scaled into it.
#pragma once

#include <string>

// Shows the dialog for the settings file at `path`. OK writes the settings
// there (they apply from the next GSopen); Cancel leaves the file as it
// was. False when OK was chosen and the file could not be written.
bool editGsSettings(const std::string& path);
