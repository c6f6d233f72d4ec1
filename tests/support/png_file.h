// Reads and writes 8-bit RGBA PNG files with libpng, for golden pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // R in the low byte
};

// False when the file is missing or not a PNG.
bool readPng(const std::string& path, RgbaImage& image);
bool writePng(const std::string& path, const RgbaImage& image);
