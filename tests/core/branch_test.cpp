// Branches and jumps, run as guest code (guest/branch_ops.S). A trace
// record is 1 when the branch was taken (delay slot ran, the next word was
// skipped), 3 when an ordinary branch was not taken, 2 when a likely one
// was not taken (its delay slot skipped too).

#include <gtest/gtest.h>

#include "cpu_records.h"

namespace {

constexpr u64 kTaken = 1, kNotTaken = 3, kLikelyNotTaken = 2;

constexpr RecordCase kConditionalCases[] = {
    {"BEQ 5, 5", kTaken},
    {"BEQ: equal low words, different bits 32..63", kNotTaken},
    {"BNE: equal low words, different bits 32..63", kTaken},
    {"BNE 5, 5", kNotTaken},
    {"BLEZ 0", kTaken},
    {"BLEZ -1", kTaken},
    {"BLEZ 0x100000000 is positive", kNotTaken},
    {"BLEZ 0x80000000 is positive as 64 bits", kNotTaken},
    {"BGTZ 0x100000000", kTaken},
    {"BGTZ 0", kNotTaken},
    {"BGTZ 0xFFFFFFFF00000001 is negative", kNotTaken},
    {"BEQL 5, 5", kTaken},
    {"BEQL not taken skips its delay slot", kLikelyNotTaken},
    {"BNEL taken", kTaken},
    {"BNEL not taken", kLikelyNotTaken},
    {"BLEZL 0", kTaken},
    {"BLEZL 0x100000000", kLikelyNotTaken},
    {"BGTZL 0x100000000", kTaken},
    {"BGTZL 0", kLikelyNotTaken},
    {"BLTZ bit 63 set", kTaken},
    {"BLTZ 0x80000000: bit 31 alone is not negative", kNotTaken},
    {"BLTZ 0", kNotTaken},
    {"BGEZ 0", kTaken},
    {"BGEZ 0x80000000", kTaken},
    {"BGEZ -1", kNotTaken},
    {"BLTZL -1", kTaken},
    {"BLTZL 0", kLikelyNotTaken},
    {"BGEZL 0", kTaken},
    {"BGEZL -1", kLikelyNotTaken},
};

struct LinkCase {
    const char* what;
    u64 trace;
    const char* site;  // the link is site + 8; null when nothing is linked
};

constexpr LinkCase kLinkCases[] = {
    {"BLTZAL taken", kTaken, "bltzalTaken"},
    {"BLTZAL not taken", kNotTaken, nullptr},
    {"BGEZAL $0", kTaken, "bgezalZero"},
    {"BGEZAL not taken", kNotTaken, nullptr},
    {"BLTZALL taken", kTaken, "bltzallTaken"},
    {"BLTZALL not taken", kLikelyNotTaken, nullptr},
    {"BGEZALL taken", kTaken, "bgezallTaken"},
    {"BGEZALL not taken", kLikelyNotTaken, nullptr},
};

constexpr unsigned kJumpRecord = std::size(kConditionalCases) + 2 * std::size(kLinkCases);
constexpr unsigned kBranchRecords = kJumpRecord + 13;

class Branches : public testing::Test {
protected:
    void SetUp() override { runRecordProgram("cpu_branch", kBranchRecords); }

    // A link value: the site's address + 8, bits 32..63 zero, bits 64..127
    // as primed.
    static void expectLink(unsigned record, u32 address) {
        EXPECT_EQ(recordLow(record), u64{address} + 8) << "record " << record;
        EXPECT_EQ(recordHigh(record), kPatternHigh) << "record " << record;
    }
};

TEST_F(Branches, ConditionalBranchesCompareAll64Bits) { expectRecords(kConditionalCases, 0); }

TEST_F(Branches, LinkingBranchesLinkOnlyWhenTaken) {
    unsigned record = std::size(kConditionalCases);
    for (const LinkCase& c : kLinkCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(recordLow(record), c.trace);
        if (c.site) {
            expectLink(record + 1, guestSymbol(c.site));
        } else {
            EXPECT_EQ(recordLow(record + 1), kPatternLow) << "GPR 31 written";
            EXPECT_EQ(recordHigh(record + 1), kPatternHigh);
        }
        record += 2;
    }
}

TEST_F(Branches, Jumps) {
    unsigned r = kJumpRecord;
    EXPECT_EQ(recordLow(r++), kTaken) << "J";
    EXPECT_EQ(recordLow(r++), kTaken) << "JAL";
    expectLink(r++, guestSymbol("jalSite"));
    EXPECT_EQ(recordLow(r++), kTaken) << "JR";
    EXPECT_EQ(recordLow(r++), kTaken) << "JR with bits 32..63 of rs set";
    EXPECT_EQ(recordLow(r++), kTaken) << "JALR";
    expectLink(r++, guestSymbol("jalrSite"));
    EXPECT_EQ(recordLow(r++), kTaken) << "JALR rd = rs jumps to the old value";
    expectLink(r++, guestSymbol("jalrSameSite"));
    EXPECT_EQ(recordLow(r++), kTaken) << "JALR rd = 0";
}

// JR to 0x80000000 + a code address runs the same code; a JAL there links
// the 0x8... address, zero-extended; a JAL after J came back links low.
TEST_F(Branches, CodeRunsThroughTheKseg0Alias) {
    const unsigned r = kJumpRecord + 10;
    EXPECT_EQ(recordLow(r), kTaken);
    expectLink(r + 1, 0x80000000u | guestSymbol("aliasJalSite"));
    expectLink(r + 2, guestSymbol("aliasBackSite"));
}

}  // namespace
