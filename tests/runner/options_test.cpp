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

TEST(RunnerCommandLine, EveryOptionTogether) {
    const CommandLine line = parseCommandLine({"--max-cycles", "0x100", "--until", "100090", "--state-out", "s.json",
                                               "--memory-out", "0:4:a.bin", "prog.elf", "--memory-out", "8:0x2000000:dir/b:c.bin"});
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
    EXPECT_EQ(options.memoryDumps[1].length, 0x2000000u);
    EXPECT_EQ(options.memoryDumps[1].path, "dir/b:c.bin") << "split at the first two colons only";

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
        {{"prog.elf", "--memory-out", "zz:4:f"}, "address 'zz'"},
        {{"prog.elf", "--memory-out", "0x100000000:4:f"}, "address '0x100000000'"},
        {{"prog.elf", "--memory-out", "0:6x4:f"}, "length '6x4'"},
        {{"prog.elf", "--memory-out", "0:0x2000001:f"}, "exceeds the 32 MB"},
        {{"prog.elf", "--memory-out", "0:4:"}, "names no file"},
        {{"prog.elf", "--state-out", ""}, "--state-out"},
        {{"prog.elf", "--max-cycles=10"}, "unknown option '--max-cycles=10'"},
        {{"a.elf", "b.elf"}, "more than one program"},
    };
    for (const auto& [arguments, mentions] : cases) {
        const std::string error = parseCommandLine(arguments).error;
        EXPECT_NE(error.find(mentions), std::string::npos) << "error was: '" << error << "'";
    }
}
