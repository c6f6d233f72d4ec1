// Golden files: what a test produced, compared with the file kept in its
// suite's golden/ folder. With CORVANE_WRITE_GOLDENS=1 in the environment
// the file is rewritten from what was produced instead, and the change is
// then reviewed in the diff before it is kept.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/png_file.h"

bool goldenRewriteRequested();

// Text (or any bytes): on a mismatch, says the first line that differs.
testing::AssertionResult matchesGolden(const std::string& path, const std::string& produced);

// A picture against a golden PNG: on a mismatch, says how many pixels differ
// and the first of them.
testing::AssertionResult matchesGoldenPicture(const std::string& path, const RgbaImage& produced);

#ifdef CORVANE_GOLDEN_DIR
// A file of the calling suite's golden/ folder.
inline std::string goldenFile(const std::string& name) { return std::string(CORVANE_GOLDEN_DIR) + "/" + name; }
#endif
