// The ELF loader: segments and sections copied into guest RAM, the argument
// block below the lowest allocated section, and files that lie about
// themselves.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/ee_state.h"
#include "disc/elf_loader.h"
#include "memory/guest_ram.h"
#include "support/guest_machine.h"

namespace {

constexpr u32 kEntry = 0x00100008;
constexpr u8 kUntouched = 0xAA;

// A segment or a section: where its bytes go, and what the file says it is.
struct Piece {
    u32 address;
    std::vector<u8> bytes;
    u32 type = 1;  // PT_LOAD, PROGBITS
    u32 flags = kShfAlloc;
};

void put32(std::vector<u8>& file, u32 at, u32 value) { std::memcpy(file.data() + at, &value, 4); }

constexpr u32 programHeaderAt(u32 index) { return 52 + 32 * index; }

// An ELF32 file: header, program headers, section headers, then the bytes of
// each segment and section in order. vaddr is left 0: only paddr counts.
std::vector<u8> elfFile(const std::vector<Piece>& segments, const std::vector<Piece>& sections) {
    const u32 shoff = programHeaderAt(static_cast<u32>(segments.size()));
    std::vector<u8> file(shoff + 40 * sections.size());
    std::memcpy(file.data(), "\x7F" "ELF\1\1\1", 7);
    put32(file, 24, kEntry);
    put32(file, 28, programHeaderAt(0));
    put32(file, 32, shoff);
    put32(file, 44, static_cast<u32>(segments.size()));  // e_phnum
    put32(file, 48, static_cast<u32>(sections.size()));  // e_shnum
    // Both kinds of header keep the address at +12; the offset and size differ.
    auto append = [&file](u32 header, const Piece& piece, u32 offsetAt, u32 sizeAt) {
        put32(file, header + offsetAt, static_cast<u32>(file.size()));
        put32(file, header + 12, piece.address);
        put32(file, header + sizeAt, static_cast<u32>(piece.bytes.size()));
        file.insert(file.end(), piece.bytes.begin(), piece.bytes.end());
    };
    for (u32 i = 0; i < segments.size(); ++i) {
        put32(file, programHeaderAt(i), segments[i].type);
        append(programHeaderAt(i), segments[i], 4, 16);
    }
    for (u32 i = 0; i < sections.size(); ++i) {
        put32(file, shoff + 40 * i + 4, sections[i].type);
        put32(file, shoff + 40 * i + 8, sections[i].flags);
        append(shoff + 40 * i, sections[i], 16, 20);
    }
    return file;
}

// Loads through a real host file, so that seeks and reads past its end
// behave as they do for a program on disk.
void load(const std::vector<u8>& file, const std::string& path = "GAME.ELF") {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    if (!file.empty()) std::fwrite(file.data(), 1, file.size(), stream);
    HostFileSource source(stream);
    loadElfImage(source, path);
    std::fclose(stream);
}

std::string problemOf(const std::vector<u8>& file) {
    std::FILE* stream = std::tmpfile();
    if (!file.empty()) std::fwrite(file.data(), 1, file.size(), stream);
    HostFileSource source(stream);
    const char* problem = elfImageProblem(source);
    std::fclose(stream);
    return problem == nullptr ? "" : problem;
}

std::vector<u8> pattern(u32 count, u8 first) {
    std::vector<u8> bytes(count);
    for (u32 i = 0; i < count; ++i) bytes[i] = static_cast<u8>(first + i);
    return bytes;
}

constexpr u32 kArgumentTextMax = 256;

// On host memory, not guest addresses: the spare bytes after RAM are
// checked too, and no load may reach them.
bool ramHolds(u32 offset, const std::vector<u8>& bytes) {
    return std::memcmp(memory.ram + offset, bytes.data(), bytes.size()) == 0;
}
bool ramAll(u32 offset, u32 count, u8 value) { return ramHolds(offset, std::vector<u8>(count, value)); }
bool spareBytesZero() { return ramAll(kRamSize, kBlockSpareBytes, 0); }

class ElfLoader : public ::testing::Test {
protected:
    // A short file leaves the loader's records as the previous load left
    // them; each case starts from the all-zero records of a fresh machine.
    void SetUp() override { resetMachine(); }
};

TEST_F(ElfLoader, GameElfAt0x00100000BuildsTheArgumentBlockOfTheWorkedExample) {
    const auto text = pattern(32, 0x40);
    std::memset(memory.ram + 0xFFE00, kUntouched, 0x200);
    for (u32& word : ee.gpr[kGprA0].w) word = 0xFFFFFFFF;

    load(elfFile({}, {{0x00100000, text}}), "/home/player/GAME.ELF");

    EXPECT_TRUE(ramHolds(0x100000, text));
    EXPECT_TRUE(ramAll(0xFFF00, 0x100, 0)) << "argument area";
    EXPECT_EQ(ramString(0xFFEF7, kArgumentTextMax), "GAME.ELF");
    EXPECT_EQ(ramWord(0xFFEF0), 0xFFEF7u) << "argv[0]";
    EXPECT_EQ(ramWord(0xFFEEC), 1u) << "argc";
    EXPECT_EQ(ramWord(0xFFEE8), 1u) << "argc is not 0";
    EXPECT_TRUE(ramAll(0xFFEF4, 3, kUntouched)) << "between vector and name";
    EXPECT_TRUE(ramAll(0xFFE00, 0xE8, kUntouched)) << "below the block";
    EXPECT_EQ(ee.gpr[kGprA0].d[0], 0xFFEFBu);
    EXPECT_EQ(ee.gpr[kGprA0].d[1], ~0ull);
    EXPECT_EQ(ee.pc, kEntry);
    EXPECT_EQ(programLoaded, 1u);
}

TEST_F(ElfLoader, NameWithASpaceGivesTwoArguments) {
    buildArgumentBlock(0x00100000, "MY GAME.ELF");
    // N = 0x100000 - 256 - 12 = 0xFFEF4, already word aligned.
    EXPECT_EQ(ramString(0xFFEF4, kArgumentTextMax), "MY") << "the space becomes NUL";
    EXPECT_EQ(ramWord(0xFFEF0), 0xFFEF7u) << "argv[1]";
    EXPECT_EQ(ramWord(0xFFEEC), 0xFFEF4u) << "argv[0]";
    EXPECT_EQ(ramWord(0xFFEE8), 2u) << "argc";
    EXPECT_EQ(ramWord(0xFFEE4), 1u);
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFEF4u);
}

