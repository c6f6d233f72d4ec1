#include <gtest/gtest.h>

#include "runner/options.h"

TEST(RunnerNumbers, CountsAreDecimalOrPrefixedHexAndUntilIsAlwaysHex) {
    struct Row {
        const char* text;
        std::optional<u64> number;
        std::optional<u32> until;
    };
    const Row rows[] = {
        {"1234", 1234, 0x1234},
        {"0x1F", 0x1F, 0x1F},
        {"0Xff", 0xFF, 0xFF},
        {"FFFFFFFF", {}, 0xFFFFFFFF},
        {"100000000", 100000000, {}},
        {"18446744073709551615", UINT64_MAX, {}},
        {"0xffffffffffffffff", UINT64_MAX, {}},
        {"18446744073709551616", {}, {}},
        {"0x10000000000000000", {}, {}},
        {"12a", {}, 0x12A},
        {"1e3", {}, 0x1E3},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parseNumber(row.text), row.number) << "'" << row.text << "'";
        EXPECT_EQ(parseUntilAddress(row.text), row.until) << "'" << row.text << "'";
    }
    for (const char* text : {"", "0x", "-1", "+1", " 1", "1 ", "0x1g"}) {
        EXPECT_FALSE(parseNumber(text) || parseUntilAddress(text)) << "'" << text << "'";
    }
}

TEST(RunnerMemoryDump, SplitsAtTheFirstTwoColonsAndSaysWhatIsWrong) {
    std::string error;
    const auto request = parseMemoryDump("16:0x2000000:dir/a:b.bin", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->address, 16u);
    EXPECT_EQ(request->length, 0x2000000u);
    EXPECT_EQ(request->path, "dir/a:b.bin");

    for (const char* text : {"0x100000:64", "zz:64:f", "0x100000:6x4:f", "0x100000:64:", ":64:f", "0x100000000:4:f",
                             "0:0x2000001:f"}) {
        error.clear();
        EXPECT_FALSE(parseMemoryDump(text, error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(RunnerCommandLine, EveryOptionTogether) {
    const CommandLine line = parseCommandLine({"--max-cycles", "0x100", "--until", "100090", "--state-out", "s.json",
                                               "--memory-out", "0:4:a.bin", "prog.elf", "--memory-out", "8:2:b.bin"});
    ASSERT_EQ(line.error, "");
    const RunnerOptions& options = line.options;
    EXPECT_EQ(options.program, "prog.elf");
    EXPECT_EQ(options.limits.maxCycles, 0x100u);
    EXPECT_TRUE(options.limits.hasUntil);
    EXPECT_EQ(options.limits.until, 0x100090u);
    EXPECT_TRUE(options.limits.stopAtIdleLoop);
    EXPECT_EQ(options.stateOut, "s.json");
    ASSERT_EQ(options.memoryDumps.size(), 2u);
    EXPECT_EQ(options.memoryDumps[1].address, 8u);
    EXPECT_EQ(options.memoryDumps[1].path, "b.bin");

    const CommandLine plain = parseCommandLine({"--", "--odd-name.elf"});
    ASSERT_EQ(plain.error, "");
    EXPECT_EQ(plain.options.program, "--odd-name.elf");
    EXPECT_EQ(plain.options.limits.maxCycles, UINT64_MAX);
    EXPECT_FALSE(plain.options.limits.hasUntil);
    EXPECT_TRUE(parseCommandLine({"--help"}).options.showHelp) << "help needs no program";
}

TEST(RunnerCommandLine, UsageErrorsNameTheProblem) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no program"},
        {{"prog.elf", "--until"}, "--until needs"},
        {{"prog.elf", "--max-cycles", "ten"}, "'ten'"},
        {{"prog.elf", "--until", "xyz"}, "'xyz'"},
        {{"prog.elf", "--memory-out", "0:4"}, "ADDR:LENGTH:FILE"},
        {{"prog.elf", "--state-out", ""}, "--state-out"},
        {{"prog.elf", "--max-cycles=10"}, "unknown option '--max-cycles=10'"},
        {{"a.elf", "b.elf"}, "more than one program"},
    };
    for (const auto& [arguments, mentions] : cases) {
        const std::string error = parseCommandLine(arguments).error;
        EXPECT_NE(error.find(mentions), std::string::npos) << "error was: '" << error << "'";
    }
}
