#include "ps2e/support/settings_file.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ps2e/ps2e.h"

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

SettingsFile SettingsFile::parse(const std::string& text) {
    SettingsFile settings;
    std::istringstream in(text);
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == ';' || content[0] == '#') continue;
        if (content[0] == '[') {
            const std::size_t close = content.find(']');
            section = trimmed(content.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = trimmed(content.substr(0, equals));
        if (key.empty() || settings.value(section, key)) continue;
        settings.set(section, key, trimmed(content.substr(equals + 1)));
    }
    return settings;
}

SettingsFile::Section* SettingsFile::findSection(const std::string& name) {
    for (Section& section : sections_) {
        if (sameIgnoringCase(section.name, name)) return &section;
    }
    return nullptr;
}

const SettingsFile::Section* SettingsFile::findSection(const std::string& name) const {
    return const_cast<SettingsFile*>(this)->findSection(name);
}

SettingsFile::Section& SettingsFile::sectionNamed(const std::string& name) {
    if (Section* section = findSection(name)) return *section;
    sections_.push_back(Section{name, {}, {}});
    return sections_.back();
}

std::optional<std::string> SettingsFile::value(const std::string& section, const std::string& key) const {
    const Section* found = findSection(section);
    if (found == nullptr) return std::nullopt;
    for (const Entry& entry : found->entries) {
        if (sameIgnoringCase(entry.key, key)) return entry.value;
    }
    return std::nullopt;
}

void SettingsFile::set(const std::string& section, const std::string& key, const std::string& value) {
    Section& target = sectionNamed(section);
    for (Entry& entry : target.entries) {
        if (sameIgnoringCase(entry.key, key)) {
            entry.value = value;
            return;
        }
    }
    target.entries.push_back(Entry{key, value});
}

void SettingsFile::setComment(const std::string& section, const std::string& comment) {
    sectionNamed(section).comments.push_back(comment);
}

std::string SettingsFile::text() const {
    std::string text;
    for (const Section& section : sections_) {
        if (!text.empty()) text += '\n';
        if (!section.name.empty()) text += '[' + section.name + "]\n";
        for (const std::string& comment : section.comments) text += "; " + comment + '\n';
        for (const Entry& entry : section.entries) text += entry.key + '=' + entry.value + '\n';
    }
    return text;
}

SettingsFile readSettingsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return SettingsFile{};
    std::ostringstream text;
    text << in.rdbuf();
    return SettingsFile::parse(text.str());
}

bool writeSettingsFile(const std::string& path, const SettingsFile& settings) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << settings.text();
    out.close();
    return static_cast<bool>(out);
}

std::string pluginSettingsPath(const std::string& fileName) {
    const char* hostFolder = std::getenv(CORVANE_SETTINGS_DIR_VARIABLE);
    if (hostFolder != nullptr && hostFolder[0] != '\0') {
        const std::string folder = hostFolder;
        return folder.back() == '/' ? folder + fileName : folder + '/' + fileName;
    }
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return fileName;
    const std::string executable(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = executable.rfind('/');
    return slash == std::string::npos ? fileName : executable.substr(0, slash + 1) + fileName;
}
