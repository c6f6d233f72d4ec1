// cdvd-image through its entry points: images made by xorriso at test time
// and raw images wrapped from them here, the layout told from the contents
// rather than the name; the image chosen by the environment or the settings
// file; images that are missing, not disc images or cut short.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "disc/disc_images.h"
#include "disc/iso9660.h"
#include "ps2e/cdvd-image/cdvd_settings.h"
#include "ps2e/ps2e.h"
#include "ps2e/support/settings_file.h"
#include "shipped_plugin.h"
#include "state/save_state.h"
#include "support/plugin_freeze.h"

namespace {

constexpr std::size_t kRaw = 2352, kUser = 2048;
constexpr std::array<uint8_t, 12> kSync = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

uint8_t bcd(unsigned value) { return static_cast<uint8_t>(value / 10 * 16 + value % 10); }

// The raw header address of a logical sector: two seconds of lead-in, 75
// frames a second, in BCD.
std::array<uint8_t, 3> headerAddress(unsigned lsn) {
    const unsigned absolute = lsn + 150;
    return {bcd(absolute / 4500), bcd(absolute / 75 % 60), bcd(absolute % 75)};
}

cdvdLoc locationOf(unsigned lsn) {
    const unsigned absolute = lsn + 150;
    return {uint8_t(absolute / 4500), uint8_t(absolute / 75 % 60), uint8_t(absolute % 75), 0};
}

// Wraps each 2048-byte sector of `iso` as a raw sector of `mode` 1 or 2
// (form 1): sync, header, for mode 2 the subheader, the user data, and an
// error-correction area filled with 0xEE, which must never be read as data.
std::string wrapAsRaw(const std::string& iso, uint8_t mode) {
    std::string raw;
    for (std::size_t lsn = 0; lsn * kUser < iso.size(); ++lsn) {
        std::string sector(kRaw, char(0xEE));
        std::copy(kSync.begin(), kSync.end(), sector.begin());
        const auto address = headerAddress(static_cast<unsigned>(lsn));
        std::copy(address.begin(), address.end(), sector.begin() + 12);
        sector[15] = char(mode);
        std::size_t data = 16;
        if (mode == 2) {
            const char subheader[8] = {0, 0, 0x08, 0, 0, 0, 0x08, 0};
            sector.replace(16, 8, subheader, 8);
            data = 24;
        }
        sector.replace(data, kUser, iso, lsn * kUser, kUser);
        raw += sector;
    }
    return raw;
}

const std::vector<DiscFile> kFiles = {
    {"SYSTEM.CNF", "BOOT2 = cdrom0:\\GAME.ELF;1\n"},
    {"DATA/BIG.BIN", std::string(5000, 'b') + "end of big"},
};

class CdvdImage : public RunnerInOwnFolder {
protected:
    void SetUp() override {
        RunnerInOwnFolder::SetUp();
        ASSERT_TRUE(plugin.loaded());
        ASSERT_EQ(plugin.entry<uint32_t()>("PS2EgetLibType")(), uint32_t{PS2E_LT_CDVD});
        unsetenv(kCdvdImageVariable);
        init();
    }
    void TearDown() override {
        shutdown();
        unsetenv(kCdvdImageVariable);
        RunnerInOwnFolder::TearDown();
    }

    // Serves `path` through the environment; CDVDopen's answer.
    int32_t serve(const std::string& path) {
        setenv(kCdvdImageVariable, path.c_str(), 1);
        return open();
    }
    // The sector the plugin hands out for `lsn`, or empty when the read fails.
    std::string sector(unsigned lsn) {
        cdvdLoc location = locationOf(lsn);
        if (readTrack(&location) != 0) {
            EXPECT_EQ(getBuffer(), nullptr) << "a failed read leaves no buffer";
            return {};
        }
        const uint8_t* buffer = getBuffer();
        return buffer == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(buffer), kRaw);
    }

