// The ISO 9660 reader over images that xorriso makes: sector addressing and
// read modes, the path and case rules of isoFind, the file table, seek and
// read across sectors, the Joliet descriptor, and discs that lie.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "debugger/debug_log.h"
#include "disc/iso9660.h"
#include "disc_images.h"
#include "plugins/recording.h"

namespace {

constexpr u32 kBigSize = 5 * 2048 + 1234;  // five whole sectors and a tail

// Bytes that differ from sector to sector and within each, so that a read
// from the wrong place shows.
std::string patterned(u32 size) {
    std::string bytes(size, '\0');
    for (u32 i = 0; i < size; ++i) bytes[i] = static_cast<char>((i % 251) ^ (i / 2048 * 37));
    return bytes;
}

const std::vector<DiscFile> kDiscFiles = {
    {"SYSTEM.CNF", "BOOT2 = cdrom0:\\BOOT.ELF;1\r\n"},
    {"BIG.BIN", patterned(kBigSize)},
    {"DATA/SUB/DEEP.TXT", "deep file"},
    {"DATA/X.TXT", "x"},
};

u32 le32(const std::string& bytes, u32 at) {
    u32 value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// The whole file at `path` on the served disc, read in one call.
std::string discFileContents(const std::string& path) {
    const s32 slot = isoOpen(path, 1);
    if (slot < 0) return "<not opened>";
    std::string contents(isoSeek(slot, 0, 2), '\0');
    isoSeek(slot, 0, 0);
    const s32 got = isoRead(slot, contents.data(), static_cast<u32>(contents.size()));
    isoClose(slot);
    return got == static_cast<s32>(contents.size()) ? contents : "<short read>";
}

class IsoReader : public RunnerInOwnFolder {
protected:
    void SetUp() override {
        RunnerInOwnFolder::SetUp();
        useBundledPlugins();
        resetMachine();
        isoPrepare();
    }
    void TearDown() override {
        unsetenv("CORVANE_CDVD_IMAGE");
        RunnerInOwnFolder::TearDown();
    }
    void serveStandardDisc() {
        buildDiscImage("disc.iso", kDiscFiles);
        serveImage("disc.iso");
    }
};

TEST(IsoSectors, LogicalSectorsBecomeMinuteSecondFrame) {
    useTestPlugins();
    resetMachine();
    u8 sector[2048];
    for (u32 lsn : {0u, 16u, 4350u}) ASSERT_EQ(readSectors(lsn, 1, sector, ReadModeRecord{}), 1u);
    EXPECT_EQ(readSectors(99, 0, sector, ReadModeRecord{}), 1u) << "a count of 0 reads nothing";
    std::vector<std::vector<u64>> addresses;
    for (const RecordedCall& call : recordedCalls()) {
        if (call.entry == "CDVDreadTrack") addresses.push_back(call.args);
    }
    EXPECT_EQ(addresses, (std::vector<std::vector<u64>>{{0, 2, 0}, {0, 2, 16}, {1, 0, 0}}));
}

// A raw image of 2352-byte sectors: each mode copies its own window of it.
TEST_F(IsoReader, ReadModesCopyTheirPartOfTheRawSector) {
    constexpr u32 kRaw = 2352;
    auto rawByte = [](u32 sector, u32 i) { return static_cast<u8>(i * 5 + sector * 17); };
    std::string image(4 * kRaw, '\0');
    for (u32 i = 0; i < image.size(); ++i) image[i] = static_cast<char>(rawByte(i / kRaw, i % kRaw));
    writeFile("raw.img", image);
    serveImage("raw.img");

    struct Mode {
        u8 mode;
        u32 offset, size;
    };
    for (const Mode& mode : {Mode{0, 24, 2048}, Mode{1, 24, 2328}, Mode{2, 12, 2340}}) {
        SCOPED_TRACE(static_cast<int>(mode.mode));
        std::vector<u8> out(2 * mode.size + 16, 0xEE);
        ASSERT_EQ(readSectors(1, 2, out.data(), ReadModeRecord{{0xAA, 0xBB}, mode.mode}), 1u);
        for (u32 k = 0; k < 2; ++k) {
            for (u32 j = 0; j < mode.size; ++j) ASSERT_EQ(out[k * mode.size + j], rawByte(1 + k, mode.offset + j)) << j;
        }
        EXPECT_EQ(out[2 * mode.size], 0xEE) << "nothing past the mode's bytes";
    }
    std::vector<u8> out(2340, 0xEE);
    EXPECT_EQ(readSectors(1, 1, out.data(), ReadModeRecord{{0, 0}, 3}), 0u) << "mode 3";
    EXPECT_EQ(out, std::vector<u8>(2340, 0xEE));
    EXPECT_EQ(readSectors(3, 2, out.data(), ReadModeRecord{}), 0u) << "the second sector lies past the image";
}

TEST_F(IsoReader, FindsPathsByTheCaseRules) {
    serveStandardDisc();
    struct Case {
        const char* path;
        s32 found;
        const char* name;
    };
    const Case cases[] = {
        {"\\SYSTEM.CNF;1", 1, "SYSTEM.CNF;1"},       // empty directory part: the root
        {"system.cnf;1", 1, "SYSTEM.CNF;1"},         // file names ignore case
        {"SYSTEM.CNF", 0, ""},                       // shorter than the record's name
        {"SYSTEM.CNF;12", 0, ""},                    // whole names only
        {"\\DATA.SJD;1", 0, ""},                     // not the directory DATA beside it
        {"\\DATA", 0, ""},                           // a directory is no file
        {"\\DATA\\SUB\\DEEP.TXT;1", 1, "DEEP.TXT;1"},
        {"/DATA/SUB/deep.txt;1", 1, "DEEP.TXT;1"},
        {"\\\\DATA\\/SUB/DEEP.TXT;1", 1, "DEEP.TXT;1"},  // empty components are skipped
        {"\\data\\SUB\\DEEP.TXT;1", -1, ""},         // directory names match exactly
        {"\\DATA\\NOPE\\DEEP.TXT;1", -1, ""},
        {"\\SYSTEM.CNF;1\\X.TXT;1", -1, ""},         // a file is no directory
        {"\\DATA\\SUB\\MISSING.TXT;1", 0, ""},
        {"\\DATA\\X.TXT;1", 1, "X.TXT;1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        IsoEntry entry{};
        ASSERT_EQ(isoFind(c.path, entry), c.found);
        if (c.found == 1) {
            EXPECT_STREQ(entry.name, c.name);
        }
    }
    EXPECT_EQ(discFileContents("\\DATA\\SUB\\DEEP.TXT;1"), "deep file");
    EXPECT_EQ(volumeDescriptor[0], 1);
}

// Enough records to fill several directory sectors (80 records of more
// than 40 bytes), with a subdirectory sorted after them all.
TEST_F(IsoReader, DirectoriesSpanningSectorsAreWalkedToTheirEnd) {
    std::vector<DiscFile> files;
    for (int i = 0; i < 80; ++i) files.push_back({"MANY/F" + std::to_string(1000 + i) + ".TXT", std::to_string(i)});
    files.push_back({"MANY/ZDIR/LAST.TXT", "last"});
    buildDiscImage("many.iso", files);
    serveImage("many.iso");

    IsoEntry many{};
    EXPECT_EQ(isoFind("\\MANY", many), 0) << "the final search passes over directories";
    EXPECT_EQ(discFileContents("\\MANY\\F1079.TXT;1"), "79");
    EXPECT_EQ(discFileContents("\\MANY\\ZDIR\\LAST.TXT;1"), "last");
    IsoEntry entry{};
    EXPECT_EQ(isoFind("\\MANY\\F1080.TXT;1", entry), 0) << "every sector searched, none left";
}

TEST_F(IsoReader, JolietDescriptorReplacesThePrimaryOne) {
    buildDiscImage("joliet.iso", {{"Data/Sub/Deep.txt", "deep"}, {"SYSTEM.CNF", "x"}}, true);
    serveImage("joliet.iso");
    IsoEntry entry{};
    ASSERT_EQ(isoFind("\\Data\\Sub\\Deep.txt", entry), 1);
    EXPECT_STREQ(entry.name, "Deep.txt") << "low bytes of the 16-bit characters, case kept";
    EXPECT_EQ(volumeDescriptor[0], 2);
    EXPECT_EQ(isoFind("\\DATA\\SUB\\DEEP.TXT;1", entry), -1) << "the primary tree's names are not used";
    EXPECT_EQ(isoFind("system.cnf;1", entry), 1) << "a Joliet name has no version: the wanted name's version is not compared";
    EXPECT_EQ(discFileContents("\\Data\\Sub\\Deep.txt"), "deep");
}

TEST_F(IsoReader, SeekClampsAndReadsCrossSectors) {
    serveStandardDisc();
    const std::string big = patterned(kBigSize);
    const s32 slot = isoOpen("\\BIG.BIN;1", 1);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(isoSeek(slot, -5, 0), 0);
    EXPECT_EQ(isoSeek(slot, kBigSize + 10, 0), static_cast<s32>(kBigSize));
    char byte = 0;
    EXPECT_EQ(isoRead(slot, &byte, 1), 0) << "at the end";
    EXPECT_EQ(isoSeek(slot, -100, 2), static_cast<s32>(kBigSize - 100));
    EXPECT_EQ(isoSeek(slot, 50, 1), static_cast<s32>(kBigSize - 50));
    EXPECT_EQ(isoSeek(slot, -0x7FFFFFFF, 1), 0);
    EXPECT_EQ(isoSeek(slot, 0, 3), -1) << "no such origin";

    // A partial first sector (1948 bytes), one whole sector and a tail of 1004.
    std::string out(6000, '#');
    ASSERT_EQ(isoSeek(slot, 100, 0), 100);
    ASSERT_EQ(isoRead(slot, out.data(), 5000), 5000);
    EXPECT_EQ(out.substr(0, 5000), big.substr(100, 5000));
    EXPECT_EQ(out.substr(5000), std::string(1000, '#'));
    EXPECT_EQ(isoSeek(slot, 0, 1), 5100);

    // A read that asks for more gets the rest; one at a sector boundary has no partial head.
    out.assign(kBigSize, '#');
    EXPECT_EQ(isoRead(slot, out.data(), 100000), static_cast<s32>(kBigSize - 5100));
    EXPECT_EQ(out.substr(0, kBigSize - 5100), big.substr(5100));
    ASSERT_EQ(isoSeek(slot, 2048, 0), 2048);
    ASSERT_EQ(isoRead(slot, out.data(), 3 * 2048), 3 * 2048);
    EXPECT_EQ(out.substr(0, 3 * 2048), big.substr(2048, 3 * 2048));
    EXPECT_EQ(isoClose(slot), 0);
}

TEST_F(IsoReader, FileTableHoldsSixteenOpenFiles) {
    serveStandardDisc();
    EXPECT_EQ(isoOpen("\\NOPE.TXT;1", 1), -1);
    EXPECT_EQ(isoOpen("\\SYSTEM.CNF;1", 2), -2);
    for (s32 slot = 0; slot < 16; ++slot) ASSERT_EQ(isoOpen("\\SYSTEM.CNF;1", 1), slot);
    EXPECT_EQ(discFiles.openCount, 16u);
    EXPECT_EQ(isoOpen("\\SYSTEM.CNF;1", 1), -3);
    EXPECT_EQ(isoClose(3), 0);
    EXPECT_EQ(isoClose(3), -1) << "already free";
    EXPECT_EQ(isoOpen("\\DATA\\X.TXT;1", 1), 3) << "the lowest free slot";
    char byte = 0;
    EXPECT_EQ(isoRead(3, &byte, 1), 1);
    EXPECT_EQ(byte, 'x');
    for (s32 bad : {-1, 16}) {
        EXPECT_EQ(isoSeek(bad, 0, 0), -1);
        EXPECT_EQ(isoRead(bad, &byte, 1), -1);
        EXPECT_EQ(isoClose(bad), -1);
    }
    for (s32 slot = 0; slot < 16; ++slot) EXPECT_EQ(isoClose(slot), 0);
    EXPECT_EQ(discFiles.openCount, 0u);
    EXPECT_EQ(isoRead(0, &byte, 1), -1) << "a closed slot";
}

// Directory records that run past their sector, and a root directory that
// claims far more sectors than the (cut-short) image holds.
TEST_F(IsoReader, DiscsThatLieEndTheSearch) {
    buildDiscImage("disc.iso", kDiscFiles);
    const std::string image = readFile("disc.iso");
    const u32 rootAt = le32(image, 16 * 2048 + 156 + 2) * 2048;

    // After the real records: one-byte records up to the sector end, the
    // last ones with name lengths that would read past it.
    std::string lying = image;
    u32 end = rootAt;
    while (lying[end] != 0) end += static_cast<u8>(lying[end]);
    for (u32 at = end; at < rootAt + 2048; at += 2) {
        lying[at] = 1;
        lying[at + 1] = 0;
    }
    for (u32 at = rootAt + 2048 - 40; at < rootAt + 2048; ++at) lying[at] = at % 2 ? '\0' : '\xFF';
    writeFile("lying.iso", lying);
    serveImage("lying.iso");
    IsoEntry entry{};
    EXPECT_EQ(isoFind("\\NOPE.TXT;1", entry), 0);
    EXPECT_EQ(isoFind("\\SYSTEM.CNF;1", entry), 1) << "the records before the lie still count";

    // The root's "." record claims 2 GB; the image ends inside BIG.BIN.
    ASSERT_EQ(isoFind("\\BIG.BIN;1", entry), 1);
    std::string cut = image;
    cut.resize((entry.lsn + 2) * 2048);
    const u32 rootSize = 0x7FFFF800;
    std::memcpy(cut.data() + rootAt + 10, &rootSize, 4);
    writeFile("cut.iso", cut);
    serveImage("cut.iso");
    std::vector<std::string> messages;
    setDebugLogHook([&messages](const std::string& line) { messages.push_back(line); });
    EXPECT_EQ(isoFind("\\NOPE.TXT;1", entry), -1);
    setDebugLogHook(nullptr);
    EXPECT_EQ(readFile("Log.txt"), "Couldn't Read from CD !\n");
    EXPECT_EQ(messages, std::vector<std::string>{"disc error: a directory sector could not be read while looking for 'NOPE.TXT;1'"});

    const s32 slot = isoOpen("\\BIG.BIN;1", 1);
    ASSERT_GE(slot, 0);
    std::string out(kBigSize, '\0');
    ASSERT_EQ(isoSeek(slot, 10, 0), 10);
    EXPECT_EQ(isoRead(slot, out.data(), kBigSize), 0) << "its third sector is missing";
    EXPECT_EQ(isoSeek(slot, 0, 1), 10) << "a failed read leaves the position";
    EXPECT_EQ(isoRead(slot, out.data(), 4000), 4000);
    EXPECT_EQ(out.substr(0, 4000), patterned(kBigSize).substr(10, 4000));
    isoClose(slot);
}

}  // namespace
