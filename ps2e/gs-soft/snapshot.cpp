#include "ps2e/gs-soft/snapshot.h"

#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxSnapshots = 1000;

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

// mkdir -p: every missing folder of `directory`, outermost first.
bool makeDirectories(const std::string& directory, std::string& error) {
    for (std::size_t slash = directory.find('/', 1); ; slash = directory.find('/', slash + 1)) {
        const std::string part = directory.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot make the folder '" + part + "': " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

std::string nextSnapshotPath(const std::string& directory) {
    for (int number = 0; number < kMaxSnapshots; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "snap%03d.png", number);
        const std::string path = directory + name;
        if (!exists(path)) return path;
    }
    return {};
}

bool writePicturePng(const std::string& path, const DisplayedPicture& picture, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        error = "the GS shows no picture";
        return false;
    }
    // R, G, B bytes: the picture is always opaque.
    std::vector<png_byte> rgb(picture.pixels.size() * 3);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t pixel = picture.pixels[i];
        rgb[i * 3 + 0] = static_cast<png_byte>(pixel);
        rgb[i * 3 + 1] = static_cast<png_byte>(pixel >> 8);
        rgb[i * 3 + 2] = static_cast<png_byte>(pixel >> 16);
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(picture.width);
    png.height = static_cast<png_uint_32>(picture.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        error = "cannot write the PNG file '" + path + "': " + png.message;
        png_image_free(&png);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

std::string makeSnapshot(const std::string& directory) {
    std::string error;
    if (!directory.empty() && !makeDirectories(directory, error)) {
        std::fprintf(stderr, "gs-soft: no snapshot: %s\n", error.c_str());
        return {};
    }
    const std::string folder = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    const std::string path = nextSnapshotPath(folder);
    if (path.empty()) {
        std::fprintf(stderr, "gs-soft: no snapshot: '%s' already holds snap000.png to snap999.png\n", folder.c_str());
        return {};
    }
    if (!writePicturePng(path, composeDisplayedPicture(), error)) {
        std::fprintf(stderr, "gs-soft: no snapshot: %s\n", error.c_str());
        return {};
    }
    return path;
}
