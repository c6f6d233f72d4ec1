// A fresh empty folder under the system's temporary folder, removed with
// everything in it when the object goes: tests that write files work there,
// so that suites running side by side never see each other's files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& purpose) {
        std::string pattern = (std::filesystem::temp_directory_path() / ("corvane-" + purpose + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::filesystem::filesystem_error("mkdtemp", pattern, {});
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
