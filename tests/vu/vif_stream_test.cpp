// A VIF1 stream cut into pieces works as it does in one piece, whether the
// cuts come from the host or from a DMA chain's tags; every payload kind
// (MPG, DIRECT, UNPACK, the settings words) is cut somewhere.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "memory/bus.h"
#include "memory/dma_chain.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"
#include "vif_codes.h"

namespace {

const std::vector<u32> kStream = {
    vifCode(Stcycl, 1, 0x0404), vifCode(Stmask), 0xF0F0F0F0, vifCode(Strow), 11, 12, 13, 14,
    vifCode(Stcol), 21, 22, 23, 24, vifCode(Itop, 0, 0x30),
    vifCode(Mpg, 3, 0x10), 0x101, 0x102, 0x103, 0x104, 0x105, 0x106,
    unpackCode(2, 2, 5, 0x2 | kFlg), 0x04030201, 0x08070605, 0x0C0B0A09, 0x800F0E0D,
    unpackCode(2, 1, 3, 0x40 | kUnsigned), 0x0002FFFF, 0x80010003, 0x00058004, 0x80078006, 0x00090008,
    unpackCode(3, 3, 3, 0x50), 0x7FFF8C41, 0x5555FFFF,
    vifCode(Direct, 0, 3), 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42,
    unpackCode(3, 0, 2, 0x60), 51, 52, 53, 54, 55, 56, 57, 58,
    vifCode(Mscal, 0, 0x10), vifCode(Mark, 0, 0xCAFE), vifCode(Offset, 0, 0x20),
};

// Everything the stream can change.
struct Outcome {
    std::vector<u8> dataMemory, microMemory, registers;
    u32 tpc;
    std::vector<u32> gsWords;  // all GSgifTransfer data, in order
    u32 gsQuadwords;

    bool operator==(const Outcome&) const = default;
};

void startFresh() {
    useTestPlugins();
    resetMachine();
    clearRecording();
    fillVu1Memories();
}

Outcome outcome() {
    Outcome seen{std::vector<u8>(vu1.dataMem, vu1.dataMem + 0x4000),
                 std::vector<u8>(vu1.microMem, vu1.microMem + 0x4000),
                 std::vector<u8>(memory.hw + kVif1Registers, memory.hw + kVif1Registers + 0x60), vu1.tpc, {}, 0};
    for (const RecordedCall& call : recordedCalls()) {
        if (call.library != "gs" || call.entry != "GSgifTransfer") continue;
        seen.gsWords.insert(seen.gsWords.end(), call.data.begin(), call.data.end());
        seen.gsQuadwords += static_cast<u32>(call.args.at(0));
    }
    return seen;
}

// The stream sent in pieces that end at the given word positions.
Outcome sendInPieces(const std::vector<u32>& cuts) {
    startFresh();
    u32 from = 0;
    for (u32 cut : cuts) {
        vifCommandStream(kStream.data() + from, cut - from);
        from = cut;
    }
    vifCommandStream(kStream.data() + from, static_cast<u32>(kStream.size()) - from);
    return outcome();
}

TEST(VifStream, APayloadCutAnywhereCarriesOverToTheNextPiece) {
    const Outcome whole = sendInPieces({});
    // A few values the stream must have produced at all, so that equal
    // outcomes mean something.
    ASSERT_EQ(hostLoad<u32>(whole.microMemory.data() + 0x80), 0x101u);
    ASSERT_EQ(whole.gsQuadwords, 3u);
    ASSERT_EQ(hostLoad<u32>(whole.dataMemory.data() + (0x30 + 0x2 + 2) * 16 + 4), 0x8u);  // third V3-8 vector's y
    ASSERT_EQ(hostLoad<u32>(whole.registers.data() + kVif1Mark), 0xCAFEu);

    const u32 words = static_cast<u32>(kStream.size());
    for (u32 cut = 1; cut < words; ++cut) {
        EXPECT_TRUE(sendInPieces({cut}) == whole) << "cut after word " << cut;
    }
    std::vector<u32> everyWord, tagHalves;
    for (u32 cut = 1; cut < words; ++cut) everyWord.push_back(cut);
    for (u32 cut = 2; cut < words; cut += 6) {
        tagHalves.push_back(cut);
        if (cut + 4 < words) tagHalves.push_back(cut + 4);
    }
    EXPECT_TRUE(sendInPieces(everyWord) == whole) << "one word per piece";
    EXPECT_TRUE(sendInPieces(tagHalves) == whole) << "pieces of two and four words";
}

// Through the channel: an UNPACK named in one tag's upper half takes its
// first vector from that tag's data, its second from the next tag's upper
// half and data; a DIRECT runs from the data of one tag into the next.
TEST(VifStream, ADmaChainFeedsTagHalvesAndDataInOrder) {
    useTestPlugins();
    ASSERT_TRUE(loadGuestProgram("vif_dma_start"));
    fillVu1Memories();
    clearRecording();
    constexpr u32 kChain = 0x200000;
    const std::vector<u32> chain = {
        Cnt << 28 | 1, 0, vifCode(Nop), unpackCode(3, 0, 2, 7),  // tag 0
        1, 2, 3, 4,
        Cnt << 28 | 1, 0, 5, 6,  // tag 1
        7, 8, vifCode(Mark, 0, 0x2222), vifCode(Direct, 0, 1),
        End << 28 | 1, 0, 41, 42,  // tag 2
        43, 44, vifCode(Nop), vifCode(Nop),
    };
    for (u32 i = 0; i < chain.size(); ++i) hostStore<u32>(memory.ram + kChain + 4 * i, chain[i]);
    memWrite32(kChain, kVif1 + Tadr);
    memWrite32(0x105, guestSymbol("chcr"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);

    EXPECT_EQ(dataQuadword(7), (Quadword{1, 2, 3, 4}));
    EXPECT_EQ(dataQuadword(8), (Quadword{5, 6, 7, 8}));
    EXPECT_EQ(dataQuadword(9), (Quadword{kUntouched, kUntouched, kUntouched, kUntouched}));
    EXPECT_EQ(vif1Register(kVif1Mark), 0x2222u);
    const Outcome seen = outcome();
    EXPECT_EQ(seen.gsWords, (std::vector<u32>{41, 42, 43, 44}));
    EXPECT_EQ(seen.gsQuadwords, 1u);
}

}  // namespace
