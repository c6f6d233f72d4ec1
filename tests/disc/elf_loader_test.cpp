// The ELF loader: segments and sections copied into guest RAM, the argument
// block below the lowest allocated section, and files that lie about
// themselves.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/ee_state.h"
#include "disc/elf_image.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"

namespace {

constexpr u32 kEntry = 0x00100008;
constexpr u8 kUntouched = 0xAA;

u32 ramWord(u32 offset) { return hostLoad<u32>(memory.ram + offset); }

void fillRam(u32 offset, u32 count, u8 value) { std::memset(memory.ram + offset, value, count); }

// The offset of the first byte in [offset, offset + count) that is not
// `value`, or offset + count when they all are.
u32 firstDifferentByte(u32 offset, u32 count, u8 value) {
    for (u32 i = 0; i < count; ++i) {
        if (memory.ram[offset + i] != value) return offset + i;
    }
    return offset + count;
}

bool ramHolds(u32 offset, const std::vector<u8>& bytes) {
    return std::memcmp(memory.ram + offset, bytes.data(), bytes.size()) == 0;
}

bool ramSpareBytesZero() {
    for (u32 i = 0; i < kBlockSpareBytes; ++i) {
        if (memory.ram[kRamSize + i] != 0) return false;
    }
    return true;
}

void load(const ElfImage& image, const std::string& path = "GAME.ELF") {
    MemorySource source(image.bytes);
    loadElfImage(source, path);
}

class ElfLoader : public ::testing::Test {
protected:
    void SetUp() override {
        resetMachine();
        // The loader's records live for the whole process and a short file
        // leaves them as the previous load left them; start each case from
        // the all-zero records a freshly started program has.
        elfHeader = ElfHeader{};
        std::memset(elfProgramHeaders, 0, sizeof elfProgramHeaders);
        std::memset(elfSectionHeaders, 0, sizeof elfSectionHeaders);
        directory_ = std::filesystem::temp_directory_path() /
                     ("corvane-disc-tests-" + std::to_string(getpid()));
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string writeFile(const std::string& name, const std::vector<u8>& bytes) {
        const std::string path = (directory_ / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        if (file) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }

    void loadFile(const std::string& path) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        HostFileSource source(file);
        loadElfImage(source, path);
        std::fclose(file);
    }

    std::filesystem::path directory_;
};

TEST_F(ElfLoader, GameElfAt0x00100000BuildsTheArgumentBlockOfTheWorkedExample) {
    const auto text = patternBytes(32, 0x40);
    const auto image = buildElfImage(kEntry, {}, {{1, kShfAlloc | 0x4, 0x00100000, text}});
    fillRam(0xFFE00, 0x200, kUntouched);
    for (u32& word : ee.gpr[kGprA0].w) word = 0xFFFFFFFF;

    loadFile(writeFile("GAME.ELF", image.bytes));

    EXPECT_TRUE(ramHolds(0x100000, text));
    EXPECT_EQ(firstDifferentByte(0xFFF00, 0x100, 0), 0x100000u) << "argument area";
    EXPECT_STREQ(reinterpret_cast<const char*>(memory.ram + 0xFFEF7), "GAME.ELF");
    EXPECT_EQ(ramWord(0xFFEF0), 0xFFEF7u) << "argv[0]";
    EXPECT_EQ(ramWord(0xFFEEC), 1u) << "argc";
    EXPECT_EQ(ramWord(0xFFEE8), 1u) << "argc is not 0";
    EXPECT_EQ(firstDifferentByte(0xFFEF4, 3, kUntouched), 0xFFEF7u) << "between vector and name";
    EXPECT_EQ(firstDifferentByte(0xFFE00, 0xE8, kUntouched), 0xFFEE8u) << "below the block";
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFEFBu);
    EXPECT_EQ(ee.gpr[kGprA0].w[1], 0u);
    EXPECT_EQ(ee.gpr[kGprA0].w[2], 0xFFFFFFFFu);
    EXPECT_EQ(ee.gpr[kGprA0].w[3], 0xFFFFFFFFu);
    EXPECT_EQ(ee.pc, kEntry);
    EXPECT_EQ(programLoaded, 1u);
    EXPECT_EQ(elfHeader.entry, kEntry);
}

TEST_F(ElfLoader, NameWithASpaceGivesTwoArguments) {
    buildArgumentBlock(0x00100000, "MY GAME.ELF");
    // N = 0x100000 - 256 - 12 = 0xFFEF4, already word aligned.
    EXPECT_EQ(memory.ram[0xFFEF6], 0) << "the space becomes NUL";
    EXPECT_STREQ(reinterpret_cast<const char*>(memory.ram + 0xFFEF4), "MY");
    EXPECT_STREQ(reinterpret_cast<const char*>(memory.ram + 0xFFEF7), "GAME.ELF");
    EXPECT_EQ(ramWord(0xFFEF0), 0xFFEF7u) << "argv[1]";
    EXPECT_EQ(ramWord(0xFFEEC), 0xFFEF4u) << "argv[0]";
    EXPECT_EQ(ramWord(0xFFEE8), 2u) << "argc";
    EXPECT_EQ(ramWord(0xFFEE4), 1u);
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFEF4u);
}

