#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <vector>

#include "iop/iop_memory.h"
#include "iop_guest.h"

namespace {

constexpr u32 kFirstTable = 0x1500;
constexpr u32 kHeapUnits = 0x200000 / 256;

struct Record {
    bool inUse;
    u32 start;  // in 256-byte units
    u32 units;
    bool operator==(const Record&) const = default;
};

// The non-empty records of the heap in list order, read through the table
// chain (31 records a table, the next table's address at byte 248).
std::vector<Record> heapRecords(std::vector<u32>* tables = nullptr) {
    std::vector<Record> records;
    for (u32 table = kFirstTable; table != 0; table = guestWord(table + 248)) {
        if (tables) tables->push_back(table);
        for (u32 slot = 0; slot < 31; ++slot) {
            const u32 word = guestWord(table + 4 * slot);
            if (word >> 17 != 0) records.push_back({(word & 1) != 0, (word >> 1) & 0x7FFF, word >> 17});
        }
    }
    return records;
}

TEST(IopMemory, WorkedSequenceThroughTheGuestRuntime) {
    ASSERT_TRUE(loadGuestProgram("iop_heap"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const std::vector<u32> expected = {
        0x1600, 0x1700, 0,                     // 100 bytes, 256 bytes, free the first
        0x1600,                                // 50 bytes reuse it
        kMinusOne, kMinusOne, kMinusOne,       // frees of 0x1610, 0x1500, 0
        0,                                     // 0 bytes
        0, kMinusOne, 0,                       // free 0x1600 twice, then its neighbour 0x1700
        0x1600,                                // 0x300 bytes from the merged space
        0,                                     // more than the heap
    };
    for (u32 i = 0; i < expected.size(); ++i) EXPECT_EQ(guestWord(guestSymbol("results") + 4 * i), expected[i]) << i;
    // The two freed neighbours merged with the free rest, so the last
    // allocation split that single record.
    const std::vector<Record> records = {{true, 0, 0x15}, {true, 0x15, 1}, {true, 0x16, 3}, {false, 0x19, kHeapUnits - 0x19}};
    EXPECT_EQ(heapRecords(), records);
}

// Records are added one per split; once the 28th record of the last table
// is taken a new table is chained behind it, and it is dropped again when
// the records shrink back.
TEST(IopMemory, RecordTablesGrowAndShrink) {
    resetMachine();
    std::vector<u32> blocks;
    for (u32 i = 0; i < 40; ++i) blocks.push_back(iopAlloc(256));
    for (u32 i = 0; i < 25; ++i) EXPECT_EQ(blocks[i], 0x1600 + 0x100 * i);
    // The 25th allocation filled record 27 and the new table took the next block.
    EXPECT_EQ(blocks[25], 0x3000u);
    std::vector<u32> tables;
    const std::vector<Record> grown = heapRecords(&tables);
    EXPECT_EQ(tables, (std::vector<u32>{kFirstTable, 0x2F00}));
    EXPECT_EQ(grown.size(), 3u + 40u + 1u);

    for (u32 block : blocks) EXPECT_EQ(iopFree(block), 0) << block;
    tables.clear();
    const std::vector<Record> records = {{true, 0, 0x15}, {true, 0x15, 1}, {false, 0x16, kHeapUnits - 0x16}};
    EXPECT_EQ(heapRecords(&tables), records);
    EXPECT_EQ(tables, std::vector<u32>{kFirstTable});
}

// Random allocations and frees: blocks never overlap each other or the
// tables, the records tile the heap in address order with no two free
// neighbours, and the last table always has room left.
TEST(IopMemory, RandomUseKeepsTheRecordsConsistent) {
    resetMachine();
    std::mt19937 random(1234);
    std::set<u32> held;
    for (int step = 0; step < 3000; ++step) {
        if (held.empty() || random() % 5 < 3) {
            const u32 size = 1 + random() % 0x1800;
            const u32 address = iopAlloc(size);
            if (address == 0) continue;
            ASSERT_TRUE(held.insert(address).second) << "handed out twice: " << address;
        } else {
            auto it = held.begin();
            std::advance(it, random() % held.size());
            ASSERT_EQ(iopFree(*it), 0) << *it;
            held.erase(it);
        }
        std::vector<u32> tables;
        const std::vector<Record> records = heapRecords(&tables);
        ASSERT_LT(guestWord(tables.back() + 4 * 27) >> 17, 1u) << "step " << step;
        u32 next = 0;
        u32 inUse = 0;
        for (u32 i = 0; i < records.size(); ++i) {
            ASSERT_EQ(records[i].start, next) << "step " << step;
            next += records[i].units;
            if (i > 0) {
                ASSERT_FALSE(!records[i].inUse && !records[i - 1].inUse) << "step " << step;
            }
            inUse += records[i].inUse;
            if (records[i].inUse && i >= 2) {
                const u32 address = records[i].start * 256;
                const bool isTable = std::find(tables.begin(), tables.end(), address) != tables.end();
                ASSERT_TRUE(isTable != (held.count(address) == 1)) << "step " << step;
            }
        }
        ASSERT_EQ(next, kHeapUnits) << "step " << step;
        ASSERT_EQ(inUse, 2 + held.size() + tables.size() - 1) << "step " << step;
    }
}

TEST(IopMemory, HeapIsMadeAgainAfterAMachineReset) {
    resetMachine();
    EXPECT_EQ(iopAlloc(0x1000), 0x1600u);
    EXPECT_EQ(iopAlloc(1), 0x2600u);
    resetMachine();
    EXPECT_EQ(iopFree(0x2600), -1);
    EXPECT_EQ(iopAlloc(1), 0x1600u);
}

// Function 3 reads a host file below the host root's "host" folder into
// guest RAM; everything else is refused with -1 and writes nothing.
TEST(IopMemory, LoadFileIsConfinedToTheHostRoot) {
    const HostRootFolder root;
    std::vector<char> bytes(40);
    for (u32 i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0x11 * (i + 1));
    std::ofstream(root.path / "host" / "data.bin", std::ios::binary).write(bytes.data(), bytes.size());
    std::ofstream(root.path / "outside.bin", std::ios::binary).write(bytes.data(), bytes.size());
    const std::vector<char> big(64, 0x5A);
    std::ofstream(root.path / "host" / "big.bin", std::ios::binary).write(big.data(), big.size());
    const auto elsewhere = root.path.parent_path() / (root.path.filename().string() + "-elsewhere.bin");
    std::ofstream(elsewhere, std::ios::binary).write(bytes.data(), bytes.size());
    std::filesystem::create_symlink(elsewhere, root.path / "host" / "link.bin");
    std::filesystem::create_symlink(root.path / "host" / "data.bin", root.path / "host" / "inner.bin");

    constexpr u32 kMemory = 0x80000003;
    constexpr u32 kDestination = 0x01000000;
    constexpr u32 kRamEnd = 0x02000000;
    auto load = [](const char* label, u32 destination, const char* name, std::optional<u32> answer) {
        return ScriptCall{label, kMemory, 3, {destination}, answer, {{4, name}}};
    };
    runScript({
        load("host device", kDestination, "host:data.bin", 0),
        load("host0 and a masked address", 0x80000000 | (kDestination + 0x100), "host0:data.bin", 0),
        load("rom device, a link that stays inside", kDestination + 0x200, "rom0:inner.bin", 0),
        load("exactly to the end of RAM", kRamEnd - 40, "host:data.bin", 0),
        load("past the end of RAM", kRamEnd - 60, "host:big.bin", kMinusOne),
        load("cdrom device", kDestination + 0x300, "cdrom0:data.bin", kMinusOne),
        load("no device", kDestination + 0x300, "data.bin", kMinusOne),
        load("missing file", kDestination + 0x300, "host:missing.bin", kMinusOne),
        load("parent folder", kDestination + 0x300, "host:..\\outside.bin", kMinusOne),
        load("absolute path", kDestination + 0x300, "host:\\tmp\\data.bin", kMinusOne),
        load("drive letter", kDestination + 0x300, "host:c:\\data.bin", kMinusOne),
        load("slashes separate too", kDestination + 0x300, "host:./../outside.bin", kMinusOne),
        load("link out of the root", kDestination + 0x300, "host:link.bin", kMinusOne),
        load("a folder", kDestination + 0x300, "host:.", kMinusOne),
    });
    std::filesystem::remove(elsewhere);
    for (u32 destination : {kDestination, kDestination + 0x100, kDestination + 0x200, kRamEnd - 40}) {
        EXPECT_EQ(std::memcmp(memory.ram + destination, bytes.data(), bytes.size()), 0) << destination;
    }
    for (u32 offset = 0; offset < 0x100; ++offset) EXPECT_EQ(memory.ram[kDestination + 0x300 + offset], 0) << offset;
    for (u32 offset = 60; offset > 40; --offset) EXPECT_EQ(memory.ram[kRamEnd - offset], 0) << offset;
}

}  // namespace
