// The disc services over RPC: sector reads in each mode through the guest
// runtime, the file search and its position record, the drive and tray
// answers, and the requests that must not reach past guest RAM.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "../disc/disc_images.h"
#include "disc/iso9660.h"
#include "iop/cdvd_service.h"
#include "iop/sif_rpc.h"
#include "iop_guest.h"
#include "memory/guest_ram.h"

namespace {

constexpr u32 kRawSector = 2352;
constexpr u32 kReadBufferBytes = 2 * 2340 + 16;
constexpr u32 kRecordBytes = 32;

u8 rawByte(u32 sector, u32 i) { return static_cast<u8>(i * 7 + sector * 29); }

struct Read {
    u32 first, count, mode, withEnd;
};

void writeReads(const std::vector<Read>& reads) {
    for (u32 i = 0; i < reads.size(); ++i) {
        const Read& read = reads[i];
        for (u32 w = 0; w < 4; ++w) hostStore<u32>(memory.ram + guestSymbol("reads") + 16 * i + 4 * w, (&read.first)[w]);
    }
    hostStore<u32>(memory.ram + guestSymbol("readCount"), static_cast<u32>(reads.size()));
}

void writePaths(const std::vector<std::string>& paths) {
    for (u32 i = 0; i < paths.size(); ++i) std::strcpy(reinterpret_cast<char*>(memory.ram + guestSymbol("paths") + 64 * i), paths[i].c_str());
    hostStore<u32>(memory.ram + guestSymbol("searchCount"), static_cast<u32>(paths.size()));
}

const u8* readBuffer(u32 index) { return memory.ram + guestSymbol("readBuffers") + kReadBufferBytes * index; }

class DiscServices : public RunnerInOwnFolder {
protected:
    void SetUp() override {
        RunnerInOwnFolder::SetUp();
        useBundledPlugins();
        resetMachine();
    }
    void TearDown() override {
        unsetenv("CORVANE_CDVD_IMAGE");
        useNoPlugins();
        RunnerInOwnFolder::TearDown();
    }
};

// A raw image of four 2352-byte sectors: each mode copies its own window,
// sector after sector; a read that runs off the disc keeps what it copied.
TEST_F(DiscServices, SectorReadsCopyEachModesWindow) {
    std::string image(4 * kRawSector, '\0');
    for (u32 i = 0; i < image.size(); ++i) image[i] = static_cast<char>(rawByte(i / kRawSector, i % kRawSector));
    writeFile("raw.img", image);
    serveImage("raw.img");
    ASSERT_TRUE(loadGuestProgram("cdvd_disc"));
    struct Expected {
        u32 answer, windowOffset, windowSize, sectorsCopied, end;
    };
    const std::vector<Read> reads = {{1, 2, 0, 0}, {1, 2, 2, 1}, {2, 3, 1, 0}, {0, 1, 3, 1}, {3, 0, 3, 1}};
    const std::vector<Expected> expected = {
        {1, 24, 2048, 2, 0xEEEEEEEE}, {1, 12, 2340, 2, 3}, {0, 24, 2328, 2, 0xEEEEEEEE}, {0, 0, 0, 0, 1}, {1, 0, 0, 0, 3}};
    writeReads(reads);
    writePaths({});
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    for (u32 r = 0; r < reads.size(); ++r) {
        SCOPED_TRACE(r);
        const Expected& want = expected[r];
        EXPECT_EQ(guestWord(guestSymbol("readAnswers") + 4 * r), want.answer);
        EXPECT_EQ(guestWord(guestSymbol("readEnds") + 4 * r), want.end);
        const u8* buffer = readBuffer(r);
        const u32 copied = want.sectorsCopied * want.windowSize;
        for (u32 k = 0; k < want.sectorsCopied; ++k) {
            for (u32 j = 0; j < want.windowSize; ++j) {
                ASSERT_EQ(buffer[k * want.windowSize + j], rawByte(reads[r].first + k, want.windowOffset + j)) << k << " " << j;
            }
        }
        for (u32 j = copied; j < kReadBufferBytes; ++j) ASSERT_EQ(buffer[j], 0xEE) << "written past the read at " << j;
    }
}

// The directory record of `name` in the image, found by its name bytes.
u32 directoryRecordOffset(const std::string& image, const std::string& name) {
    const size_t at = image.find(name);
    return at == std::string::npos ? 0 : static_cast<u32>(at - 33);
}

u8 bcd(u32 value) { return static_cast<u8>((value / 10) << 4 | value % 10); }

// The record the search should write for `name`, read straight from the
// image's directory record: extent, size and the date in its bytes 18-23.
std::vector<u8> expectedRecord(const std::string& image, const std::string& name) {
    const u32 at = directoryRecordOffset(image, name);
    std::vector<u8> record(kRecordBytes, 0);
    std::memcpy(record.data(), image.data() + at + 2, 4);
    std::memcpy(record.data() + 4, image.data() + at + 10, 4);
    std::memcpy(record.data() + 8, name.data(), std::min<size_t>(name.size(), 15));
    const auto date = [&](u32 i) { return static_cast<u8>(image[at + 18 + i]); };
    const u32 year = 1900 + date(0);
    const u8 tail[] = {date(5), date(4), date(3), date(2), date(1), bcd(year / 100), bcd(year % 100)};
    std::memcpy(record.data() + 24, tail, sizeof tail);
    return record;
}

std::vector<u8> guestBytes(u32 address, u32 size) { return std::vector<u8>(memory.ram + address, memory.ram + address + size); }

TEST_F(DiscServices, FileSearchWritesThePositionRecord) {
    buildDiscImage("disc.iso", {{"SYSTEM.CNF", "BOOT2 = cdrom0:\\MAIN.ELF;1\r\n"},
                                {"DATA/SUB/DEEP.TXT", "deep file"},
                                {"DATA/LONGNAME.BIN", std::string(5000, 'x')}});
    serveImage("disc.iso");
    const std::string image = readFile("disc.iso");
    ASSERT_TRUE(loadGuestProgram("cdvd_disc"));
    writeReads({});
    writePaths({"\\SYSTEM.CNF;1", "\\DATA\\SUB\\deep.txt;1", "/DATA/longname.BIN;1", "\\DATA\\NONE.TXT;1",
                "\\NODIR\\X.TXT;1"});
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    EXPECT_EQ(guestWord(guestSymbol("prepared")), 1u);
    const std::vector<u32> answers = {1, 1, 1, 0, kMinusOne};
    const std::vector<std::string> names = {"SYSTEM.CNF;1", "DEEP.TXT;1", "LONGNAME.BIN;1"};
    for (u32 i = 0; i < answers.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(guestWord(guestSymbol("searchAnswers") + 4 * i), answers[i]);
        const std::vector<u8> want = i < names.size() ? expectedRecord(image, names[i]) : std::vector<u8>(kRecordBytes, 0);
        EXPECT_EQ(guestBytes(guestSymbol("records") + kRecordBytes * i, kRecordBytes), want);
    }

    // The path's place follows the send size: 292 at byte 32, 296 and 300
    // at byte 36; any other size is no search and leaves the buffer alone.
    for (const auto& [size, offset] : {std::pair<u32, u32>{292, 32}, {296, 36}, {300, 36}, {100, 36}}) {
        SCOPED_TRACE(size);
        std::memset(memory.ram + kRpcSend, 'A', 300);  // a path read from the wrong place is no file
        std::strcpy(reinterpret_cast<char*>(memory.ram + kRpcSend + offset), "\\SYSTEM.CNF;1");
        const std::vector<u8> before = guestBytes(kRpcSend, kRecordBytes);
        const u32 answer = dispatchRpc(0x80000597, 0, size);
        EXPECT_EQ(answer, size == 100 ? 0u : 1u);
        EXPECT_EQ(guestBytes(kRpcSend, kRecordBytes), size == 100 ? before : expectedRecord(image, "SYSTEM.CNF;1"));
    }
}

TEST_F(DiscServices, MediaTypeAndTrayKeepTheirState) {
    ASSERT_TRUE(loadGuestProgram("cdvd_disc"));
    writeReads({});
    writePaths({});
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    EXPECT_EQ(guestWord(guestSymbol("discTypes")), 18u);
    EXPECT_EQ(guestWord(guestSymbol("discTypes") + 4), 20u) << "after media type 2";
    EXPECT_EQ(guestWord(guestSymbol("discTypes") + 8), 18u) << "after media type 1";
    EXPECT_EQ(guestWord(guestSymbol("trayReports")), 1u) << "request 2 after request 0";
    EXPECT_EQ(guestWord(guestSymbol("trayReports") + 4), 0u) << "the report cleared the change";
}

TEST_F(DiscServices, FixedAnswersAndUnknownFunctions) {
    const std::vector<u32> sendWords = {0x11111111, 0x22222222, 0x33333333};
    runScript({
        {"prepare, other function", 0x80000592, 1, {}, 0},
        {"drive 12", 0x80000593, 12, {}, 2},
        {"drive 14", 0x80000593, 14, {}, 1},
        {"drive 16", 0x80000593, 16, {}, 1},
        {"drive, unknown", 0x80000593, 7, {}, 0},
        {"read 14", 0x80000595, 14, {}, 2},
        {"read, unknown", 0x80000595, 2, sendWords, 0},
        {"0x80000596", 0x80000596, 1, {}, 0},
        {"search, send size 320", 0x80000597, 0, sendWords, 0},
        {"search, other function", 0x80000597, 1, {}, 0},
        {"ready", 0x8000059A, 0, {}, 2},
        {"ready, other function", 0x8000059A, 3, {}, 0},
    });
    constexpr u32 kCaseBytes = 332;
    for (u32 w = 0; w < sendWords.size(); ++w) {
        EXPECT_EQ(guestWord(guestSymbol("calls") + kCaseBytes * 8 + 12 + 4 * w), sendWords[w]) << "a refused search writes no record";
    }
}

// Destinations are masked to RAM and a read stops where RAM ends; the end
// sector's address is masked too.
TEST_F(DiscServices, ReadsStayInsideGuestRam) {
    useTestPlugins();
    resetMachine();
    const u32 nearEnd = kRamSize - 2 * 2048 - 100;
    std::memset(memory.ram + nearEnd, 0xEE, kRamSize - nearEnd);
    const u32 request[6] = {7, 3, 0x20000000 | nearEnd, 0, 0, 0x40000000 | kRpcSend};
    for (u32 w = 0; w < 6; ++w) setRamWord(kRpcSend + 4 * w, request[w]);
    EXPECT_EQ(dispatchRpc(0x80000595, 13, 24), 0u) << "the third sector would not fit";
    EXPECT_EQ(ramWord(kRpcSend), 10u) << "end sector stored at the masked address";
    // The recording CDVD fills each sector with its frame number: sectors 7
    // and 8 lie at 0:02:07 and 0:02:08.
    EXPECT_EQ(memory.ram[nearEnd], 7);
    EXPECT_EQ(memory.ram[nearEnd + 2048], 8);
    EXPECT_EQ(memory.ram[kRamSize - 1], 0xEE) << "the tail that could not take a sector is untouched";
}

}  // namespace