TEST_F(ElfLoader, PathIsSplitAtItsLastSlashOrBackslash) {
    for (const char* path : {"/home/player/games/GAME.ELF", "cdrom0:\\GAME.ELF", "dir\\sub/GAME.ELF",
                             "dir/sub\\GAME.ELF"}) {
        SCOPED_TRACE(path);
        resetMachine();
        buildArgumentBlock(0x00100000, path);
        EXPECT_STREQ(reinterpret_cast<const char*>(memory.ram + 0xFFEF7), "GAME.ELF");
        EXPECT_EQ(ramWord(0xFFEEC), 1u);
        EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFEFBu);
    }
    // Nothing after the last separator: an empty name and no arguments.
    resetMachine();
    buildArgumentBlock(0x00100000, "host/dir/");
    EXPECT_EQ(ramWord(0xFFEF8), 0u) << "argc";
    EXPECT_EQ(ramWord(0xFFEF4), 0u) << "argc is 0";
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFF07u);
}

TEST_F(ElfLoader, WithoutAnAllocatedSectionNoArgumentBlockIsBuilt) {
    const auto code = patternBytes(16, 0x10);
    const auto note = patternBytes(16, 0x80);
    const auto image = buildElfImage(kEntry, {{1, 0x00100000, code}}, {{7, 0, 0x00200000, note}});
    fillRam(0xFFE00, 0x200, kUntouched);
    ee.gpr[kGprA0].d[0] = 0x123456789ABCDEF0ull;

    load(image);

    EXPECT_TRUE(ramHolds(0x100000, code));
    EXPECT_EQ(firstDifferentByte(0x200000, 16, 0), 0x200010u) << "a section without SHF_ALLOC is not copied";
    EXPECT_EQ(firstDifferentByte(0xFFE00, 0x200, kUntouched), 0x100000u);
    EXPECT_EQ(ee.gpr[kGprA0].d[0], 0x123456789ABCDEF0ull);
    EXPECT_EQ(ee.pc, kEntry);
    EXPECT_EQ(programLoaded, 1u);
}

TEST_F(ElfLoader, EveryProgramHeaderTypeIsCopied) {
    const u32 types[] = {0, 1, 2, 3, 4, 6, 0x70000000, 0xFFFFFFFF};
    std::vector<SegmentSpec> segments;
    for (u32 i = 0; i < std::size(types); ++i) {
        segments.push_back({types[i], 0x00200000 + 0x10 * i, patternBytes(8, static_cast<u8>(0x11 * (i + 1)))});
    }
    load(buildElfImage(kEntry, segments, {}));
    for (u32 i = 0; i < std::size(types); ++i) {
        EXPECT_TRUE(ramHolds(0x00200000 + 0x10 * i, segments[i].bytes)) << "type " << std::hex << types[i];
    }
}