    // The plugin's frozen state, and CDVDfreeze's answer to loading one.
    std::vector<char> frozen() { return frozenState(freeze); }
    int32_t thaw(std::vector<char> bytes) { return loadFrozenState(freeze, bytes); }
    std::string buffer() {
        const uint8_t* bytes = getBuffer();
        return bytes == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(bytes), kRaw);
    }

    ShippedPlugin plugin{"cdvd-image.so"};
    int32_t (*init)() = plugin.entry<int32_t()>("CDVDinit");
    void (*shutdown)() = plugin.entry<void()>("CDVDshutdown");
    int32_t (*open)() = plugin.entry<int32_t()>("CDVDopen");
    void (*close)() = plugin.entry<void()>("CDVDclose");
    uint32_t (*readTrack)(cdvdLoc*) = plugin.entry<uint32_t(cdvdLoc*)>("CDVDreadTrack");
    uint8_t* (*getBuffer)() = plugin.entry<uint8_t*()>("CDVDgetBuffer");
    int32_t (*getTN)(void*) = plugin.entry<int32_t(void*)>("CDVDgetTN");
    int32_t (*getTD)(uint8_t, void*) = plugin.entry<int32_t(uint8_t, void*)>("CDVDgetTD");
    int32_t (*freeze)(int32_t, freezeData*) = plugin.entry<int32_t(int32_t, freezeData*)>("CDVDfreeze");
};

// Every layout hands out a raw mode 2 form 1 sector: sync, the header of the
// address read, mode 2, and the user data at 24. The names mislead on
// purpose: the contents decide.
TEST_F(CdvdImage, IsoAndRawImagesOfBothModesReadAlikeAsOneDataTrack) {
    buildDiscImage("made.iso", kFiles);
    const std::string iso = readFile("made.iso");
    ASSERT_EQ(iso.size() % kUser, 0u);
    const unsigned sectors = static_cast<unsigned>(iso.size() / kUser);
    writeFile("mode1.iso", wrapAsRaw(iso, 1));
    writeFile("mode2.img", wrapAsRaw(iso, 2));
    writeFile("user.bin", iso);

    struct Image {
        const char* path;
        uint8_t trackType;
    };
    for (const Image& image : {Image{"user.bin", 0x41}, Image{"mode1.iso", 0x41}, Image{"mode2.img", 0x61}}) {
        SCOPED_TRACE(image.path);
        ASSERT_EQ(serve(image.path), 0);
        for (const unsigned lsn : {0u, 16u, 17u, sectors - 1}) {
            const std::string raw = sector(lsn);
            ASSERT_EQ(raw.size(), kRaw) << lsn;
            EXPECT_EQ(raw.substr(0, 12), std::string(kSync.begin(), kSync.end())) << lsn;
            const auto address = headerAddress(lsn);
            EXPECT_EQ(raw.substr(12, 4), std::string(address.begin(), address.end()) + '\x02') << lsn;
            EXPECT_EQ(raw.substr(24, kUser), iso.substr(lsn * kUser, kUser)) << lsn;
        }
        EXPECT_EQ(sector(sectors), "") << "past the end";
        cdvdLoc leadIn{0, 1, 74, 0}, malformed{0, 60, 0, 0};
        EXPECT_EQ(readTrack(&leadIn), 0xFFFFFFFFu);
        EXPECT_EQ(readTrack(&malformed), 0xFFFFFFFFu);

        cdvdTN tracks{};
        ASSERT_EQ(getTN(&tracks), 0);
        EXPECT_EQ(tracks.strack, 1);
        EXPECT_EQ(tracks.etrack, 1);
        cdvdTD disc{}, track{};
        ASSERT_EQ(getTD(0, &disc), 0);
        EXPECT_EQ(disc.lsn, sectors) << "track 0: the end of the disc";
        ASSERT_EQ(getTD(1, &track), 0);
        EXPECT_EQ(track.lsn, 0u);
        EXPECT_EQ(track.type, image.trackType);
        EXPECT_EQ(getTD(2, &track), -1);
        close();
    }
    // The anchor of the address arithmetic: logical sector 4350 is 01:00:00.
    EXPECT_EQ(headerAddress(4350), (std::array<uint8_t, 3>{0x01, 0x00, 0x00}));
}

