#include "disc/elf_loader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "core/ee_state.h"
#include "core/run_control.h"
#include "memory/guest_ram.h"

ElfHeader elfHeader;
ElfProgramHeader elfProgramHeaders[kElfHeaderTableCapacity];
ElfSectionHeader elfSectionHeaders[kElfHeaderTableCapacity];

u64 elfProgramId;

void elfLoaderPowerOn() {
    elfProgramId = 0;
    elfHeader = ElfHeader{};
    std::fill(std::begin(elfProgramHeaders), std::end(elfProgramHeaders), ElfProgramHeader{});
    std::fill(std::begin(elfSectionHeaders), std::end(elfSectionHeaders), ElfSectionHeader{});
}

void HostFileSource::seek(u32 offset) { std::fseek(file_, static_cast<long>(offset), SEEK_SET); }

u32 HostFileSource::read(void* destination, u32 size) {
    return static_cast<u32>(std::fread(destination, 1, size, file_));
}

namespace {

// Reads `size` bytes into guest RAM at `address`, masked as the bus masks
// data and clipped at the end of RAM. A short file leaves the rest as it was.
void readIntoRam(ElfSource& source, u32 address, u32 size) {
    source.read(ramAt(address), boundedRamSize(address, size));
}

// Reads `count` table entries of `Entry`, at most the table's capacity.
template <typename Entry>
void readHeaderTable(ElfSource& source, u32 fileOffset, unsigned count, Entry (&table)[kElfHeaderTableCapacity]) {
    source.seek(fileOffset);
    const unsigned entries = std::min(count, kElfHeaderTableCapacity);
    for (unsigned i = 0; i < entries; ++i) source.read(&table[i], sizeof(Entry));
}

}  // namespace

bool elfHeaderHasMagic() { return std::memcmp(elfHeader.ident, "\x7F" "ELF", 4) == 0; }

namespace {

constexpr u8 kElfClass32 = 1;
constexpr u8 kElfLittleEndian = 1;
constexpr u32 kPtLoad = 1;

bool hasSomethingToLoad(ElfSource& source, const ElfHeader& header) {
    const unsigned programHeaders = std::min<unsigned>(header.phnum, kElfHeaderTableCapacity);
    for (unsigned i = 0; i < programHeaders; ++i) {
        ElfProgramHeader segment{};
        source.seek(header.phoff + i * sizeof segment);
        if (source.read(&segment, sizeof segment) == sizeof segment && segment.type == kPtLoad && segment.filesz != 0) return true;
    }
    const unsigned sectionHeaders = std::min<unsigned>(header.shnum, kElfHeaderTableCapacity);
    for (unsigned i = 0; i < sectionHeaders; ++i) {
        ElfSectionHeader section{};
        source.seek(header.shoff + i * sizeof section);
        if (source.read(&section, sizeof section) == sizeof section && (section.flags & kShfAlloc) && section.size != 0) return true;
    }
    return false;
}

}  // namespace

const char* elfImageProblem(ElfSource& source) {
    ElfHeader header{};
    source.seek(0);
    if (source.read(&header, sizeof header) != sizeof header || std::memcmp(header.ident, "\x7F" "ELF", 4) != 0)
        return "it is not an ELF file";
    if (header.ident[4] != kElfClass32 || header.ident[5] != kElfLittleEndian)
        return "it is not a 32-bit little-endian ELF file";
    if (!hasSomethingToLoad(source, header)) return "it has no segment or section to load";
    return nullptr;
}

namespace {

u64 hashOfSource(ElfSource& source) {
    constexpr u32 kChunk = 65536;
    std::vector<u8> chunk(kChunk);
    u64 hash = 0xCBF29CE484222325ull;
    source.seek(0);
    for (u32 offset = 0;; offset += kChunk) {
        const u32 got = source.read(chunk.data(), kChunk);
        for (u32 i = 0; i < got; ++i) hash = (hash ^ chunk[i]) * 0x100000001B3ull;
        if (got < kChunk || offset > 0xFFFFFFFFu - 2 * kChunk) break;
        source.seek(offset + kChunk);
    }
    return hash;
}

}  // namespace

