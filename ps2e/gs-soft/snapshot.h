// Snapshots of the displayed picture: PNG files named snap000.png,
// snap001.png, ... in a directory, each taking the lowest number not yet
// used there.
#pragma once

#include <string>

#include "ps2e/gs-soft/picture.h"

// The path of the next snapshot in `directory` (which ends in '/' or is
// empty for the current one); empty when all thousand names are taken.
std::string nextSnapshotPath(const std::string& directory);

// Writes `picture` as an 8-bit RGB PNG; false with the reason in `error`.
bool writePicturePng(const std::string& path, const DisplayedPicture& picture, std::string& error);

// Makes `directory` (and its parents) if missing, then writes the picture
// the GS shows now into its next snapshot file; the file's path, or empty
// after reporting on standard error why none was written.
std::string makeSnapshot(const std::string& directory);
