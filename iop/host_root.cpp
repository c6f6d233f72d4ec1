#include "iop/host_root.h"

#include <iterator>
#include <system_error>

namespace {

std::filesystem::path root = ".";

bool isAbsoluteGuestPath(const std::string& path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return path.size() >= 2 && path[1] == ':';
}

// True when `path`, with every symbolic link followed, lies inside `base`.
bool liesInside(const std::filesystem::path& path, const std::filesystem::path& base) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    if (error) return false;
    const std::filesystem::path resolvedBase = std::filesystem::weakly_canonical(base, error);
    if (error) return false;
    auto baseEnd = resolvedBase.end();
    // A trailing separator leaves an empty last element that is no component.
    if (!resolvedBase.empty() && std::prev(baseEnd)->empty()) --baseEnd;
    auto resolvedPart = resolved.begin();
    for (auto basePart = resolvedBase.begin(); basePart != baseEnd; ++basePart, ++resolvedPart) {
        if (resolvedPart == resolved.end() || *resolvedPart != *basePart) return false;
    }
    return true;
}

}  // namespace

void setHostRoot(const std::filesystem::path& newRoot) { root = newRoot; }

const std::filesystem::path& hostRoot() { return root; }

std::optional<std::filesystem::path> resolveHostPath(const std::string& guestPath) {
    if (guestPath.empty() || isAbsoluteGuestPath(guestPath)) return std::nullopt;
    std::filesystem::path hostPath = root;
    std::string component;
    for (size_t i = 0; i <= guestPath.size(); ++i) {
        if (i < guestPath.size() && guestPath[i] != '\\' && guestPath[i] != '/') {
            component.push_back(guestPath[i]);
            continue;
        }
        if (component == "..") return std::nullopt;
        if (!component.empty() && component != ".") hostPath /= component;
        component.clear();
    }
    if (!liesInside(hostPath, root)) return std::nullopt;
    return hostPath;
}