TEST_F(ElfLoader, SectionsFollowSegmentsAndTakeTheFileBytesWhateverTheirType) {
    const auto segment = patternBytes(16, 0x10);
    const auto first = patternBytes(8, 0x60);
    const auto second = patternBytes(4, 0x90);
    const auto bss = patternBytes(12, 0xC0);
    load(buildElfImage(kEntry, {{1, 0x00300000, segment}},
                       {{1, kShfAlloc, 0x00300004, first}, {1, kShfAlloc, 0x00300008, second},
                        {8, kShfAlloc | 0x1, 0x00300020, bss}}));
    EXPECT_EQ(ramWord(0x300000), 0u) << "the argument area below `lowest` is built last";
    EXPECT_EQ(ramWord(0x300004), 0x63626160u);
    EXPECT_EQ(ramWord(0x300008), 0x93929190u) << "later sections overwrite earlier ones";
    EXPECT_EQ(ramWord(0x30000C), 0x1F1E1D1Cu);
    EXPECT_TRUE(ramHolds(0x300020, bss)) << "a NOBITS section receives the bytes after its offset";
}

TEST_F(ElfLoader, AddressesAreMaskedToGuestRam) {
    const auto text = patternBytes(16, 0x20);
    const auto data = patternBytes(16, 0x50);
    load(buildElfImage(kEntry, {{1, 0x80200000, data}}, {{1, kShfAlloc, 0x80100000, text}}));
    EXPECT_TRUE(ramHolds(0x100000, text));
    EXPECT_TRUE(ramHolds(0x200000, data));
    EXPECT_EQ(ramWord(0xFFEF0), 0xFFEF7u) << "lowest is 0x00100000";
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0xFFEFBu);
}

TEST_F(ElfLoader, OnlyThirtyProgramAndSectionHeadersAreRead) {
    std::vector<SegmentSpec> segments;
    std::vector<SectionSpec> sections;
    for (u32 i = 0; i < 1000; ++i) {
        const u8 tag = static_cast<u8>(i + 1);
        segments.push_back({1, (i < 30 ? 0x00200000 : 0x00280000) + 4 * i, {tag, tag, tag, tag}});
        // Sections past the table sit lower: read, they would move `lowest`.
        sections.push_back({1, kShfAlloc, (i < 30 ? 0x00400000 : 0x00380000) + 4 * i, {tag, tag, tag, tag}});
    }
    load(buildElfImage(kEntry, segments, sections));

    for (u32 i = 0; i < 30; ++i) {
        EXPECT_EQ(ramWord(0x200000 + 4 * i), (i + 1) * 0x01010101u) << i;
        EXPECT_EQ(ramWord(0x400000 + 4 * i), (i + 1) * 0x01010101u) << i;
    }
    EXPECT_EQ(firstDifferentByte(0x280000, 0x1000, 0), 0x281000u);
    EXPECT_EQ(firstDifferentByte(0x380000, 0x1000, 0), 0x381000u);
    EXPECT_EQ(ee.gpr[kGprA0].w[0], 0x400000u - 256 - 9 - 4 + 8);
}

TEST_F(ElfLoader, SegmentsAndSectionsRunningPastRamAreClipped) {
    const auto bytes = patternBytes(0x100, 1);
    load(buildElfImage(kEntry, {{1, 0x01FFFFF0, bytes}}, {}));
    EXPECT_TRUE(ramHolds(0x1FFFFF0, std::vector<u8>(bytes.begin(), bytes.begin() + 16)));
    EXPECT_TRUE(ramSpareBytesZero());
    EXPECT_EQ(firstDifferentByte(0, 0x100, 0), 0x100u) << "nothing wraps to the start of RAM";

    resetMachine();
    load(buildElfImage(kEntry, {}, {{1, kShfAlloc, 0xA1FFFFF8, bytes}}));
    EXPECT_TRUE(ramHolds(0x1FFFFF8, std::vector<u8>(bytes.begin(), bytes.begin() + 8)));
    EXPECT_TRUE(ramSpareBytesZero());
    EXPECT_EQ(firstDifferentByte(0, 0x100, 0), 0x100u);
    EXPECT_STREQ(reinterpret_cast<const char*>(memory.ram + 0x1FFFFF8 - 256 - 9), "GAME.ELF");
}

