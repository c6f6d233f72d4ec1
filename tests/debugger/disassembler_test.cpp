// The disassembler against the name tables' own cases and against an
// independent listing: binutils' objdump over the project's guest programs.
//
// Built with the sanitizers, g++ 12 reports a false maybe-uninitialized
// inside libstdc++'s <regex> automaton, which this file's listing parser uses.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/ee_state.h"
#include "debugger/disassembler.h"
#include "debugger/disassembly_listing.h"
#include "debugger/hex_address.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "support/guest_machine.h"

namespace {

TEST(Disassembler, TraceLinesNameEachDecodingLevel) {
    ee.gpr[3].w[0] = 0x120;  // only the low byte selects the call
    EXPECT_EQ(disasmLine(0x0000000C, 0x00100004), "SYSCALL_CreateThread - 0000000C - 00100004");
    EXPECT_EQ(disasmLine(0x03E00008, 0x00100010), "JR - 03E00008 - 00100010");
    EXPECT_EQ(disasmLine(0, 0x00100000), "NOP - 00000000 - 00100000");
    EXPECT_EQ(disasmLine(0x0000F809 | (2u << 21), 0x10), "JALR  - 0040F809 - 00000010") << "the name keeps its blank";

    const std::pair<u32, const char*> names[] = {
        {0x4B000000, "VADDx"},  {0x4B0002FF, "VNOP"},       {0x4B000014, "VMINx"},    {0x4B00003C, "VADDAx"},
        {0x4B000038, "VCALLMS"}, {0x4B00043F, "VRXOR"},     {0x48000000, "NO"},       {0x49000000, "BC2F"},
        {0x49030000, "BC2TL"},  {0x4A00003C, "VADDAx"}, {0x70000008, "PADDW"},    {0x70000028, "NO"},
        {0x700003A9, "PCPYUD"}, {0x70000002, "NI"},         {0x40000000, "MF0"},      {0x40800000, "MT0"},
        {0x41000000, "BC0"},    {0x42000018, "ERET"},       {0x42000038, "EI"},       {0x42000001, "TLBR"},
        {0x46000034, "C_OLT_S"}, {0x46000036, "C_OLE_S"},   {0x46000000, "ADD_S"},    {0x46000024, "CVT_W_S"},
        {0x46800020, "CVT_S_W"}, {0x46800000, "NI"},        {0x45010000, "BC1T"},     {0x44400000, "CFC1"},
        {0x7C000000, "SQ"},     {0xBC000000, "CACHE"},      {0xCC000000, "PREF"},     {0x4C000000, "NI"},
        {0x0000000D, "BREAK"},  {0x0000000F, "SYNC"},       {0x00000001, "NI"},       {0x04180000, "MTSAB"},
        {0x040C0000, "TEQI"},   {0x04130000, "BGEZALL"},    {0x20000000, "ADDI"},     {0x70000030, "PMFHL"},
    };
    for (const auto& [word, name] : names) EXPECT_EQ(disasmName(word), name) << std::hex << word;
}

TEST(Disassembler, TypedAddressesNeedExactlyEightDigits) {
    EXPECT_EQ(parseHex8("00100000"), 0x00100000u);
    EXPECT_EQ(parseHex8("8010abCD"), 0x8010ABCDu);
    EXPECT_EQ(parseHex8("100000"), 0u) << "six digits";
    EXPECT_EQ(parseHex8("0010000g"), 0u);
    EXPECT_EQ(parseHex8("001000001"), 0x00100000u) << "a ninth character is not read";
    EXPECT_EQ(parseHex8(""), 0u);
}

// The listing around the PC shows the words the CPU would fetch, the PC's
// line marked, and stops at the ends of the address space.
TEST(Disassembler, ListingAroundAnAddress) {
    resetMachine();
    memFree();
    EXPECT_EQ(disassemblyAround(0x00100000, 1, 0),
              (std::vector<std::string>{"  000FFFFC  --------  unmapped", "> 00100000  --------  unmapped"}))
        << "no memory yet";
    resetMachine();

    const u32 words[] = {0x27BDFFF0, 0x00000001, 0x4BE31068, 0x03E00008, 0};
    for (u32 i = 0; i < 5; ++i) hostStore<u32>(guestRamAt(0x00100000 + 4 * i), words[i]);
    EXPECT_EQ(disassemblyAround(0x00100008, 2, 2),
              (std::vector<std::string>{
                  "  00100000  27BDFFF0  addiu sp,sp,-16",
                  "  00100004  00000001  NI",
                  "> 00100008  4BE31068  vadd.xyzw $vf1xyzw,$vf2xyzw,$vf3xyzw",
                  "  0010000C  03E00008  jr ra",
                  "  00100010  00000000  sll zero,zero,0x0",
              }));
    // Through an alias: the same words, the addresses as asked.
    EXPECT_EQ(disassemblyAround(0x80100008, 0, 0), (std::vector<std::string>{"> 80100008  4BE31068  vadd.xyzw "
                                                                             "$vf1xyzw,$vf2xyzw,$vf3xyzw"}));

    const std::vector<std::string> low = disassemblyAround(0x00000004, 16, 1);
    ASSERT_EQ(low.size(), 3u) << "nothing before address 0";
    EXPECT_TRUE(low[0].starts_with("  00000000"));
    EXPECT_TRUE(low[1].starts_with("> 00000004"));
    const std::vector<std::string> high = disassemblyAround(0xFFFFFFF8, 1, 16);
    ASSERT_EQ(high.size(), 3u) << "nothing past 0xFFFFFFFF";
    EXPECT_TRUE(high[2].starts_with("  FFFFFFFC"));
    EXPECT_EQ(disassemblyAround(0x00100002, 1, 0).front().substr(0, 12), "  000FFFFE  ") << "unaligned as given";
}

// ---- Against objdump --------------------------------------------------------

struct ListedInstruction {
    u32 address;
    u32 word;
    std::string text;  // mnemonic and operands, normalised
};

// objdump names COP0 and COP1 control registers; the disassembler numbers them.
const std::map<std::string, std::string> kControlRegisterNumbers = {
    {"c0_index", "$0"},   {"c0_random", "$1"},  {"c0_entrylo0", "$2"}, {"c0_entrylo1", "$3"},
    {"c0_context", "$4"}, {"c0_pagemask", "$5"}, {"c0_wired", "$6"},   {"c0_badvaddr", "$8"},
    {"c0_count", "$9"},   {"c0_entryhi", "$10"}, {"c0_compare", "$11"}, {"c0_sr", "$12"},
    {"c0_cause", "$13"},  {"c0_epc", "$14"},     {"c0_prid", "$15"},   {"c0_config", "$16"},
    {"c1_fir", "$0"},     {"c1_fcsr", "$31"},
};

std::string normaliseObjdump(std::string mnemonic, std::string operands) {
    // A target with a symbol: "100150 <main+0x40>" -> "0x100150".
    static const std::regex symbolTarget(R"((^|,)([0-9a-f]+) <[^>]*>$)");
    operands = std::regex_replace(operands, symbolTarget, "$010x$2");
    static const std::regex name(R"(c[01]_[a-z0-9]+)");
    std::string result;
    std::sregex_iterator it(operands.begin(), operands.end(), name), end;
    std::size_t last = 0;
    for (; it != end; ++it) {
        const auto found = kControlRegisterNumbers.find(it->str());
        result += operands.substr(last, it->position() - last);
        result += found != kControlRegisterNumbers.end() ? found->second : it->str();
        last = it->position() + it->length();
    }
    result += operands.substr(last);
    // The frame pointer goes by two names.
    result = std::regex_replace(result, std::regex(R"(\bfp\b)"), "s8");
    // Two aliases objdump prints even when asked for none.
    if (mnemonic == "negu" || mnemonic == "neg") {
        mnemonic = mnemonic == "negu" ? "subu" : "sub";
        result = std::regex_replace(result, std::regex(R"(^(\w+),)"), "$01,zero,");
    } else if (mnemonic.starts_with("vadda.") || mnemonic.starts_with("vmsuba.")) {
        // binutils' table has these two with fs and ft exchanged, against
        // the encoding of every other accumulator operation.
        result = std::regex_replace(result, std::regex(R"(^(\$ACC\w*),(\$vf\w+),(\$vf\w+)$)"), "$01,$03,$02");
    } else if (mnemonic == "dli") {
        mnemonic = "ori";
        result = std::regex_replace(result, std::regex(R"(^(\w+),)"), "$01,zero,");
    }
    return result.empty() ? mnemonic : mnemonic + " " + result;
}

std::vector<ListedInstruction> objdumpListing(const std::string& elf) {
    const std::string command = "mipsel-linux-gnu-objdump -m mips:5900 -M no-aliases -d -j .text '" + elf + "'";
    std::vector<ListedInstruction> listing;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return listing;
    static const std::regex line(R"(^\s*([0-9a-f]+):\s+([0-9a-f]{8})\s+(\S+)\s*(.*?)\s*$)");
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::smatch match;
        const std::string text = buffer;
        if (!std::regex_match(text, match, line)) continue;
        listing.push_back({static_cast<u32>(std::stoul(match[1], nullptr, 16)),
                           static_cast<u32>(std::stoul(match[2], nullptr, 16)),
                           normaliseObjdump(match[3], match[4])});
    }
    pclose(pipe);
    return listing;
}