TEST_F(ElfLoader, PathIsSplitAtItsLastSlashOrBackslash) {
    for (const char* path : {"cdrom0:\\GAME.ELF", "dir\\sub/GAME.ELF"}) {
        buildArgumentBlock(0x00100000, path);
        EXPECT_EQ(ramString(0xFFEF7, kArgumentTextMax), "GAME.ELF") << path;
        EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFEFBu) << path;
    }
    // Nothing after the last separator: an empty name and no arguments.
    buildArgumentBlock(0x00100000, "host/dir/");
    EXPECT_EQ(ramWord(0xFFEF8), 0u) << "argc";
    EXPECT_EQ(ramWord(0xFFEF4), 0u) << "argc is 0";
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFF07u);
}

TEST_F(ElfLoader, ArgumentBlockBelowAddressZeroWrapsInsideRam) {
    buildArgumentBlock(0x40, "A.ELF");
    // N = 0x40 - 256 - 6, taken modulo the 32 MB of RAM.
    EXPECT_EQ(ramString((0x40u - 262u) & kRamMask, kArgumentTextMax), "A.ELF");
    EXPECT_TRUE(spareBytesZero());
}

TEST_F(ElfLoader, WithoutAnAllocatedSectionNoArgumentBlockIsBuilt) {
    const auto code = pattern(16, 0x10);
    std::memset(memory.ram + 0xFFE00, kUntouched, 0x200);
    ee.gpr[kGprA0].d[0] = 0x123456789ABCDEF0ull;
    load(elfFile({{0x00100000, code}}, {{0x00200000, pattern(16, 0x80), 7, 0}}));
    EXPECT_TRUE(ramHolds(0x100000, code));
    EXPECT_TRUE(ramAll(0x200000, 16, 0)) << "a section without SHF_ALLOC is not copied";
    EXPECT_TRUE(ramAll(0xFFE00, 0x200, kUntouched));
    EXPECT_EQ(ee.gpr[kGprA0].d[0], 0x123456789ABCDEF0ull);
    EXPECT_EQ(ee.pc, kEntry);
}