TEST_F(ElfLoader, ArgumentBlockBelowAddressZeroWrapsInsideRam) {
    buildArgumentBlock(0x40, "A.ELF");
    // N = 0x40 - 256 - 6, taken modulo the 32 MB of RAM.
    EXPECT_STREQ(reinterpret_cast<const char*>(memory.ram + ((0x40u - 262u) & kRamMask)), "A.ELF");
    EXPECT_TRUE(ramSpareBytesZero());
}

TEST_F(ElfLoader, OffsetsPastTheEndOfTheFileCopyNothing) {
    auto image = buildElfImage(kEntry, {{1, 0x00200000, patternBytes(16, 1)}},
                               {{1, kShfAlloc, 0x00300000, patternBytes(16, 1)}});
    image.putU32(image.programHeaderAt(0) + 4, 0x7FFFFFF0);
    image.putU32(image.sectionHeaderAt(0) + 16, 0xFFFFFFF0);
    fillRam(0x200000, 16, kUntouched);
    fillRam(0x300000, 16, kUntouched);
    load(image);
    EXPECT_EQ(firstDifferentByte(0x200000, 16, kUntouched), 0x200010u);
    EXPECT_EQ(firstDifferentByte(0x300000, 16, kUntouched), 0x300010u);
    EXPECT_EQ(ee.pc, kEntry);
}

TEST_F(ElfLoader, TruncatedFileCopiesWhatIsThereAndLeavesTheRest) {
    const auto data = patternBytes(64, 0x30);
    auto image = buildElfImage(kEntry, {{1, 0x00200000, data}}, {});
    image.bytes.resize(image.bytes.size() - 44);
    fillRam(0x200000, 64, kUntouched);
    loadFile(writeFile("SHORT.ELF", image.bytes));
    EXPECT_TRUE(ramHolds(0x200000, std::vector<u8>(data.begin(), data.begin() + 20)));
    EXPECT_EQ(firstDifferentByte(0x200014, 44, kUntouched), 0x200040u);
    EXPECT_EQ(ee.pc, kEntry);
    EXPECT_EQ(programLoaded, 1u);
}

TEST_F(ElfLoader, FilesThatAreNotElfStillLoadAndWriteNothing) {
    // No magic check: a valid image with its magic broken loads all the same.
    auto image = buildElfImage(kEntry, {{1, 0x00200000, patternBytes(8, 1)}}, {});
    image.bytes[0] = 'X';
    load(image);
    EXPECT_EQ(ramWord(0x200000), 0x04030201u);
    EXPECT_FALSE(elfHeaderHasMagic());

    // Ten bytes and an empty file only reach the header record: nothing to
    // copy, the entry stays zero, and the program counts as loaded.
    const std::vector<u8> tenBytes = {0x3C, 0x91, 0x07, 0xE2, 0x5D, 0xB8, 0x46, 0x1F, 0xA0, 0x6B};
    for (const auto& [name, bytes] : {std::pair{"TEN.BIN", tenBytes}, std::pair{"EMPTY.BIN", std::vector<u8>{}}}) {
        SCOPED_TRACE(name);
        resetMachine();
        elfHeader = ElfHeader{};
        programLoaded = 0;
        ee.pc = 0x1234;
        loadFile(writeFile(name, bytes));
        EXPECT_EQ(firstDifferentByte(0, kRamSize, 0), kRamSize);
        EXPECT_TRUE(ramSpareBytesZero());
        EXPECT_EQ(ee.pc, 0u);
        EXPECT_EQ(programLoaded, 1u);
    }
}

}  // namespace
