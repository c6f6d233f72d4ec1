#include "iop/host_root.h"

#include <sys/stat.h>

#include <deque>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path root = ".";

// More links than this in one path is a loop, as the host's own lookup says.
constexpr int kMaxLinksFollowed = 40;

bool isAbsoluteGuestPath(const std::string& path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return path.size() >= 2 && path[1] == ':';
}

void pushComponents(std::deque<std::string>& components, const fs::path& path, bool atFront) {
    std::deque<std::string> parts;
    for (const fs::path& part : path.relative_path()) {
        if (!part.empty()) parts.push_back(part.string());
    }
    if (atFront) components.insert(components.begin(), parts.begin(), parts.end());
    else components.insert(components.end(), parts.begin(), parts.end());
}

// Where `path` leads with every symbolic link followed, a dangling one
// included: its target, not the link, is what a create would make. The
// part of the path past the first missing component is taken as it stands.
std::optional<fs::path> followEveryLink(const fs::path& path) {
    std::error_code error;
    fs::path resolved = path.is_absolute() ? fs::path("/") : fs::current_path(error);
    if (error) return std::nullopt;
    std::deque<std::string> left;
    pushComponents(left, path, false);
    int linksFollowed = 0;
    bool missing = false;
    while (!left.empty()) {
        const std::string component = left.front();
        left.pop_front();
        if (component == ".") continue;
        if (component == "..") {
            resolved = resolved.parent_path();
            continue;
        }
        const fs::path next = resolved / component;
        struct stat status {};
        if (missing || ::lstat(next.c_str(), &status) != 0) {
            missing = true;
            resolved = next;
            continue;
        }
        if (!S_ISLNK(status.st_mode)) {
            resolved = next;
            continue;
        }
        if (++linksFollowed > kMaxLinksFollowed) return std::nullopt;
        const fs::path target = fs::read_symlink(next, error);
        if (error) return std::nullopt;
        if (target.is_absolute()) resolved = "/";
        pushComponents(left, target, true);
    }
    return resolved;
}

// True when `path` is `base` or lies below it; both are already resolved.
bool liesInside(const fs::path& path, const fs::path& base) {
    auto baseEnd = base.end();
    // A trailing separator leaves an empty last element that is no component.
    if (!base.empty() && std::prev(baseEnd)->empty()) --baseEnd;
    auto pathPart = path.begin();
    for (auto basePart = base.begin(); basePart != baseEnd; ++basePart, ++pathPart) {
        if (pathPart == path.end() || *pathPart != *basePart) return false;
    }
    return true;
}

}  // namespace

void setHostRoot(const fs::path& newRoot) { root = newRoot; }

const fs::path& hostRoot() { return root; }

std::optional<fs::path> resolveHostPath(const std::string& guestPath) {
    if (guestPath.empty() || isAbsoluteGuestPath(guestPath)) return std::nullopt;
    fs::path hostPath = root;
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
    const std::optional<fs::path> target = followEveryLink(hostPath);
    const std::optional<fs::path> resolvedRoot = followEveryLink(root);
    if (!target || !resolvedRoot || !liesInside(*target, *resolvedRoot)) return std::nullopt;
    return target;
}
