// The settings file a shipped plugin keeps beside Config.ini: a profile
// file of sections and "key=value" lines, read and written by the plugin
// itself. The plugins include nothing from the core, so they carry this
// small reader.
#pragma once

#include <optional>
#include <string>
#include <vector>

class SettingsFile {
public:
    // Section and key names match without regard to case; the first
    // occurrence of a key in its section wins. Lines starting with ';' or
    // '#' are comments.
    static SettingsFile parse(const std::string& text);

    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    // Replaces the key's value, or adds the key at the end of its section
    // (the section at the end of the file when it is new).
    void set(const std::string& section, const std::string& key, const std::string& value);
    // A comment line written above the section's keys.
    void setComment(const std::string& section, const std::string& comment);

    std::string text() const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<std::string> comments;
        std::vector<Entry> entries;
    };
    Section* findSection(const std::string& name);
    const Section* findSection(const std::string& name) const;
    Section& sectionNamed(const std::string& name);

    std::vector<Section> sections_;
};

// An absent or unreadable file reads as an empty one.
SettingsFile readSettingsFile(const std::string& path);
// False when the file cannot be written.
bool writeSettingsFile(const std::string& path, const SettingsFile& settings);

// `fileName` in the folder where the host keeps Config.ini: the one its
// settings variable (ps2e.h) names, else the directory of the running
// executable; just `fileName` when neither can be found.
std::string pluginSettingsPath(const std::string& fileName);
