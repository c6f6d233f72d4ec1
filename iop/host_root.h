// The host directory that guest file requests are confined to. Guest paths
// name files below it; a path that would lead out of it (a ".." component,
// an absolute path, a drive letter, or a symbolic link that points outside)
// names nothing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The root starts as the current directory.
void setHostRoot(const std::filesystem::path& root);
const std::filesystem::path& hostRoot();

// The host file that a relative guest path names below the root, with every
// symbolic link on the way followed (a dangling one to where its target
// would be created), so no component of the result is a link. Both '\' and
// '/' separate components. Empty when the path is absolute or would leave
// the root.
std::optional<std::filesystem::path> resolveHostPath(const std::string& guestPath);
