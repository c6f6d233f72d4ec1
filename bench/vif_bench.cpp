// VIF1 UNPACK throughput: a stream of UNPACKs in the common vertex formats
// run through vifCommandStream from host memory, in vectors written. The
// last vector of each format is checked.
#include <vector>

#include "bench.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kVectorsPerUnpack = 128;
constexpr int kPacketsPerRun = 20000;
constexpr int kCountedPackets = 200;

struct BenchFormat {
    u32 command;  // UNPACK code: V4-32, V3-32, V3-16, V4-8, V4-5
    u32 address;
    u32 wordsPerVector2;  // payload words for two vectors
};

constexpr BenchFormat kFormats[] = {
    {0x6C, 0, 8}, {0x68, 128, 6}, {0x69, 256, 3}, {0x6E, 384, 2}, {0x6F, 0, 1},
};

// Every payload word is its own index, so each vector's lanes are known.
std::vector<u32> buildPacket() {
    std::vector<u32> packet;
    for (const BenchFormat& format : kFormats) {
        packet.push_back(format.command << 24 | kVectorsPerUnpack << 16 | format.address);
        const u32 words = kVectorsPerUnpack / 2 * format.wordsPerVector2;
        for (u32 i = 0; i < words; ++i) packet.push_back(i);
    }
    return packet;
}

u32 dataWord(u32 quadword, unsigned lane) { return hostLoad<u32>(vu1.dataMem + quadword * 16 + 4 * lane); }

// The V4-32 vectors are overwritten by V4-5. V3-32 vector 127 holds words
// 381..383; V3-16 vector 127 halfwords 381..383 (0, 191, 0); V4-8 vector
// 127 the bytes of word 127; V4-5 vector 126 the colour 63.
bool lastVectorsRight() {
    return dataWord(255, 0) == 381 && dataWord(255, 2) == 383 && dataWord(383, 0) == 0 && dataWord(383, 1) == 191 &&
           dataWord(511, 0) == 127 && dataWord(511, 3) == 0 && dataWord(126, 0) == 248 && dataWord(126, 1) == 8;
}

void sendPackets(const std::vector<u32>& packet, int times) {
    for (int i = 0; i < times; ++i) vifCommandStream(packet.data(), static_cast<u32>(packet.size()));
}

BenchRun unpackRun() {
    if (memory.ram == nullptr) emuInit();
    vifReset();
    const std::vector<u32> packet = buildPacket();
    BenchRun run;
    const double start = threadSeconds();
    sendPackets(packet, kPacketsPerRun);
    run.seconds = threadSeconds() - start;
    run.units = double(kPacketsPerRun) * kVectorsPerUnpack * std::size(kFormats);
    run.correct = lastVectorsRight();
    return run;
}

double unpackCount() {
    if (memory.ram == nullptr) emuInit();
    vifReset();
    const std::vector<u32> packet = buildPacket();
    beginCounting();
    sendPackets(packet, kCountedPackets);
    endCounting();
    return double(kCountedPackets) * kVectorsPerUnpack * std::size(kFormats);
}

const BenchWorkload kUnpack{"vif", "vectors", unpackRun, unpackCount, nullptr};

}  // namespace

const BenchWorkload& vifUnpackWorkload() { return kUnpack; }