TEST_F(ElfLoader, SegmentsOfEveryTypeThenSectionsGoToTheirMaskedAddresses) {
    std::vector<Piece> segments;
    for (u32 type : {0u, 2u, 4u, 0x70000000u, 0xFFFFFFFFu}) {
        segments.push_back({0x80200000 + 0x10 * static_cast<u32>(segments.size()), pattern(8, static_cast<u8>(type + 1)), type});
    }
    const auto bss = pattern(12, 0xC0);
    auto withText = segments;
    withText.push_back({0x80300000, pattern(16, 0x10)});
    load(elfFile(withText, {{0xA0300004, pattern(8, 0x60)}, {0x00300008, pattern(4, 0x90)}, {0x00300020, bss, 8}}));

    for (const Piece& segment : segments) EXPECT_TRUE(ramHolds(segment.address & kRamMask, segment.bytes)) << segment.type;
    EXPECT_EQ(ramWord(0x300000), 0u) << "the argument area below `lowest` is built last";
    EXPECT_EQ(ramWord(0x300004), 0x63626160u);
    EXPECT_EQ(ramWord(0x300008), 0x93929190u) << "later sections overwrite earlier ones";
    EXPECT_EQ(ramWord(0x30000C), 0x1F1E1D1Cu);
    EXPECT_TRUE(ramHolds(0x300020, bss)) << "a NOBITS section receives the bytes after its offset";
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0x300004u - 256 - 9 - 4 + 8) << "lowest is masked";
}

TEST_F(ElfLoader, OnlyThirtyProgramAndSectionHeadersAreRead) {
    std::vector<Piece> segments;
    std::vector<Piece> sections;
    for (u32 i = 0; i < 40; ++i) {
        const u8 tag = static_cast<u8>(i + 1);
        segments.push_back({(i < 30 ? 0x00200000 : 0x00280000) + 4 * i, {tag, tag, tag, tag}});
        // Sections past the table sit lower: read, they would move `lowest`.
        sections.push_back({(i < 30 ? 0x00400000 : 0x00380000) + 4 * i, {tag, tag, tag, tag}});
    }
    load(elfFile(segments, sections));
    for (u32 i = 0; i < 30; ++i) {
        EXPECT_EQ(ramWord(0x200000 + 4 * i), (i + 1) * 0x01010101u) << i;
        EXPECT_EQ(ramWord(0x400000 + 4 * i), (i + 1) * 0x01010101u) << i;
    }
    EXPECT_TRUE(ramAll(0x280000, 0x100, 0));
    EXPECT_TRUE(ramAll(0x380000, 0x100, 0));
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0x400000u - 256 - 9 - 4 + 8);
}

TEST_F(ElfLoader, SegmentsAndSectionsRunningPastRamAreClipped) {
    const auto bytes = pattern(0x100, 1);
    load(elfFile({{0x01FFFFF0, bytes}}, {}));
    EXPECT_TRUE(ramHolds(0x1FFFFF0, std::vector<u8>(bytes.begin(), bytes.begin() + 16)));
    load(elfFile({}, {{0xA1FFFFF8, bytes}}));
    EXPECT_TRUE(ramHolds(0x1FFFFF8, std::vector<u8>(bytes.begin(), bytes.begin() + 8)));
    EXPECT_TRUE(spareBytesZero());
    EXPECT_TRUE(ramAll(0, 0x100, 0)) << "nothing wraps to the start of RAM";
    EXPECT_EQ(ramString(0x1FFFFF8 - 256 - 9, kArgumentTextMax), "GAME.ELF");
}

