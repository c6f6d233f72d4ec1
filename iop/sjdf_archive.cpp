#include "iop/sjdf_archive.h"

namespace {

void appendWord(std::string& bytes, u32 value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string packSjdfArchive(const std::vector<SjdfEntry>& entries) {
    std::string archive = "SJDF";
    appendWord(archive, static_cast<u32>(entries.size()));
    archive.append(8, '\0');
    u32 dataOffset = kSjdfHeaderBytes + kSjdfEntryBytes * static_cast<u32>(entries.size());
    for (const SjdfEntry& entry : entries) {
        if (entry.name.empty() || entry.name.size() >= kSjdfNameBytes) return {};
        std::string name(kSjdfNameBytes, '\0');
        for (size_t i = 0; i <= entry.name.size(); ++i) {
            const u8 plain = i < entry.name.size() ? static_cast<u8>(entry.name[i]) : 0;
            name[i] = static_cast<char>(static_cast<u8>(plain + sjdfNameOffset));
        }
        archive += name;
        appendWord(archive, static_cast<u32>(entry.data.size()));
        appendWord(archive, dataOffset);
        dataOffset += static_cast<u32>(entry.data.size());
    }
    for (const SjdfEntry& entry : entries) {
        u8 previous = 0;
        for (size_t i = 0; i < entry.data.size(); ++i) {
            const u8 stored = i == 0 ? static_cast<u8>(entry.data[0]) : static_cast<u8>(entry.data[i] ^ previous);
            archive.push_back(static_cast<char>(stored));
            previous = stored;
        }
    }
    return archive;
}