TEST(Disassembler, AgreesWithObjdumpOnTheGuestPrograms) {
    std::vector<std::string> programs;
    for (const auto& entry : std::filesystem::directory_iterator(CORVANE_GUEST_DIR)) {
        if (entry.path().extension() == ".elf") programs.push_back(entry.path().string());
    }
    ASSERT_GE(programs.size(), 10u) << "guest programs missing from " << CORVANE_GUEST_DIR;

    unsigned compared = 0;
    unsigned vuMacrosCompared = 0;
    std::set<std::string> mnemonicsCompared;
    std::map<std::string, unsigned> onlyObjdumpKnows;
    for (const std::string& program : programs) {
        for (const ListedInstruction& listed : objdumpListing(program)) {
            const std::string mine = disasmInstruction(listed.word, listed.address);
            // objdump's words for encodings it does not know.
            const bool objdumpKnows = !listed.text.starts_with(".word") && !listed.text.starts_with("c1 ") &&
                                      !listed.text.starts_with("c2 ") && !listed.text.starts_with("c0 ");
            if (!objdumpKnows) continue;
            if (mine.empty()) {
                ++onlyObjdumpKnows[listed.text.substr(0, listed.text.find(' '))];
                continue;
            }
            ++compared;
            if (listed.word >> 25 == (18u << 1 | 1)) ++vuMacrosCompared;
            mnemonicsCompared.insert(mine.substr(0, mine.find(' ')));
            EXPECT_EQ(mine, listed.text) << program << " at " << std::hex << listed.address << ": word "
                                         << listed.word;
        }
    }
    std::ostringstream skipped;
    for (const auto& [mnemonic, count] : onlyObjdumpKnows) skipped << mnemonic << " x" << count << "  ";
    std::printf("compared %u instructions (%u VU macro operations), %zu distinct mnemonics; not spelled out: %s\n",
                compared, vuMacrosCompared, mnemonicsCompared.size(), skipped.str().c_str());
    EXPECT_TRUE(onlyObjdumpKnows.empty()) << "objdump spells out what the disassembler leaves empty";
    EXPECT_GT(compared, 5000u);
    EXPECT_GT(mnemonicsCompared.size(), 180u);
    EXPECT_GT(vuMacrosCompared, 100u) << "the COP2 macro program is missing";
}

}  // namespace
