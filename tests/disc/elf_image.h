// Builds ELF32 images in memory for the loader tests, and serves them to the
// loader as a source or writes them to a host file.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "core/types.h"
#include "disc/elf_loader.h"

struct SegmentSpec {
    u32 type = 1;  // PT_LOAD
    u32 paddr = 0;
    std::vector<u8> bytes;
};

struct SectionSpec {
    u32 type = 1;  // PROGBITS
    u32 flags = kShfAlloc;
    u32 addr = 0;
    std::vector<u8> bytes;
};

// Layout: file header, program headers, section headers, then the bytes of
// each segment and each section in order. Fields can be patched afterwards
// with putU32/putU16 at the offsets below.
struct ElfImage {
    std::vector<u8> bytes;

    static constexpr u32 kPhoff = 52;
    u32 shoff = 0;

    u32 programHeaderAt(unsigned index) const { return kPhoff + 32 * index; }
    u32 sectionHeaderAt(unsigned index) const { return shoff + 40 * index; }

    void putU32(u32 offset, u32 value) {
        if (bytes.size() < offset + 4) bytes.resize(offset + 4);
        std::memcpy(bytes.data() + offset, &value, 4);
    }
    void putU16(u32 offset, u16 value) {
        if (bytes.size() < offset + 2) bytes.resize(offset + 2);
        std::memcpy(bytes.data() + offset, &value, 2);
    }
};

inline ElfImage buildElfImage(u32 entry, const std::vector<SegmentSpec>& segments,
                              const std::vector<SectionSpec>& sections) {
    ElfImage image;
    image.shoff = ElfImage::kPhoff + 32 * static_cast<u32>(segments.size());
    u32 dataAt = image.shoff + 40 * static_cast<u32>(sections.size());
    image.bytes.assign(dataAt, 0);
    const u8 magic[] = {0x7F, 'E', 'L', 'F', 1, 1, 1};
    std::memcpy(image.bytes.data(), magic, sizeof magic);
    image.putU16(16, 2);     // ET_EXEC
    image.putU16(18, 8);     // EM_MIPS
    image.putU32(20, 1);
    image.putU32(24, entry);
    image.putU32(28, ElfImage::kPhoff);
    image.putU32(32, image.shoff);
    image.putU16(40, 52);
    image.putU16(42, 32);
    image.putU16(44, static_cast<u16>(segments.size()));
    image.putU16(46, 40);
    image.putU16(48, static_cast<u16>(sections.size()));

    auto appendData = [&](const std::vector<u8>& data) {
        const u32 at = static_cast<u32>(image.bytes.size());
        image.bytes.insert(image.bytes.end(), data.begin(), data.end());
        return at;
    };
    for (unsigned i = 0; i < segments.size(); ++i) {
        const u32 header = image.programHeaderAt(i);
        const u32 size = static_cast<u32>(segments[i].bytes.size());
        const u32 offset = appendData(segments[i].bytes);
        image.putU32(header + 0, segments[i].type);
        image.putU32(header + 4, offset);
        image.putU32(header + 8, segments[i].paddr);
        image.putU32(header + 12, segments[i].paddr);
        image.putU32(header + 16, size);
        image.putU32(header + 20, size);
    }
    for (unsigned i = 0; i < sections.size(); ++i) {
        const u32 header = image.sectionHeaderAt(i);
        const u32 offset = appendData(sections[i].bytes);
        image.putU32(header + 4, sections[i].type);
        image.putU32(header + 8, sections[i].flags);
        image.putU32(header + 12, sections[i].addr);
        image.putU32(header + 16, offset);
        image.putU32(header + 20, static_cast<u32>(sections[i].bytes.size()));
    }
    return image;
}

// Serves a byte vector; reads past its end return what is there.
class MemorySource final : public ElfSource {
public:
    explicit MemorySource(const std::vector<u8>& bytes) : bytes_(bytes) {}
    void seek(u32 offset) override { position_ = offset; }
    u32 read(void* destination, u32 size) override {
        if (position_ >= bytes_.size()) return 0;
        const u32 available = static_cast<u32>(bytes_.size()) - position_;
        const u32 count = size < available ? size : available;
        std::memcpy(destination, bytes_.data() + position_, count);
        position_ += count;
        return count;
    }

private:
    const std::vector<u8>& bytes_;
    u32 position_ = 0;
};

inline std::vector<u8> patternBytes(u32 count, u8 first) {
    std::vector<u8> bytes(count);
    for (u32 i = 0; i < count; ++i) bytes[i] = static_cast<u8>(first + i);
    return bytes;
}
