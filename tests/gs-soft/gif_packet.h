// Builds GIF packets in a test: tags, A+D quadwords, PACKED vertices and
// raw quadwords, laid out as four little-endian words each.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

enum GifFormat : uint64_t { kPacked = 0, kReglist = 1, kImage = 2 };

struct GifPacket {
    std::vector<uint32_t> words;

    void quadword(uint64_t low, uint64_t high) {
        words.push_back(static_cast<uint32_t>(low));
        words.push_back(static_cast<uint32_t>(low >> 32));
        words.push_back(static_cast<uint32_t>(high));
        words.push_back(static_cast<uint32_t>(high >> 32));
    }

    // A GIF tag; `descriptors` gives the register descriptors in order and
    // its size NREG (16 descriptors are written as NREG 0).
    void tag(uint32_t nloop, bool eop, GifFormat format, std::initializer_list<uint8_t> descriptors, bool pre = false,
             uint32_t prim = 0) {
        uint64_t regs = 0;
        unsigned i = 0;
        for (uint8_t d : descriptors) regs |= uint64_t{d} << (4 * i++);
        const uint64_t nreg = descriptors.size() & 15;
        quadword(uint64_t{nloop} | (uint64_t{eop} << 15) | (uint64_t{pre} << 46) | (uint64_t{prim} << 47) |
                     (uint64_t{format} << 58) | (nreg << 60),
                 regs);
    }

    // A whole A+D tag: one register write per quadword.
    void registers(std::initializer_list<std::pair<uint8_t, uint64_t>> writes, bool eop = false) {
        tag(static_cast<uint32_t>(writes.size()), eop, kPacked, {0xE});
        for (const auto& [reg, value] : writes) quadword(value, reg);
    }

    size_t quadwords() const { return words.size() / 4; }
};

inline uint64_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// Register values.
inline uint64_t frameValue(uint32_t fbp, uint32_t fbw, uint32_t psm, uint32_t fbmsk = 0) {
    return fbp | (uint64_t{fbw} << 16) | (uint64_t{psm} << 24) | (uint64_t{fbmsk} << 32);
}
inline uint64_t scissorValue(uint32_t x0, uint32_t x1, uint32_t y0, uint32_t y1) {
    return x0 | (uint64_t{x1} << 16) | (uint64_t{y0} << 32) | (uint64_t{y1} << 48);
}
inline uint64_t rgbaq(uint32_t r, uint32_t g, uint32_t b, uint32_t a, float q = 1.0f) {
    return r | (g << 8) | (b << 16) | (uint64_t{a} << 24) | (floatBits(q) << 32);
}
// XYZ2 from whole pixels (the register holds 12.4 fixed point).
inline uint64_t xyz(uint32_t x16, uint32_t y16, uint32_t z) { return x16 | (uint64_t{y16} << 16) | (uint64_t{z} << 32); }
