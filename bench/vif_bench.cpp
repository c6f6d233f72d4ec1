// VIF1 UNPACK throughput: a stream of UNPACKs in the common vertex formats
// run through vifCommandStream from host memory, in vectors written per
// second of host time. The last vector of each format is checked.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/emulation.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kVectorsPerUnpack = 128;
constexpr int kPacketsPerRun = 20000;

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

}  // namespace

bool vifUnpackBench(int repetitions) {
    if (memory.ram == nullptr) emuInit();
    vifReset();
    const std::vector<u32> packet = buildPacket();
    const double vectorsPerRun = double(kPacketsPerRun) * kVectorsPerUnpack * std::size(kFormats);
    double best = 0;
    for (int run = 1; run <= repetitions; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPacketsPerRun; ++i) vifCommandStream(packet.data(), static_cast<u32>(packet.size()));
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double perSecond = vectorsPerRun / elapsed.count();
        best = std::max(best, perSecond);
        const bool correct = lastVectorsRight();
        std::printf("vif run %d: %.0f vectors unpacked in %.3f s: %.1f million per second%s\n", run, vectorsPerRun,
                    elapsed.count(), perSecond / 1e6, correct ? "" : " (WRONG RESULT)");
        if (!correct) return false;
    }
    std::printf("vif unpack: best %.1f million vectors per second\n", best / 1e6);
    return true;
}
