// VU1 micro-program execution from the host: the end and I bits, the
// branches with their delay slots, XGKICK to the recording GS, and the cut-off
// for a program without an end bit. Programs are encoded below; expected
// values are worked out by hand from the rules.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "memory/host_access.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"
#include "vu/vu1_micro.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"
#include "vu/vu_upper.h"

namespace {

constexpr u32 kEnd = 0x40000000;
constexpr u32 kIBit = 0x80000000;
constexpr u32 kUpperNop = 0x2B;  // MAX with an empty dest mask: writes nothing, sets no flag

u32 lowerField(u32 op, u32 t, u32 s, u32 imm11) { return (op << 25) | (t << 16) | (s << 11) | (imm11 & 0x7FF); }
u32 iaddiu(u32 t, u32 s, u32 imm) { return lowerField(0x08, t, s, imm) | ((imm >> 11) & 0xF) << 21; }
u32 branch(u32 op, u32 t, u32 s, s32 offset) { return lowerField(op, t, s, static_cast<u32>(offset)); }
u32 xgkick(u32 s) { return (0x40u << 25) | (s << 11) | (0x1B << 6) | 0x3C; }
// ADDi fd.x, fs: fd.x = fs.x + I.
u32 addiX(u32 d, u32 s) { return (0x8u << 21) | (s << 11) | (d << 6) | 0x22; }

// FMAC upper words: dest mask, function code, fd, fs, ft.
constexpr u32 kX = 8, kY = 4, kZ = 2, kXyzw = 0xF;
constexpr u32 kAdd = 0x28, kMadd = 0x29, kMul = 0x2A, kSub = 0x2C;
u32 fmac(u32 dest, u32 function, u32 d, u32 s, u32 t) { return dest << 21 | t << 16 | s << 11 | d << 6 | function; }
u32 fmand(u32 t, u32 s) { return lowerField(0x1A, t, s, 0); }
u32 iadd(u32 d, u32 s, u32 t) { return (0x40u << 25) | (t << 16) | (s << 11) | (d << 6) | 0x30; }
u32 ilw(u32 dest, u32 t, u32 s) { return lowerField(0x04, t, s, 0) | dest << 21; }

constexpr u32 kB = 0x20, kBal = 0x21, kJr = 0x24, kIbeq = 0x28, kIbne = 0x29;
constexpr u32 kIbltz = 0x2C, kIbgtz = 0x2D, kIblez = 0x2E, kIbgez = 0x2F;

std::vector<RecordedCall> kickedPackets() {
    std::vector<RecordedCall> kicks;
    for (const RecordedCall& call : recordedCalls())
        if (call.entry == "GSgifTransfer2") kicks.push_back(call);
    return kicks;
}

void putPair(u32 byteOffset, u32 lower, u32 upper = kUpperNop) {
    hostStore<u32>(vu1.microMem + byteOffset, lower);
    hostStore<u32>(vu1.microMem + byteOffset + 4, upper);
}

// Micro memory full of pairs that do nothing.
void clearProgram() {
    for (u32 at = 0; at < kVu1MemoryBytes; at += 8) putPair(at, iaddiu(0, 0, 0));
}

class VuMicro : public testing::Test {
protected:
    void SetUp() override {
        useTestPlugins();
        resetMachine();
        // A reset keeps VU1's registers; each test starts from zero.
        std::memset(vu1.vf, 0, sizeof vu1.vf);
        std::memset(vu1.vi, 0, sizeof vu1.vi);
        vu1.vf[0].f[3] = 1.0f;
        clearProgram();
    }
};

TEST_F(VuMicro, AnEndBitRunsOneMorePairAndTpcStopsAfterIt) {
    putPair(16, iaddiu(1, 0, 5), kUpperNop | kEnd);
    putPair(24, iaddiu(2, 0, 6));
    putPair(32, iaddiu(3, 0, 7));
    vu1.tpc = 16;
    vu1Run();
    EXPECT_EQ(vu1.vi[1], 5u);
    EXPECT_EQ(vu1.vi[2], 6u);
    EXPECT_EQ(vu1.vi[3], 0u);
    EXPECT_EQ(vu1.tpc, 32u);

    // The D and T bits end a program too.
    for (u32 bit : {0x10000000u, 0x08000000u}) {
        putPair(0, iaddiu(4, 0, 1), kUpperNop | bit);
        vu1.tpc = 0;
        vu1Run();
        EXPECT_EQ(vu1.tpc, 16u) << std::hex << bit;
    }
}

// The upper instruction of an I-bit pair reads I as it was; the lower word
// then becomes I and is not executed.
TEST_F(VuMicro, TheIBitLoadsTheLowerWordIntoIAfterTheUpperRead) {
    vu1.vi[kViI] = std::bit_cast<u32>(5.0f);
    putPair(0, std::bit_cast<u32>(2.0f), addiX(1, 0) | kIBit);
    putPair(8, iaddiu(0, 0, 0), addiX(2, 0) | kEnd);
    vu1.tpc = 0;
    vu1Run();
    EXPECT_EQ(vu1.vf[1].f[0], 5.0f);
    EXPECT_EQ(vu1.vf[2].f[0], 2.0f);
    EXPECT_EQ(vu1.vi[kViI], std::bit_cast<u32>(2.0f));
}

TEST_F(VuMicro, BalLinksPastTheDelaySlotAndJrReturnsThere) {
    putPair(0x20, branch(kBal, 1, 0, 3));  // to 0x28 + 3 * 8 = 0x40
    putPair(0x28, iaddiu(2, 0, 7));        // delay slot
    putPair(0x30, iaddiu(3, 0, 9), kUpperNop | kEnd);
    putPair(0x38, iaddiu(6, 0, 11));
    putPair(0x40, branch(kJr, 0, 1, 0));
    putPair(0x48, iaddiu(4, 0, 3));  // delay slot
    vu1.tpc = 0x20;
    vu1Run();
    EXPECT_EQ(vu1.vi[1], 0x30u);
    EXPECT_EQ((std::vector<u32>{vu1.vi[2], vu1.vi[3], vu1.vi[4], vu1.vi[6]}), (std::vector<u32>{7, 9, 3, 11}));
    EXPECT_EQ(vu1.tpc, 0x40u);

    // B backwards with a negative offset, and JALR linking into the register
    // it jumps through (the target is read first).
    clearProgram();
    putPair(0x100, branch(0x25, 5, 5, 0));  // JALR vi5, vi5
    putPair(0x108, iaddiu(7, 0, 1));
    putPair(0x200, branch(kB, 0, 0, -4));  // to 0x208 - 0x20 = 0x1E8
    putPair(0x208, iaddiu(8, 0, 2));
    putPair(0x1E8, iaddiu(9, 0, 3), kUpperNop | kEnd);
    vu1.vi[5] = 0x200;
    vu1.tpc = 0x100;
    vu1Run();
    EXPECT_EQ(vu1.vi[5], 0x110u);
    EXPECT_EQ((std::vector<u32>{vu1.vi[7], vu1.vi[8], vu1.vi[9]}), (std::vector<u32>{1, 2, 3}));
    EXPECT_EQ(vu1.tpc, 0x1F8u);
}

// Only the low 16 bits are compared; an end bit in the delay slot of a taken
// branch leaves one more pair, at the target.
TEST_F(VuMicro, ConditionalBranchesCompareSixteenBitsAndEndAfterTheTarget) {
    vu1.vi[1] = 0x10000;
    putPair(0x00, branch(kIbne, 1, 0, 5));
    putPair(0x08, iaddiu(2, 0, 1));
    putPair(0x10, branch(kIbeq, 1, 0, 4));  // to 0x18 + 0x20 = 0x38
    putPair(0x18, iaddiu(3, 0, 2), kUpperNop | kEnd);
    putPair(0x20, iaddiu(4, 0, 4));
    putPair(0x38, iaddiu(5, 0, 5));
    putPair(0x40, iaddiu(6, 0, 6));
    vu1.tpc = 0;
    vu1Run();
    EXPECT_EQ((std::vector<u32>{vu1.vi[2], vu1.vi[3], vu1.vi[4], vu1.vi[5], vu1.vi[6]}),
              (std::vector<u32>{1, 2, 0, 5, 0}));
    EXPECT_EQ(vu1.tpc, 0x40u);
}

TEST_F(VuMicro, SignTestsReadTheLowHalfAsSigned) {
    struct Case {
        u32 op, value;
        bool taken;
    };
    const Case cases[] = {
        {kIbltz, 0x8000, true},  {kIbltz, 0, false},     {kIbltz, 0x10000, false}, {kIbgtz, 0x7FFF, true},
        {kIbgtz, 0x8000, false}, {kIbgtz, 0, false},     {kIblez, 0, true},        {kIblez, 0xFFFF, true},
        {kIblez, 1, false},      {kIbgez, 0x10000, true}, {kIbgez, 0xFFFF, false},
    };
    for (const Case& c : cases) {
        clearProgram();
        putPair(0x00, branch(c.op, 0, 1, 2));  // to 0x08 + 0x10 = 0x18
        putPair(0x08, iaddiu(0, 0, 0), kUpperNop | kEnd);
        putPair(0x10, iaddiu(2, 0, 1));
        putPair(0x18, iaddiu(2, 0, 2));
        vu1.vi[1] = c.value;
        vu1.vi[2] = 0;
        vu1.tpc = 0;
        vu1Run();
        EXPECT_EQ(vu1.vi[2], c.taken ? 2u : 1u) << std::hex << c.op << " " << c.value;
    }
}

// XGKICK with VI[is] = 0x10 hands the GS the packet at byte 0x100 of data
// memory: one GIF tag (NLOOP 1, EOP, PACKED, one register) and one quadword.
TEST_F(VuMicro, XgkickHandsTheGsThePacketAtTheQuadwordInVi) {
    const std::vector<u32> packet = {0x00008001, 0x10000000, 0xE, 0, 0x11, 0x22, 0x33, 0x44};
    std::memcpy(vu1.dataMem + 0x100, packet.data(), 4 * packet.size());
    vu1.vi[3] = 0x10;
    putPair(0, xgkick(3), kUpperNop | kEnd);
    vu1.tpc = 0;
    vu1Run();
    std::vector<RecordedCall> kicks;
    for (const RecordedCall& call : recordedCalls())
        if (call.entry == "GSgifTransfer2") kicks.push_back(call);
    ASSERT_EQ(kicks.size(), 1u);
    EXPECT_EQ(kicks[0].data, packet);
}

void kickFrom(u32 quadword) {
    vu1.vi[3] = quadword;
    putPair(0, xgkick(3), kUpperNop | kEnd);
    vu1.tpc = 0;
    vu1Run();
}

// A packet whose tag lies in the last quadword of data memory continues at
// its start, as the GIF reads it; the GS gets the two pieces joined.
TEST_F(VuMicro, XgkickJoinsAPacketThatWrapsAtTheEndOfDataMemory) {
    const std::vector<u32> tag = {0x00008002, 0x10000000, 0xE, 0};
    const std::vector<u32> data = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(vu1.dataMem + kVu1MemoryBytes - 16, tag.data(), 16);
    std::memcpy(vu1.dataMem, data.data(), 32);
    kickFrom(kVu1MemoryBytes / 16 - 1);
    const std::vector<RecordedCall> kicks = kickedPackets();
    ASSERT_EQ(kicks.size(), 1u);
    std::vector<u32> expected = tag;
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(kicks[0].data, expected);
}

// A packet longer than data memory (here an IMAGE tag of 2000 quadwords
// after an A+D tag) is cut before the tag that does not fit and ended with
// an empty EOP tag, so the GS never reads past the copy. The GS gets each
// tag as a packet of its own.
TEST_F(VuMicro, XgkickEndsAPacketLongerThanDataMemoryBeforeTheTagThatRunsPast) {
    const std::vector<u32> words = {1, 0x10000000, 0xE, 0, 0xAA, 0, 0x3F, 0, 2000, 0x08000000, 0, 0};
    std::memcpy(vu1.dataMem + 0x200, words.data(), 4 * words.size());
    kickFrom(0x20);
    const std::vector<RecordedCall> kicks = kickedPackets();
    ASSERT_EQ(kicks.size(), 2u);
    EXPECT_EQ(kicks[0].data, (std::vector<u32>{0x8001, 0x10000000, 0xE, 0, 0xAA, 0, 0x3F, 0}));
    EXPECT_EQ(kicks[1].data, (std::vector<u32>{0x8000, 0, 0, 0}));
}

// A program without an end bit stops after the pair limit; tpc wraps inside
// micro memory on the way (16M pairs are a whole number of laps). The flags
// of its last FMAC are settled when it is cut, as when it ends.
TEST_F(VuMicro, AProgramWithoutAnEndBitIsCutOffAndTpcWraps) {
    for (u32 at = 0; at < kVu1MemoryBytes; at += 8) putPair(at, iaddiu(1, 1, 1));
    putPair(0x3FF0, iaddiu(1, 1, 1), fmac(kXyzw, kAdd, 3, 1, 2));
    vu1.vf[1] = VuVector{{1, -2, 3, 0}};
    vu1.vf[2] = VuVector{{-1, 1, 5, 0}};
    vu1.tpc = 0x3FF8;
    vu1Run();
    EXPECT_EQ(vu1.tpc, 0x3FF8u);
    EXPECT_EQ(vu1.vi[1], 0x10000u);
    EXPECT_EQ(vu1.vi[kViMac], 0x0049u);
}

// The flags a program leaves, and those its lower instructions read, are
// the last FMAC's before them, whichever instruction reads: FMAND, or an
// integer instruction naming the MAC flag by its slot. The upper
// instruction of a pair runs before the lower one.
TEST_F(VuMicro, AFlagReadSeesTheLastFmacBeforeIt) {
    vu1.vf[1] = VuVector{{1, -2, 3, 0}};
    vu1.vf[2] = VuVector{{-1, 1, 5, 0}};
    vu1.vuAcc = VuVector{{1, 0, 0, 0}};
    vu1.vi[6] = 0xFFFF;
    vu1.vi[kViStatus] = 0x0C0;  // sticky bits, which no FMAC touches
    putPair(0, iaddiu(0, 0, 0), fmac(kXyzw, kAdd, 3, 1, 2));       // (0, -1, 8, 0): Z x w, S y
    putPair(8, fmand(5, 6), fmac(kX | kY, kMul, 4, 1, 2));         // (-1, -2): S x y
    putPair(16, iadd(7, kViMac, 0), fmac(kX | kZ, kSub, 5, 1, 2));  // (2, -2): S z
    putPair(24, iaddiu(0, 0, 0), fmac(kX, kMadd, 6, 1, 2) | kEnd);  // 1 + 1 * -1 = 0: Z x
    vu1.tpc = 0;
    vu1Run();
    EXPECT_EQ(vu1.vi[5], 0x00C0u) << "FMAND after MUL";
    EXPECT_EQ(vu1.vi[7], 0x0020u) << "IADD of the MAC slot after SUB";
    EXPECT_EQ(vu1.vi[kViMac], 0x0008u) << "after MADD";
    EXPECT_EQ(vu1.vi[kViStatus], 0x0C1u) << "after MADD";
}

struct Vu1Snapshot {
    VuVector vf[32];
    VuVector acc;
    u32 vi[32];
    u32 tpc;
    u32 random;
    u8 data[kVu1MemoryBytes];
};

void takeSnapshot(Vu1Snapshot& snapshot) {
    std::memcpy(snapshot.vf, vu1.vf, sizeof snapshot.vf);
    snapshot.acc = vu1.vuAcc;
    std::memcpy(snapshot.vi, vu1.vi, sizeof snapshot.vi);
    snapshot.tpc = vu1.tpc;
    snapshot.random = vuRandomState;
    std::memcpy(snapshot.data, vu1.dataMem, sizeof snapshot.data);
}

void putSnapshot(const Vu1Snapshot& snapshot) {
    std::memcpy(vu1.vf, snapshot.vf, sizeof snapshot.vf);
    vu1.vuAcc = snapshot.acc;
    std::memcpy(vu1.vi, snapshot.vi, sizeof snapshot.vi);
    vu1.tpc = snapshot.tpc;
    vuRandomState = snapshot.random;
    std::memcpy(vu1.dataMem, snapshot.data, sizeof snapshot.data);
}

// Every lower word whose fields name the status or MAC slot, paired with an
// FMAC, leaves what it leaves when the FMAC's flags are settled before it
// runs: none reads flags the FMAC has replaced, and none writes a slot that
// the FMAC's judgement then overwrites. Branches run their delay slot, a
// pair of no-ops, in both.
TEST_F(VuMicro, EveryLowerWordNamingAFlagSlotSeesTheFlagsOfTheFmacBeforeIt) {
    constexpr u32 kAt = 0x100;
    const u32 upper = fmac(kXyzw, kAdd, 3, 1, 2);  // MAC 0x0049, status 0x3
    std::vector<u32> words;
    for (u32 it : {5u, 16u, 17u})
        for (u32 is : {5u, 16u, 17u}) {
            for (u32 opcode = 0; opcode < 0x80; ++opcode)
                if (opcode != kVuLowerFunctionOpcode) words.push_back(lowerField(opcode, it, is, kViMac << 6) | kXyzw << 21);
            for (u32 low = 0; low <= kVuLowerFunctionMask; ++low)
                words.push_back(lowerField(kVuLowerFunctionOpcode, it, is, low) | kXyzw << 21);
        }
    Vu1Snapshot start, settledFirst, waiting;
    vu1.vf[1] = VuVector{{1, -2, 3, 0}};
    vu1.vf[2] = VuVector{{-1, 1, 5, 0}};
    vu1.vf[16] = VuVector{{4, 5, 6, 7}};
    vu1.vf[17] = VuVector{{-4, -5, -6, -7}};
    for (u32 n = 0; n < 16; ++n) vu1.vi[n] = n * 3;
    vu1.vi[kViMac] = 0x1234;
    for (u32 at = 0; at < kVu1MemoryBytes; at += 4) hostStore<u32>(vu1.dataMem + at, at * 0x9E3779B9u);
    vu1.tpc = kAt;
    takeSnapshot(start);
    for (u32 lower : words) {
        SCOPED_TRACE(testing::Message() << "lower word " << std::hex << lower);
        putSnapshot(start);
        clearRecording();
        vu1.tpc = kAt + 8;
        vu1.code = upper;
        vu1RunUpper();
        vu1.code = lower;
        vu1RunLower();
        takeSnapshot(settledFirst);
        const std::vector<RecordedCall> kicksSettledFirst = kickedPackets();

        putSnapshot(start);
        clearRecording();
        putPair(kAt, lower, upper);
        vu1ExecPair();
        putPair(kAt, iaddiu(0, 0, 0));
        takeSnapshot(waiting);
        const std::vector<RecordedCall> kicksWaiting = kickedPackets();
        ASSERT_EQ(kicksSettledFirst.size(), kicksWaiting.size());
        for (size_t kick = 0; kick < kicksWaiting.size(); ++kick)
            ASSERT_EQ(kicksSettledFirst[kick].data, kicksWaiting[kick].data) << "XGKICK";
        ASSERT_EQ(std::memcmp(settledFirst.vi, waiting.vi, sizeof waiting.vi), 0)
            << "status " << waiting.vi[kViStatus] << " (settled first: " << settledFirst.vi[kViStatus] << "), MAC "
            << waiting.vi[kViMac] << " (settled first: " << settledFirst.vi[kViMac] << ")";
        ASSERT_EQ(std::memcmp(&settledFirst, &waiting, sizeof waiting), 0);
    }
}

// Lower instructions that write a flag slot write it after the flags of the
// FMACs before them, which therefore never overwrite what they wrote: here
// ILW into status and IADDIU into MAC, each after an FMAC.
TEST_F(VuMicro, AFlagSlotWrittenByALowerInstructionKeepsItsValue) {
    vu1.vf[1] = VuVector{{1, -2, 3, 0}};
    vu1.vf[2] = VuVector{{-1, 1, 5, 0}};
    hostStore<u32>(vu1.dataMem, 0xABCD0F00);
    putPair(0, ilw(kX, kViStatus, 0), fmac(kX, kAdd, 3, 1, 2));         // Z x, then status = 0x0F00
    putPair(8, iaddiu(kViMac, 0, 0x1234), fmac(kY, kMul, 4, 1, 2));      // S y, then MAC = 0x1234
    putPair(16, iaddiu(0, 0, 0), kUpperNop | kEnd);
    vu1.tpc = 0;
    vu1Run();
    EXPECT_EQ(vu1.vi[kViMac], 0x1234u);
    EXPECT_EQ(vu1.vi[kViStatus], 0x0F02u) << "ILW's value with the summary of MUL";
}

}  // namespace

