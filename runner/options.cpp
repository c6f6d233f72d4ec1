#include "runner/options.h"

#include <charconv>

#include "core/diagnostics.h"
#include "memory/bus.h"

const char kUsageText[] =
    "usage: corvane-run [OPTIONS] PROGRAM.elf\n"
    "       corvane-run [OPTIONS] --disc IMAGE\n"
    "  --plugin-dir DIR                where the plugin libraries are (default: the\n"
    "                                  folder 'plugins' beside corvane-run, which\n"
    "                                  holds the shipped plugins and the null ones)\n"
    "  --gs FILE, --pad FILE, --spu2 FILE, --cdvd FILE\n"
    "                                  library file names in that directory (default:\n"
    "                                  gs-soft.so, pad-sdl.so, spu2-null.so, cdvd-image.so;\n"
    "                                  null_gs.so, null_pad.so, null_spu2.so and\n"
    "                                  null_cdvd.so run with no window or input)\n"
    "  --max-cycles N                  stop once N instructions have run\n"
    "  --max-vblanks N                 stop after the Nth vertical blank\n"
    "  --until ADDR                    stop when the PC equals ADDR (hexadecimal)\n"
    "  --state-out FILE                write the machine state as JSON when the run ends\n"
    "  --save-state FILE               save the whole machine into FILE when the run ends\n"
    "  --load-state FILE               continue from a machine saved with --save-state\n"
    "                                  for the same program (loaded after the program)\n"
    "  --memory-out ADDR:LENGTH:FILE   write LENGTH bytes of guest RAM from ADDR (repeatable)\n"
    "  --disc IMAGE                    boot the disc image (2048- or 2352-byte sectors)\n"
    "                                  through the CDVD plugin instead of a program\n"
    "  --tty FILE                      write what the guest writes to descriptors 1 and 2\n"
    "                                  into FILE (- for standard output)\n"
    "  --snapshot-at-end               when the run ends, before the plugins close, have\n"
    "                                  the GS plugin save its picture as Screens/snapNNN.png\n"
    "  --log CATEGORY,...              report these categories' messages on standard error\n"
    "                                  too: CPU, DMA, GIF, VIF, VU, kernel, IOP, pad, disc,\n"
    "                                  plugins, or all (errors are always reported)\n"
    "  --help                          show this text\n"
    "Numbers are decimal, or hexadecimal with a 0x prefix. The run always stops\n"
    "at an idle loop (a taken branch or jump to its own address).\n";

namespace {

bool hasHexPrefix(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// The whole of `digits` in `base`, nothing before or after it.
std::optional<u64> parseDigits(std::string_view digits, int base) {
    if (digits.empty()) return std::nullopt;
    u64 value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, status] = std::from_chars(digits.data(), end, value, base);
    if (status != std::errc{} || stop != end) return std::nullopt;
    return value;
}

std::optional<u32> fitIn32Bits(std::optional<u64> value) {
    if (!value || *value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<u32>(*value);
}

// The file name that a --gs, --pad, --spu2 or --cdvd option sets, or null
// for any other argument.
std::string* pluginFileOption(PluginConfig& plugins, const std::string& argument) {
    if (argument == "--gs") return &plugins.gs;
    if (argument == "--pad") return &plugins.pad;
    if (argument == "--spu2") return &plugins.spu;
    if (argument == "--cdvd") return &plugins.cdvd;
    return nullptr;
}

}  // namespace

std::optional<u64> parseNumber(std::string_view text) {
    if (hasHexPrefix(text)) return parseDigits(text.substr(2), 16);
    return parseDigits(text, 10);
}

std::optional<u32> parseUntilAddress(std::string_view text) {
    if (hasHexPrefix(text)) text.remove_prefix(2);
    return fitIn32Bits(parseDigits(text, 16));
}

std::optional<MemoryDumpRequest> parseMemoryDump(std::string_view text, std::string& error) {
    const std::size_t firstColon = text.find(':');
    const std::size_t secondColon = firstColon == std::string_view::npos ? firstColon : text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos) {
        error = "--memory-out wants ADDR:LENGTH:FILE, got '" + std::string(text) + "'";
        return std::nullopt;
    }
    const std::string_view addressText = text.substr(0, firstColon);
    const std::string_view lengthText = text.substr(firstColon + 1, secondColon - firstColon - 1);
    MemoryDumpRequest request;
    request.path = text.substr(secondColon + 1);