// The host's ISO 9660 reader finds and reads a file spanning three sectors
// of a raw mode 1 image through the plugin.
TEST_F(CdvdImage, TheHostsDiscReaderReadsFilesFromARawImage) {
    buildDiscImage("made.iso", kFiles);
    writeFile("disc.bin", wrapAsRaw(readFile("made.iso"), 1));
    overridePluginConfig({CORVANE_BUNDLED_PLUGIN_DIR, "null_gs.so", "null_spu2.so", "null_pad.so", "cdvd-image.so"});
    resetMachine();
    serveImage("disc.bin");
    isoPrepare();
    const s32 slot = isoOpen("\\DATA\\BIG.BIN;1", 1);
    ASSERT_GE(slot, 0);
    std::string contents(5010, '\0');
    EXPECT_EQ(isoRead(slot, contents.data(), 5010), 5010);
    EXPECT_EQ(contents, kFiles[1].contents);
    isoClose(slot);
    useNoPlugins();
    resetMachine();
}

// CORVANE_CDVD_IMAGE wins over the image kept in cdvd-image.ini beside the
// executable; with neither, opening fails and says how to choose one.
TEST_F(CdvdImage, TheEnvironmentOverridesTheImageOfTheSettingsFile) {
    buildDiscImage("small.iso", {{"A.TXT", "a"}});
    buildDiscImage("large.iso", {{"A.TXT", "a"}, {"B.BIN", std::string(100000, 'b')}});
    const unsigned smallSectors = static_cast<unsigned>(readFile("small.iso").size() / kUser);
    const unsigned largeSectors = static_cast<unsigned>(readFile("large.iso").size() / kUser);
    ASSERT_NE(smallSectors, largeSectors);
    auto servedSectors = [this] {
        cdvdTD disc{};
        return getTD(0, &disc) == 0 ? disc.lsn : 0u;
    };

    const std::string settings = pluginSettingsPath(kCdvdSettingsFile);
    std::remove(settings.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(open(), -1);
    EXPECT_EQ(sector(16), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cdvd-image: no disc image chosen: choose one with the CDVD plugin's configuration, or set "
              "CORVANE_CDVD_IMAGE\n")
        << "said once, not at every read";

    ASSERT_TRUE(storeConfiguredImage(settings, std::filesystem::absolute("small.iso").string()));
    EXPECT_EQ(readSettingsFile(settings).value("Disc", "Image"), std::filesystem::absolute("small.iso").string());
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(servedSectors(), smallSectors);
    ASSERT_EQ(serve("large.iso"), 0);
    EXPECT_EQ(servedSectors(), largeSectors);
    unsetenv(kCdvdImageVariable);
    close();
    EXPECT_EQ(servedSectors(), smallSectors) << "read without CDVDopen, as the disc services may";
    std::remove(settings.c_str());
}

TEST_F(CdvdImage, MissingForeignAndTruncatedImagesFailCleanly) {
    struct Refused {
        std::string path;
        std::string message;
    };
    mkdir("folder.iso", 0755);
    writeFile("zeros.iso", std::string(40 * kUser, '\0'));
    const Refused refused[] = {
        {"missing.iso", "cdvd-image: cannot open disc image 'missing.iso': No such file or directory\n"},
        {"folder.iso", "cdvd-image: cannot read disc image 'folder.iso': it is not a regular file\n"},
        {"zeros.iso", "cdvd-image: 'zeros.iso' is not a disc image: no ISO 9660 volume descriptor at sector 16, "
                      "neither in 2048-byte (.iso) nor in 2352-byte raw (.bin) sectors\n"},
    };
    for (const Refused& image : refused) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(serve(image.path), -1);
        EXPECT_EQ(sector(0), "");
        cdvdTD disc{};
        EXPECT_EQ(getTD(0, &disc), -1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), image.message);
    }

    // A cut image serves its whole sectors; the partial one at the end fails.
    buildDiscImage("made.iso", kFiles);
    const std::string iso = readFile("made.iso");
    const unsigned whole = static_cast<unsigned>(iso.size() / kUser) - 1;
    writeFile("cut.iso", iso.substr(0, whole * kUser + 1000));
    writeFile("cut.bin", wrapAsRaw(iso, 2).substr(0, whole * kRaw + 2000));
    for (const char* path : {"cut.iso", "cut.bin"}) {
        ASSERT_EQ(serve(path), 0) << path;
        EXPECT_EQ(sector(whole - 1).substr(24, kUser), iso.substr((whole - 1) * kUser, kUser)) << path;
        EXPECT_EQ(sector(whole), "") << path;
        cdvdTD disc{};
        ASSERT_EQ(getTD(0, &disc), 0);
        EXPECT_EQ(disc.lsn, whole) << path;
    }
}

