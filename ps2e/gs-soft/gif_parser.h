// The GIF's reading of packets: a GIF tag, then its data in PACKED, REGLIST
// or IMAGE form, tag after tag until one with EOP ends the packet. The
// parser keeps its place between calls, so a packet may arrive in pieces.
#pragma once

#include <cstdint>

namespace gs {

class GifParser {
public:
    // Reads one quadword (four little-endian words). Returns true when it
    // completed a packet: the last quadword of a tag with EOP set.
    bool readQuadword(const uint32_t* quadword);

    // The packet in progress, field by field, for GSfreeze.
    template <typename Io>
    void fields(Io& io) {
        io.field(inTag_);
        io.field(endOfPacket_);
        io.field(format_);
        io.field(loopsLeft_);
        io.field(regCount_);
        io.field(regIndex_);
        io.field(registers_);
    }
    // A register count or index beyond a tag's sixteen descriptors is none
    // that a tag could have set up.
    bool plausible() const { return regCount_ <= 16 && regIndex_ < 16 && format_ < 4; }

private:
    void beginTag(uint64_t low, uint64_t high);
    void packed(uint64_t low, uint64_t high);
    void reglist(uint64_t low, uint64_t high);
    void image(uint64_t low, uint64_t high);
    bool endOfTagData();
    uint32_t descriptor() const { return static_cast<uint32_t>(registers_ >> (4 * regIndex_)) & 0xF; }

    bool inTag_ = false;
    bool endOfPacket_ = false;
    uint32_t format_ = 0;
    uint32_t loopsLeft_ = 0;
    uint32_t regCount_ = 0;
    uint32_t regIndex_ = 0;
    uint64_t registers_ = 0;
};

}  // namespace gs
