#include "ps2e/gs-soft/gif_parser.h"

#include <cstring>

#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/gs-soft/transfer.h"

namespace gs {
namespace {

constexpr uint32_t kFlgPacked = 0;
constexpr uint32_t kFlgReglist = 1;

// PACKED register descriptors that are not general register addresses.
constexpr uint32_t kDescriptorAd = 0xE;
constexpr uint32_t kDescriptorNop = 0xF;

// In PACKED form the XYZ3 descriptors (0xC, 0xD) carry their data laid out
// as XYZF2 and XYZ2 do and queue the vertex without a drawing kick.
// REGLIST data is in register form for every descriptor.

// The PACKED forms of RGBAQ, ST, UV, XYZ and FOG gather their fields from
// the four words of the quadword into the register's layout.
uint64_t packedXyzf(uint64_t low, uint64_t high) {
    const uint64_t x = low & 0xFFFF;
    const uint64_t y = (low >> 32) & 0xFFFF;
    const uint64_t z = (high >> 4) & 0xFFFFFF;
    const uint64_t f = (high >> 36) & 0xFF;
    return x | (y << 16) | (z << 32) | (f << 56);
}

uint64_t packedXyz(uint64_t low, uint64_t high) {
    const uint64_t x = low & 0xFFFF;
    const uint64_t y = (low >> 32) & 0xFFFF;
    const uint64_t z = high & 0xFFFFFFFF;
    return x | (y << 16) | (z << 32);
}

// Bit 47 of the upper half (ADC) turns an XYZ2 into an XYZ3: the vertex is
// queued without a kick.
bool adcSet(uint64_t high) { return (high >> 47) & 1; }

}  // namespace

bool GifParser::readQuadword(const uint32_t* quadword) {
    uint64_t low;
    uint64_t high;
    std::memcpy(&low, quadword, 8);
    std::memcpy(&high, quadword + 2, 8);
    if (!inTag_) {
        beginTag(low, high);
    } else if (format_ == kFlgPacked) {
        packed(low, high);
    } else if (format_ == kFlgReglist) {
        reglist(low, high);
    } else {
        image(low, high);
    }
    if (inTag_ || !endOfPacket_) return false;
    endOfPacket_ = false;
    return true;
}

void GifParser::beginTag(uint64_t low, uint64_t high) {
    loopsLeft_ = field(low, 0, 15);
    endOfPacket_ = field(low, 15, 1);
    format_ = field(low, 58, 2);
    regCount_ = field(low, 60, 4);
    if (regCount_ == 0) regCount_ = 16;
    registers_ = high;
    regIndex_ = 0;
    // PRE writes the tag's PRIM field to PRIM; only PACKED tags honour it.
    if (format_ == kFlgPacked && field(low, 46, 1)) writeRegister(kRegPrim, field(low, 47, 11));
    inTag_ = loopsLeft_ != 0;
}

// Steps to the next register descriptor; returns true when the tag's data
// has all been read.
bool GifParser::endOfTagData() {
    if (++regIndex_ < regCount_) return false;
    regIndex_ = 0;
    if (--loopsLeft_ != 0) return false;
    inTag_ = false;
    return true;
}

void GifParser::packed(uint64_t low, uint64_t high) {
    const uint32_t reg = descriptor();
    switch (reg) {
    case kRegPrim:
        writeRegister(kRegPrim, low & 0x7FF);
        break;
    case kRegRgbaq: {
        uint32_t q;
        std::memcpy(&q, &state.packedQ, 4);
        const uint64_t rgba = (low & 0xFF) | ((low >> 24) & 0xFF00) | ((high & 0xFF) << 16) | (((high >> 32) & 0xFF) << 24);
        writeRegister(kRegRgbaq, rgba | (uint64_t{q} << 32));
        break;
    }
    case kRegSt: {
        const uint32_t q = static_cast<uint32_t>(high);
        std::memcpy(&state.packedQ, &q, 4);
        writeRegister(kRegSt, low);
        break;
    }
    case kRegUv:
        writeRegister(kRegUv, (low & 0x3FFF) | (((low >> 32) & 0x3FFF) << 16));
        break;
    case kRegXyzf2:
        writeRegister(adcSet(high) ? kRegXyzf3 : kRegXyzf2, packedXyzf(low, high));
        break;
    case kRegXyz2:
        writeRegister(adcSet(high) ? kRegXyz3 : kRegXyz2, packedXyz(low, high));
        break;
    case kRegXyzf3:
        writeRegister(kRegXyzf3, packedXyzf(low, high));
        break;
    case kRegXyz3:
        writeRegister(kRegXyz3, packedXyz(low, high));
        break;
    case kRegFog:
        writeRegister(kRegFog, ((high >> 36) & 0xFF) << 56);
        break;
    case kDescriptorAd:
        writeRegister(static_cast<uint32_t>(high & 0xFF), low);
        break;
    case kDescriptorNop:
        break;
    default:  // TEX0, CLAMP and the reserved 0xB: the low half as it stands
        writeRegister(reg, low);
        break;
    }
    endOfTagData();
}

void GifParser::reglist(uint64_t low, uint64_t high) {
    for (uint64_t value : {low, high}) {
        const uint32_t reg = descriptor();
        if (reg != kDescriptorAd && reg != kDescriptorNop) writeRegister(reg, value);
        // An odd count of registers leaves the last quadword's upper half
        // unused.
        if (endOfTagData()) return;
    }
}

void GifParser::image(uint64_t low, uint64_t high) {
    uint8_t bytes[16];
    std::memcpy(bytes, &low, 8);
    std::memcpy(bytes + 8, &high, 8);
    transferHostData(bytes, 16);
    if (--loopsLeft_ == 0) inTag_ = false;
}

}  // namespace gs
