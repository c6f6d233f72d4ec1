#include <gtest/gtest.h>

#include "runner/options.h"

TEST(RunnerNumbers, DecimalAndPrefixedHexadecimal) {
    EXPECT_EQ(parseNumber("0"), 0u);
    EXPECT_EQ(parseNumber("1234"), 1234u);
    EXPECT_EQ(parseNumber("0x1F"), 0x1Fu);
    EXPECT_EQ(parseNumber("0Xff"), 0xFFu);
    EXPECT_EQ(parseNumber("18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(parseNumber("0xffffffffffffffff"), UINT64_MAX);
}

TEST(RunnerNumbers, MalformedNumbersAreRejected) {
    for (const char* text : {"", "0x", "12a", "a12", "-1", "+1", " 1", "1 ", "0x1g", "1e3", "18446744073709551616",
                             "0x10000000000000000"}) {
        EXPECT_FALSE(parseNumber(text).has_value()) << "'" << text << "'";
    }
}

TEST(RunnerNumbers, UntilIsHexadecimalWithOrWithoutPrefix) {
    EXPECT_EQ(parseUntilAddress("100090"), 0x100090u);
    EXPECT_EQ(parseUntilAddress("0x100090"), 0x100090u);
    EXPECT_EQ(parseUntilAddress("10"), 0x10u);  // hexadecimal even without the prefix
    EXPECT_EQ(parseUntilAddress("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(parseUntilAddress("100000000").has_value());
    EXPECT_FALSE(parseUntilAddress("0x").has_value());
    EXPECT_FALSE(parseUntilAddress("10g").has_value());
}

TEST(RunnerMemoryDump, SpecsAreSplitAtTheFirstTwoColons) {
    std::string error;
    auto request = parseMemoryDump("0x100000:64:out.bin", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->address, 0x100000u);
    EXPECT_EQ(request->length, 64u);
    EXPECT_EQ(request->path, "out.bin");

    request = parseMemoryDump("16:0x2000000:dir/a:b.bin", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->address, 16u);
    EXPECT_EQ(request->length, 0x2000000u);
    EXPECT_EQ(request->path, "dir/a:b.bin");
}

TEST(RunnerMemoryDump, BadSpecsSayWhatIsWrong) {
    for (const char* spec : {"0x100000:64", "0x100000", "zz:64:f", "0x100000:6x4:f", "0x100000:64:", ":64:f",
                             "0x100000::f", "0x100000000:4:f", "0:0x2000001:f"}) {
        std::string error;
        EXPECT_FALSE(parseMemoryDump(spec, error).has_value()) << spec;
        EXPECT_FALSE(error.empty()) << spec;
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
}

TEST(RunnerCommandLine, DefaultsRunWithoutLimitsAndHelpNeedsNoProgram) {
    const CommandLine plain = parseCommandLine({"prog.elf"});
    ASSERT_EQ(plain.error, "");
    EXPECT_EQ(plain.options.limits.maxCycles, UINT64_MAX);
    EXPECT_FALSE(plain.options.limits.hasUntil);
    EXPECT_TRUE(plain.options.stateOut.empty());

    const CommandLine help = parseCommandLine({"--help"});
    EXPECT_EQ(help.error, "");
    EXPECT_TRUE(help.options.showHelp);

    const CommandLine dashed = parseCommandLine({"--", "--odd-name.elf"});
    EXPECT_EQ(dashed.error, "");
    EXPECT_EQ(dashed.options.program, "--odd-name.elf");
}

TEST(RunnerCommandLine, UsageErrorsNameTheProblem) {
    struct Case {
        std::vector<std::string> arguments;
        const char* mentions;
    };
    const Case cases[] = {
        {{}, "no program"},
        {{"prog.elf", "--max-cycles"}, "--max-cycles needs"},
        {{"prog.elf", "--until"}, "--until needs"},
        {{"prog.elf", "--max-cycles", "ten"}, "'ten'"},
        {{"prog.elf", "--until", "xyz"}, "'xyz'"},
        {{"prog.elf", "--memory-out", "0:4"}, "ADDR:LENGTH:FILE"},
        {{"prog.elf", "--state-out", ""}, "--state-out"},
        {{"prog.elf", "--frobnicate"}, "'--frobnicate'"},
        {{"prog.elf", "--max-cycles=10"}, "unknown option"},
        {{"a.elf", "b.elf"}, "more than one program"},
        // Options of later work are not accepted yet.
        {{"prog.elf", "--plugin-dir", "p"}, "unknown option"},
        {{"prog.elf", "--disc", "x.iso"}, "unknown option"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_NE(line.error.find(c.mentions), std::string::npos) << "error was: '" << line.error << "'";
    }
}