    const std::optional<u32> address = fitIn32Bits(parseNumber(addressText));
    if (!address) {
        error = "malformed address '" + std::string(addressText) + "' in --memory-out";
        return std::nullopt;
    }
    const std::optional<u64> length = parseNumber(lengthText);
    if (!length) {
        error = "malformed length '" + std::string(lengthText) + "' in --memory-out";
        return std::nullopt;
    }
    if (*length > kRamSize) {
        error = "--memory-out length '" + std::string(lengthText) + "' exceeds the 32 MB of guest RAM";
        return std::nullopt;
    }
    if (request.path.empty()) {
        error = "--memory-out names no file in '" + std::string(text) + "'";
        return std::nullopt;
    }
    request.address = *address;
    request.length = static_cast<u32>(*length);
    return request;
}

std::optional<u32> parseLogCategories(std::string_view text, std::string& error) {
    u32 mask = 0;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        LogCategory category{};
        if (name == "all") {
            mask |= (1u << kLogCategoryCount) - 1;
        } else if (parseLogCategory(name, category)) {
            mask |= 1u << static_cast<u32>(category);
        } else {
            error = "unknown log category '" + std::string(name) +
                    "' for --log (CPU, DMA, GIF, VIF, VU, kernel, IOP, pad, disc, plugins or all)";
            return std::nullopt;
        }
        if (comma == std::string_view::npos) return mask;
        text.remove_prefix(comma + 1);
    }
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    RunnerOptions& options = result.options;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (!options.program.empty()) return fail("more than one program given: '" + options.program + "' and '" + argument + "'");
            options.program = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help") {
            options.showHelp = true;
            continue;
        }
        if (argument == "--snapshot-at-end") {
            options.snapshotAtEnd = true;
            continue;
        }
        const bool takesValue = argument == "--max-cycles" || argument == "--max-vblanks" || argument == "--until" ||
                                argument == "--state-out" || argument == "--memory-out" || argument == "--disc" ||
                                argument == "--tty" || argument == "--log" || argument == "--save-state" ||
                                argument == "--load-state" ||
                                argument == "--plugin-dir" || pluginFileOption(options.plugins, argument);
        if (!takesValue) return fail("unknown option '" + argument + "'");
        if (i + 1 == arguments.size()) return fail(argument + " needs an argument");
        const std::string& value = arguments[++i];

        if (argument == "--max-cycles") {
            const std::optional<u64> cycles = parseNumber(value);
            if (!cycles) return fail("malformed number '" + value + "' for --max-cycles");
            options.limits.maxCycles = *cycles;
        } else if (argument == "--max-vblanks") {
            const std::optional<u64> vblanks = parseNumber(value);
            if (!vblanks) return fail("malformed number '" + value + "' for --max-vblanks");
            options.limits.maxVblanks = *vblanks;
        } else if (argument == "--plugin-dir") {
            if (value.empty()) return fail("--plugin-dir needs a directory");
            options.plugins.dir = value.back() == '/' ? value : value + "/";
        } else if (std::string* file = pluginFileOption(options.plugins, argument)) {
            if (value.empty()) return fail(argument + " needs a library file name");
            *file = value;
        } else if (argument == "--until") {
            const std::optional<u32> address = parseUntilAddress(value);
            if (!address) return fail("malformed address '" + value + "' for --until (32-bit hexadecimal)");
            options.limits.hasUntil = true;
            options.limits.until = *address;
        } else if (argument == "--disc") {
            if (value.empty()) return fail("--disc needs a disc image");
            options.disc = value;
        } else if (argument == "--tty") {
            if (value.empty()) return fail("--tty needs a file name or -");
            options.tty = value;
        } else if (argument == "--log") {
            std::string error;
            const std::optional<u32> categories = parseLogCategories(value, error);
            if (!categories) return fail(error);
            options.logCategories |= *categories;
        } else if (argument == "--save-state" || argument == "--load-state") {
            if (value.empty()) return fail(argument + " needs a file name");
            (argument == "--save-state" ? options.saveState : options.loadState) = value;
        } else if (argument == "--state-out") {
            if (value.empty()) return fail("--state-out needs a file name");
            options.stateOut = value;
        } else {
            std::string error;
            const std::optional<MemoryDumpRequest> request = parseMemoryDump(value, error);
            if (!request) return fail(error);
            options.memoryDumps.push_back(*request);
        }
    }
    options.limits.stopAtIdleLoop = true;
    if (!options.disc.empty() && !options.program.empty())
        return fail("give either a program or --disc, not both ('" + options.program + "' and --disc '" + options.disc + "')");
    if (!options.showHelp && options.program.empty() && options.disc.empty()) return fail("no program given");
    return result;
}
