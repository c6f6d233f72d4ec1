#include "support/golden.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool readWhole(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    contents = bytes.str();
    return true;
}

std::string lineAt(const std::string& text, std::size_t start) {
    if (start >= text.size()) return "(end of file)";
    std::string line = "\"";
    line.append(text, start, text.find('\n', start) - start).append("\"");
    return line;
}

const char* const kHowToRewrite = "\n(if the change is intended, rerun with CORVANE_WRITE_GOLDENS=1 and review the diff)";

}  // namespace

bool goldenRewriteRequested() {
    const char* value = std::getenv("CORVANE_WRITE_GOLDENS");
    return value != nullptr && std::string(value) == "1";
}

testing::AssertionResult matchesGolden(const std::string& path, const std::string& produced) {
    if (goldenRewriteRequested()) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << produced;
        out.close();
        if (!out) return testing::AssertionFailure() << "cannot write " << path;
        return testing::AssertionSuccess();
    }
    std::string golden;
    if (!readWhole(path, golden)) return testing::AssertionFailure() << "no golden file " << path << kHowToRewrite;
    if (golden == produced) return testing::AssertionSuccess();
    std::size_t lineStart = 0;
    int line = 1;
    for (std::size_t i = 0; i < golden.size() && i < produced.size() && golden[i] == produced[i]; ++i) {
        if (golden[i] == '\n') {
            lineStart = i + 1;
            ++line;
        }
    }
    return testing::AssertionFailure() << path << " differs at line " << line << ":\n  produced: "
                                       << lineAt(produced, lineStart) << "\n  golden:   " << lineAt(golden, lineStart)
                                       << kHowToRewrite;
}

testing::AssertionResult matchesGoldenPicture(const std::string& path, const RgbaImage& produced) {
    if (goldenRewriteRequested()) {
        if (!writePng(path, produced)) return testing::AssertionFailure() << "cannot write " << path;
        return testing::AssertionSuccess();
    }
    RgbaImage golden;
    if (!readPng(path, golden)) return testing::AssertionFailure() << "no golden picture " << path << kHowToRewrite;
    if (golden.width != produced.width || golden.height != produced.height) {
        return testing::AssertionFailure() << path << " is " << golden.width << "x" << golden.height << ", produced "
                                           << produced.width << "x" << produced.height;
    }
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < produced.pixels.size(); ++i) {
        if (produced.pixels[i] == golden.pixels[i]) continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return testing::AssertionSuccess();
    const int width = produced.width;
    std::ostringstream where;
    where << "(" << first % width << ", " << first / width << "): 0x" << std::hex << produced.pixels[first]
          << ", golden 0x" << golden.pixels[first];
    return testing::AssertionFailure() << differing << " pixels differ from " << path << ", the first at "
                                       << where.str() << kHowToRewrite;
}
