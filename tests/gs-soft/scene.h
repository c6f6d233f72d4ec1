// A scene: a GIF packet built in the test, and what the drawn memory must
// hold afterwards, worked out from the console's rules by the test itself.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "gif_packet.h"
#include "ps2e/gs-soft/gs_state.h"

inline uint32_t colour(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0x80) { return r | (g << 8) | (b << 16) | (a << 24); }

// PRIM attribute bits.
constexpr uint32_t kGouraud = 0x08;
constexpr uint32_t kTextured = 0x10;
constexpr uint32_t kFogged = 0x20;
constexpr uint32_t kBlended = 0x40;
constexpr uint32_t kUv = 0x100;

// Every scene draws into a 128 x 96 frame at page 0 (FBW 2).
constexpr int kFrameWidth = 128;
constexpr int kFrameHeight = 96;

struct MemoryCheck {
    uint32_t psm, bp, bw;
    int x, y;
    uint32_t expected;
    int tolerance;  // per byte
};

struct CountCheck {
    int x0, y0, x1, y1;  // [x0, x1) x [y0, y1) of the 32-bit frame
    uint32_t colour;     // compared without alpha
    int expected;
};

struct Scene {
    GifPacket packet;
    uint32_t framePsm = gs::kPsmCt32;
    std::vector<MemoryCheck> memoryChecks;
    std::vector<CountCheck> countChecks;

    void set(uint8_t reg, uint64_t value) { packet.registers({{reg, value}}); }

    // Whole pixels, first corner then second; the second vertex gives the
    // colour, depth and fog.
    void sprite(int x0, int y0, int x1, int y1, uint32_t rgba, uint32_t z = 0, uint32_t attributes = 0) {
        packet.registers({{gs::kRegPrim, gs::kPrimSprite | attributes},
                          {gs::kRegRgbaq, rgba | (floatBits(1.0f) << 32)},
                          {gs::kRegXyz2, xyz(x0 * 16, y0 * 16, z)},
                          {gs::kRegXyz2, xyz(x1 * 16, y1 * 16, z)}});
    }

    // A sprite mapped with UV corners (12.4 texel units).
    void texturedSprite(int x0, int y0, int x1, int y1, uint32_t u0, uint32_t v0, uint32_t u1, uint32_t v1, uint32_t rgba,
                        uint32_t attributes = 0) {
        packet.registers({{gs::kRegPrim, gs::kPrimSprite | kTextured | kUv | attributes},
                          {gs::kRegRgbaq, rgba | (floatBits(1.0f) << 32)},
                          {gs::kRegUv, u0 | (v0 << 16)},
                          {gs::kRegXyz2, xyz(x0 * 16, y0 * 16, 0)},
                          {gs::kRegUv, u1 | (v1 << 16)},
                          {gs::kRegXyz2, xyz(x1 * 16, y1 * 16, 0)}});
    }

    // A host-to-local transfer of `bytes`, padded to whole quadwords.
    void upload(uint32_t psm, uint32_t bp, uint32_t bw, int x, int y, int w, int h, std::vector<uint8_t> bytes) {
        packet.registers({{gs::kRegBitbltbuf, (uint64_t{bp} << 32) | (uint64_t{bw} << 48) | (uint64_t{psm} << 56)},
                          {gs::kRegTrxpos, (uint64_t(x) << 32) | (uint64_t(y) << 48)},
                          {gs::kRegTrxreg, uint64_t(w) | (uint64_t(h) << 32)},
                          {gs::kRegTrxdir, 0}});
        bytes.resize((bytes.size() + 15) / 16 * 16);
        packet.tag(static_cast<uint32_t>(bytes.size() / 16), false, kImage, {});
        for (size_t i = 0; i < bytes.size(); i += 16) {
            uint64_t low, high;
            std::memcpy(&low, &bytes[i], 8);
            std::memcpy(&high, &bytes[i + 8], 8);
            packet.quadword(low, high);
        }
    }

    void expectFrame(int x, int y, uint32_t expected, int tolerance = 0) {
        memoryChecks.push_back({gs::kPsmCt32, 0, 2, x, y, expected, tolerance});
    }
    void expectMemory(uint32_t psm, uint32_t bp, uint32_t bw, int x, int y, uint32_t expected) {
        memoryChecks.push_back({psm, bp, bw, x, y, expected, 0});
    }
    void expectCount(int x0, int y0, int x1, int y1, uint32_t rgb, int expected) {
        countChecks.push_back({x0, y0, x1, y1, rgb, expected});
    }
};

struct SceneEntry {
    const char* name;
    void (*build)(Scene&);
};

extern const std::vector<SceneEntry> kScenes;

inline void PrintTo(const SceneEntry& entry, std::ostream* out) { *out << entry.name; }

// ((A - B) * C >> 7) + D, the shift rounding towards minus infinity.
inline int blendFormula(int a, int b, int c, int d) {
    const int product = (a - b) * c;
    return (product >= 0 ? product / 128 : -((-product + 127) / 128)) + d;
}