namespace {

// A guest program sends the micro-program and a vertex over a VIF1 DMA chain
// and starts it; the GS receives the GIF packet VU1 built, with the vertex
// transformed as computed here.
TEST(VuMicroDma, AGuestProgramTransformsAVertexAndKicksItToTheGs) {
    useTestPlugins();
    ASSERT_TRUE(loadGuestProgram("vu_micro_dma"));
    ASSERT_EQ(runGuest(), StopReason::IdleLoop);
    const float vertex[4] = {1.5f, -2.25f, 100.0f, 1.0f};
    std::vector<u32> expected = {0x00008002, 0x10000000, 0x5, 0};
    for (float lane : vertex) expected.push_back(std::bit_cast<u32>(lane));
    for (float lane : vertex) expected.push_back(static_cast<u32>(static_cast<s32>(lane * 2.0f * 16.0f)));
    std::vector<RecordedCall> kicks;
    for (const RecordedCall& call : recordedCalls())
        if (call.entry == "GSgifTransfer2") kicks.push_back(call);
    ASSERT_EQ(kicks.size(), 1u);
    EXPECT_EQ(kicks[0].data, expected);
    EXPECT_EQ(vu1.tpc, 56u);
    // No instruction of the program reads the flags of its MULi (y alone
    // negative); they are settled all the same when it ends.
    EXPECT_EQ(vu1.vi[kViMac] & 0xFFFF, 0x0040u);
    EXPECT_EQ(vu1.vi[kViStatus] & 0xF, 0x2u);
}

}  // namespace
