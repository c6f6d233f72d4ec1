// GIF packets into the software GS: PATH3 data in pieces of the length the
// first byte gives (as a GIF DMA chain or VIF1 DIRECT hands it over), then
// the same bytes as one PATH1 packet of at most VU1 data memory's size, as
// XGKICK hands it over.
//
// Each input starts from a GS at power-on (GSinit: registers, local memory
// and both paths' part-read packets), so an input is judged, and a finding
// reproduced, by its own bytes alone: without it an earlier input's scissor,
// frame and primitive setup would make a later short input draw full-size
// triangles that it never asked for.
#include <algorithm>
#include <vector>

#include "fuzz/fuzz_machine.h"
#include "ps2e/ps2e.h"

namespace {

constexpr std::size_t kVu1DataQuadwords = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    GSinit();
    FuzzInput input(data, size);
    const u32 pieceQuadwords = input.take<u8>() % 16 + 1;
    const u32 quadwords = static_cast<u32>(std::min(input.restSize() / 16, kVu1DataQuadwords));
    std::vector<u32> packet(4 * kVu1DataQuadwords);
    if (quadwords != 0) std::memcpy(packet.data(), input.rest(), 16 * std::size_t{quadwords});
    for (u32 at = 0; at < quadwords; at += pieceQuadwords) {
        GSgifTransfer(packet.data() + 4 * at, std::min(pieceQuadwords, quadwords - at));
    }
    GSgifTransfer2(packet.data());
    return 0;
}