// A frozen state names its disc by contents, not by file name, and brings
// back the sector last read; a state of another disc, or one taken while a
// disc was served and loaded while none can be, is refused with the plugin
// as it was.
TEST_F(CdvdImage, AFrozenStateNeedsItsOwnDiscAndBringsBackTheLastSectorRead) {
    buildDiscImage("first.iso", kFiles);
    buildDiscImage("second.iso", {{"OTHER.TXT", "another disc"}});
    writeFile("renamed.iso", readFile("first.iso"));
    std::remove(pluginSettingsPath(kCdvdSettingsFile).c_str());

    ASSERT_EQ(serve("first.iso"), 0);
    const std::string sector17 = sector(17);
    ASSERT_FALSE(sector17.empty());
    const std::vector<char> state = frozen();

    ASSERT_EQ(serve("second.iso"), 0);
    const std::string other = sector(16);
    testing::internal::CaptureStderr();
    EXPECT_EQ(thaw(state), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cdvd-image: the state was saved with the disc image 'first.iso', not with 'second.iso'\n");
    EXPECT_EQ(buffer(), other) << "the sector read last is still there";

    close();
    unsetenv(kCdvdImageVariable);
    testing::internal::CaptureStderr();
    EXPECT_EQ(thaw(state), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no disc image can be opened now"), std::string::npos);
    EXPECT_EQ(buffer(), "");

    setenv(kCdvdImageVariable, "renamed.iso", 1);
    ASSERT_EQ(thaw(state), 0) << "the same disc under another name";
    EXPECT_EQ(buffer(), sector17);
}

// The machine's state file carries the CDVD's state: loading it while
// another disc is served is refused with the machine's reason, and nothing
// of the machine or of the plugin changes.
TEST_F(CdvdImage, AMachineStateOfAnotherDiscIsRefusedWithTheMachineAsItWas) {
    buildDiscImage("first.iso", kFiles);
    buildDiscImage("second.iso", {{"OTHER.TXT", "another disc"}});
    overridePluginConfig({CORVANE_BUNDLED_PLUGIN_DIR, "null_gs.so", "null_spu2.so", "null_pad.so", "cdvd-image.so"});
    resetMachine();
    serveImage("first.iso");
    isoPrepare();
    const std::vector<u8> saved = saveStateBytes();

    serveImage("second.iso");
    isoPrepare();
    const std::vector<u8> before = saveStateBytes();
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadStateBytes(saved),
              "the CDVD plugin refused its saved state (the state was saved with another disc, or no disc can be opened)");
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(saveStateBytes() == before);

    serveImage("first.iso");
    EXPECT_EQ(loadStateBytes(saved), "");
    EXPECT_TRUE(saveStateBytes() == saved);
    useNoPlugins();
    resetMachine();
}

}  // namespace