TEST_F(ElfLoader, ReadsPastTheEndOfTheFileLeaveRamAsItWas) {
    // Offsets beyond the end copy nothing; a file cut short copies what is there.
    auto file = elfFile({{0x00200000, pattern(16, 1)}, {0x00300000, pattern(64, 0x30)}},
                        {{0x00400000, pattern(16, 1)}});
    put32(file, programHeaderAt(0) + 4, 0x7FFFFFF0);
    put32(file, programHeaderAt(2) + 16, 0xFFFFFFF0);  // the section's sh_offset
    const std::size_t cut = 16 + 44;  // the last segment's tail and the section
    ASSERT_GT(file.size(), cut);
    file.erase(file.end() - cut, file.end());
    for (u32 at : {0x200000u, 0x300000u, 0x400000u}) std::memset(memory.ram + at, kUntouched, 64);
    load(file);
    EXPECT_TRUE(ramAll(0x200000, 64, kUntouched));
    EXPECT_TRUE(ramHolds(0x300000, pattern(20, 0x30)));
    EXPECT_TRUE(ramAll(0x300014, 44, kUntouched));
    EXPECT_TRUE(ramAll(0x400000, 64, kUntouched));
    EXPECT_EQ(ee.pc, kEntry);
}

TEST_F(ElfLoader, FilesThatAreNotElfStillLoadAndWriteNothing) {
    // No magic check: a valid image with its magic broken loads all the same.
    auto file = elfFile({{0x00200000, pattern(8, 1)}}, {});
    file[0] = 'X';
    load(file);
    EXPECT_EQ(ramWord(0x200000), 0x04030201u);
    EXPECT_FALSE(elfHeaderHasMagic());
    EXPECT_EQ(problemOf(file), "it is not an ELF file") << "the front ends refuse it";

    // Ten bytes and an empty file only reach the header record: nothing to
    // copy, the entry stays zero, and the program counts as loaded.
    for (const auto& bytes : {std::vector<u8>{0x3C, 0x91, 0x07, 0xE2, 0x5D, 0xB8, 0x46, 0x1F, 0xA0, 0x6B}, std::vector<u8>{}}) {
        SetUp();
        ee.pc = 0x1234;
        load(bytes);
        EXPECT_TRUE(ramAll(0, kRamSize + kBlockSpareBytes, 0)) << bytes.size() << " bytes";
        EXPECT_EQ(ee.pc, 0u);
        EXPECT_EQ(programLoaded, 1u);
    }
}

// What the front ends ask before they load: a file they can run.
TEST(ElfImageProblem, OnlyA32BitLittleEndianElfWithSomethingToLoadPasses) {
    const auto segmentOnly = elfFile({{0x00200000, pattern(8, 1)}}, {});
    const auto sectionOnly = elfFile({}, {{0x00200000, pattern(8, 1)}});
    auto bigEndian = segmentOnly;
    bigEndian[5] = 2;
    auto wide = segmentOnly;
    wide[4] = 2;
    const auto notLoaded = elfFile({{0x00200000, pattern(8, 1), 4}}, {{0x00200000, pattern(8, 1), 1, 0}});
    const auto empty = elfFile({{0x00200000, {}}}, {});
    EXPECT_EQ(problemOf(segmentOnly), "");
    EXPECT_EQ(problemOf(sectionOnly), "");
    EXPECT_EQ(problemOf({}), "it is not an ELF file");
    EXPECT_EQ(problemOf(std::vector<u8>(segmentOnly.begin(), segmentOnly.begin() + 40)), "it is not an ELF file") << "a cut header";
    EXPECT_EQ(problemOf(bigEndian), "it is not a 32-bit little-endian ELF file");
    EXPECT_EQ(problemOf(wide), "it is not a 32-bit little-endian ELF file");
    EXPECT_EQ(problemOf(notLoaded), "it has no segment or section to load") << "a note segment and an unallocated section";
    EXPECT_EQ(problemOf(empty), "it has no segment or section to load");
}

}  // namespace
