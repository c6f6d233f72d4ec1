#include "state/save_state.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "disc/elf_loader.h"
#include "plugins/plugin_host.h"
#include "state/crc32.h"
#include "state/machine_sections.h"
#include "state/state_stream.h"

namespace {

constexpr char kMagic[8] = {'C', 'O', 'R', 'V', 'S', 'T', 'A', 'T'};
constexpr size_t kHeaderBytes = sizeof kMagic + 4 + 8 + 4;
constexpr size_t kSectionHeaderBytes = 12;

struct PluginSection {
    u32 tag;
    PluginSlot slot;
};

constexpr PluginSection kPluginSections[] = {
    {sectionTag("GS  "), PluginSlot::Gs},     {sectionTag("PAD1"), PluginSlot::Pad1},
    {sectionTag("PAD2"), PluginSlot::Pad2},   {sectionTag("SPU2"), PluginSlot::Spu2},
    {sectionTag("CDVD"), PluginSlot::Cdvd},
};

const PluginSection* pluginSection(u32 tag) {
    for (const PluginSection& section : kPluginSections) {
        if (section.tag == tag) return &section;
    }
    return nullptr;
}

std::string tagText(u32 tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(tag >> (8 * i));
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return "\"" + text + "\"";
}

void writeSection(StateWriter& file, u32 tag, const std::vector<u8>& data) {
    file.field(tag);
    file.field(static_cast<u32>(data.size()));
    file.field(crc32(data.data(), data.size()));
    file.bytes(data.data(), data.size());
}

std::string pluginRefusal(PluginSlot slot) {
    const std::string refused = std::string("the ") + pluginSlotName(slot) + " plugin refused its saved state";
    if (slot == PluginSlot::Cdvd) return refused + " (the state was saved with another disc, or no disc can be opened)";
    return refused;
}

struct SectionView {
    u32 tag;
    const u8* data;
    u32 size;
};

}  // namespace

std::vector<u8> saveStateBytes() {
    std::vector<std::pair<u32, std::vector<u8>>> sections;
    for (const MachineSection& section : machineSections()) {
        StateWriter writer;
        section.save(writer);
        sections.emplace_back(section.tag, std::move(writer.data()));
    }
    for (const PluginSection& plugin : kPluginSections) {
        if (auto bytes = pluginFreezeSave(plugin.slot)) sections.emplace_back(plugin.tag, std::move(*bytes));
    }
    StateWriter file;
    file.bytes(kMagic, sizeof kMagic);
    file.field(kSaveStateFormat);
    file.field(elfProgramId);
    file.field(static_cast<u32>(sections.size()));
    for (const auto& [tag, data] : sections) writeSection(file, tag, data);
    file.field(crc32(file.data().data(), file.data().size()));
    return std::move(file.data());
}

std::string loadStateBytes(const std::vector<u8>& bytes) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return "not a Corvane machine state";
    StateReader header(bytes.data() + sizeof kMagic, bytes.size() - sizeof kMagic);
    u32 format = 0;
    u64 program = 0;
    u32 sectionCount = 0;
    header.field(format);
    if (header.failed()) return "the file is cut short";
    if (format != kSaveStateFormat) {
        return "saved in format " + std::to_string(format) + "; this Corvane reads format " + std::to_string(kSaveStateFormat);
    }
    header.field(program);
    header.field(sectionCount);
    if (header.failed() || bytes.size() < kHeaderBytes + 4) return "the file is cut short";

    // Every section's size is checked against the file before the checksums.
    std::vector<SectionView> sections;
    size_t at = kHeaderBytes;
    const size_t end = bytes.size() - 4;
    for (u32 i = 0; i < sectionCount; ++i) {
        if (end - at < kSectionHeaderBytes) return "the file is cut short";
        StateReader sectionHeader(bytes.data() + at, kSectionHeaderBytes);
        u32 tag = 0, size = 0, crc = 0;
        sectionHeader.field(tag);
        sectionHeader.field(size);
        sectionHeader.field(crc);
        at += kSectionHeaderBytes;
        if (size > end - at) return "the file is cut short";
        if (crc32(bytes.data() + at, size) != crc) return "the " + tagText(tag) + " section is corrupted (checksum mismatch)";
        sections.push_back({tag, bytes.data() + at, size});
        at += size;
    }
    u32 fileCrc = 0;
    std::memcpy(&fileCrc, bytes.data() + end, 4);
    if (at != end || crc32(bytes.data(), end) != fileCrc) return "the file is corrupted (checksum mismatch)";
    if (program != elfProgramId) return "the state was saved for another program";

    MachineImagePointer image = newMachineImage();
    std::vector<bool> found(machineSections().size(), false);
    std::vector<std::pair<PluginSlot, std::vector<u8>>> pluginStates;
    for (const SectionView& view : sections) {
        if (const PluginSection* plugin = pluginSection(view.tag)) {
            if (pluginCanFreeze(plugin->slot)) pluginStates.emplace_back(plugin->slot, std::vector<u8>(view.data, view.data + view.size));
            continue;
        }
        size_t index = 0;
        while (index < machineSections().size() && machineSections()[index].tag != view.tag) ++index;
        if (index == machineSections().size()) return "unknown section " + tagText(view.tag);
        if (found[index]) return "the " + tagText(view.tag) + " section appears twice";
        const MachineSection& section = machineSections()[index];
        StateReader reader(view.data, view.size);
        section.load(reader, *image);
        if (reader.failed() || reader.left() != 0) return std::string("the section of the ") + section.name + " does not hold a valid state";
        found[index] = true;
    }
    for (size_t index = 0; index < found.size(); ++index) {
        if (!found[index]) return std::string("the section of the ") + machineSections()[index].name + " is missing";
    }
    // The plugins come first: one that refuses its state stops the load
    // before the machine is touched, and those that took theirs already
    // get back the state they had.
    std::vector<std::pair<PluginSlot, std::vector<u8>>> taken;
    for (auto& [slot, data] : pluginStates) {
        std::optional<std::vector<u8>> before = pluginFreezeSave(slot);
        if (!pluginFreezeLoad(slot, data)) {
            for (auto& [takenSlot, takenBefore] : taken) pluginFreezeLoad(takenSlot, takenBefore);
            return pluginRefusal(slot);
        }
        if (before) taken.emplace_back(slot, std::move(*before));
    }
    applyMachineImage(*image);
    return {};
}

// The state goes to a file beside the target first and takes its name only
// once it is whole, so that a save that fails (a full disk) leaves the
// state saved there before as it was.
std::string saveStateFile(const std::string& path) {
    const std::vector<u8> bytes = saveStateBytes();
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) return "cannot write " + path + ": " + std::strerror(errno);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && std::rename(partial.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        std::remove(partial.c_str());
        return "cannot write " + path + (error != 0 ? std::string(": ") + std::strerror(error) : std::string());
    }
    return {};
}

std::string loadStateFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot open " + path + ": " + std::strerror(errno);
    const std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return "cannot read " + path;
    return loadStateBytes(bytes);
}