void loadElfImage(ElfSource& source, const std::string& path) {
    elfProgramId = hashOfSource(source);
    source.seek(0);
    source.read(&elfHeader, sizeof elfHeader);
    readHeaderTable(source, elfHeader.phoff, elfHeader.phnum, elfProgramHeaders);
    readHeaderTable(source, elfHeader.shoff, elfHeader.shnum, elfSectionHeaders);

    const unsigned programHeaders = std::min<unsigned>(elfHeader.phnum, kElfHeaderTableCapacity);
    for (unsigned i = 0; i < programHeaders; ++i) {
        const ElfProgramHeader& segment = elfProgramHeaders[i];
        source.seek(segment.offset);
        readIntoRam(source, segment.paddr, segment.filesz);
    }

    u32 lowest = 0xFFFFFFFF;
    const unsigned sectionHeaders = std::min<unsigned>(elfHeader.shnum, kElfHeaderTableCapacity);
    for (unsigned i = 0; i < sectionHeaders; ++i) {
        const ElfSectionHeader& section = elfSectionHeaders[i];
        source.seek(section.offset);
        if (!(section.flags & kShfAlloc)) continue;
        lowest = std::min(lowest, ramOffset(section.addr));
        readIntoRam(source, section.addr, section.size);
    }

    if (lowest != 0xFFFFFFFF) buildArgumentBlock(lowest, path);
    ee.pc = elfHeader.entry;
    programLoaded = 1;
}

namespace {

bool isSeparator(u8 byte) { return byte == 0 || byte == ' '; }

// The argument words of the name are found from its end, so the nearest to
// the end gets the highest vector slot. Indexes are relative to the name.
struct ArgumentScan {
    u32 nameAddress;  // N
    u32 vectorTop;    // W: N rounded down to a multiple of 4
    unsigned count = 0;
};

// Byte by byte, so a word at the end of RAM continues at its start, as the
// rest of the block does.
void storeWord(u32 address, u32 value) {
    for (unsigned i = 0; i < 4; ++i) setRamByte(address + i, static_cast<u8>(value >> (8 * i)));
}

}  // namespace

void buildArgumentBlock(u32 lowest, const std::string& path) {
    const u32 argumentArea = lowest - 256;
    for (u32 i = 0; i < 256; ++i) setRamByte(argumentArea + i, 0);

    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const u32 length = static_cast<u32>(std::min<std::size_t>(name.size(), 0x10000));
    ArgumentScan scan{argumentArea - (length + 1), 0};
    scan.vectorTop = scan.nameAddress & ~3u;
    for (u32 i = 0; i < length; ++i) setRamByte(scan.nameAddress + i, static_cast<u8>(name[i]));
    setRamByte(scan.nameAddress + length, 0);

    auto at = [&](u32 index) -> u8& { return *ramAt(scan.nameAddress + index); };
    u32 i = length + 256;
    while (i > 0) {
        while (isSeparator(at(i))) {
            --i;
            if (i == 0) break;
        }
        if (at(i + 1) == ' ') at(i + 1) = 0;
        if (i != 0) {
            while (!isSeparator(at(i))) {
                --i;
                if (i == 0) break;
            }
        }
        bool haveWord = true;
        u32 start = i;
        if (isSeparator(at(i))) {
            start = i + 1;
            haveWord = !isSeparator(at(i + 1));
        }
        if (haveWord) {
            ++scan.count;
            storeWord(scan.vectorTop - 4 * scan.count, scan.nameAddress + start);
        }
        if (i == 0) break;
        --i;
    }

    const u32 argc = scan.count;
    storeWord(scan.vectorTop - 4 * (argc + 1), argc);
    storeWord(scan.vectorTop - 4 * (argc + 2), argc != 0 ? 1 : 0);
    ee.gpr[kGprA0].d[0] = scan.nameAddress - 4 * argc + 8;
}

std::string loadElfFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::strerror(errno);
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode)) {
        std::fclose(file);
        return "it is a directory";
    }
    HostFileSource source(file);
    std::string problem;
    if (const char* reason = elfImageProblem(source))
        problem = reason;
    else
        loadElfImage(source, path);
    std::fclose(file);
    return problem;
}

bool fileHasElfMagic(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char magic[4] = {};
    const bool elf = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "\x7F" "ELF", 4) == 0;
    std::fclose(file);
    return elf;
}
