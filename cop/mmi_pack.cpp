// Rearranging instructions: interleave, pack, exchange, reverse, rotate and
// copy lanes between rs and rt, and the 1-5-5-5 colour pack and unpack.
#include "cop/mmi.h"
#include "cop/mmi_lanes.h"

namespace {

// Each rearrangement is a table that names, for every lane of rd, a lane
// of the two sources laid side by side: indices below the lane count pick
// from rt, the others from rs.
template <typename Lane>
using LaneSelection = std::array<u8, sizeof(Reg128) / sizeof(Lane)>;

template <typename Lane, const LaneSelection<Lane>& selection>
void selectLanes() {
    struct SourcePair {
        Reg128 rt;
        Reg128 rs;
    };
    const auto sources = std::bit_cast<std::array<Lane, 2 * selection.size()>>(SourcePair{rtReg(), rsReg()});
    Lanes<Lane> result;
    for (std::size_t i = 0; i < result.size(); ++i) result[i] = sources[selection[i]];
    writeWholeRd(fromLanes<Lane>(result));
}

// Even lanes of rd from rt, odd lanes from rs, starting at lane `first` of
// each (0 for the lower half, half the lane count for the upper).
template <typename Lane>
constexpr LaneSelection<Lane> interleave(unsigned first) {
    LaneSelection<Lane> selection{};
    const unsigned count = selection.size();
    for (unsigned i = 0; i < count / 2; ++i) {
        selection[2 * i] = static_cast<u8>(first + i);
        selection[2 * i + 1] = static_cast<u8>(count + first + i);
    }
    return selection;
}

// The even lanes of rt in the lower half of rd, those of rs in the upper.
template <typename Lane>
constexpr LaneSelection<Lane> packEven() {
    LaneSelection<Lane> selection{};
    const unsigned count = selection.size();
    for (unsigned i = 0; i < count / 2; ++i) {
        selection[i] = static_cast<u8>(2 * i);
        selection[count / 2 + i] = static_cast<u8>(count + 2 * i);
    }
    return selection;
}

constexpr unsigned kRs = 8;  // added to a halfword index: that lane of rs

constexpr LaneSelection<u32> kExtendLowerWords = interleave<u32>(0);
constexpr LaneSelection<u32> kExtendUpperWords = interleave<u32>(2);
constexpr LaneSelection<u16> kExtendLowerHalves = interleave<u16>(0);
constexpr LaneSelection<u16> kExtendUpperHalves = interleave<u16>(4);
constexpr LaneSelection<u8> kExtendLowerBytes = interleave<u8>(0);
constexpr LaneSelection<u8> kExtendUpperBytes = interleave<u8>(8);
constexpr LaneSelection<u32> kPackWords = packEven<u32>();
constexpr LaneSelection<u16> kPackHalves = packEven<u16>();
constexpr LaneSelection<u8> kPackBytes = packEven<u8>();

constexpr LaneSelection<u16> kInterleaveHalves = {0, kRs + 4, 1, kRs + 5, 2, kRs + 6, 3, kRs + 7};
constexpr LaneSelection<u16> kInterleaveEvenHalves = {0, kRs + 0, 2, kRs + 2, 4, kRs + 4, 6, kRs + 6};
constexpr LaneSelection<u16> kExchangeEvenHalves = {2, 1, 0, 3, 6, 5, 4, 7};
constexpr LaneSelection<u16> kReverseHalves = {3, 2, 1, 0, 7, 6, 5, 4};
constexpr LaneSelection<u16> kExchangeCentreHalves = {0, 2, 1, 3, 4, 6, 5, 7};
constexpr LaneSelection<u16> kCopyHalves = {0, 0, 0, 0, 4, 4, 4, 4};
constexpr LaneSelection<u32> kExchangeEvenWords = {2, 1, 0, 3};
constexpr LaneSelection<u32> kRotateThreeWords = {1, 2, 0, 3};
constexpr LaneSelection<u32> kExchangeCentreWords = {0, 2, 1, 3};
constexpr LaneSelection<u64> kCopyLowerDoubles = {0, 2};
constexpr LaneSelection<u64> kCopyUpperDoubles = {3, 1};

// A 1-5-5-5 colour in the low halfword (alpha in bit 15, then three 5-bit
// components from bit 10, 5 and 0) spread over a word with each component
// at the top of its own byte.
u32 unpackColour(u32 packed) {
    return ((packed & 0x001F) << 3) | ((packed & 0x03E0) << 6) | ((packed & 0x7C00) << 9) |
           ((packed & 0x8000) << 16);
}

u32 packColour(u32 spread) {
    return ((spread >> 3) & 0x001F) | ((spread >> 6) & 0x03E0) | ((spread >> 9) & 0x7C00) |
           ((spread >> 16) & 0x8000);
}

}  // namespace

void opPextlw() { selectLanes<u32, kExtendLowerWords>(); }
void opPextuw() { selectLanes<u32, kExtendUpperWords>(); }
void opPextlh() { selectLanes<u16, kExtendLowerHalves>(); }
void opPextuh() { selectLanes<u16, kExtendUpperHalves>(); }
void opPextlb() { selectLanes<u8, kExtendLowerBytes>(); }
void opPextub() { selectLanes<u8, kExtendUpperBytes>(); }
void opPpacw() { selectLanes<u32, kPackWords>(); }
void opPpach() { selectLanes<u16, kPackHalves>(); }
void opPpacb() { selectLanes<u8, kPackBytes>(); }

void opPinth() { selectLanes<u16, kInterleaveHalves>(); }
void opPinteh() { selectLanes<u16, kInterleaveEvenHalves>(); }
void opPexeh() { selectLanes<u16, kExchangeEvenHalves>(); }
void opPrevh() { selectLanes<u16, kReverseHalves>(); }
void opPexch() { selectLanes<u16, kExchangeCentreHalves>(); }
void opPcpyh() { selectLanes<u16, kCopyHalves>(); }
void opPexew() { selectLanes<u32, kExchangeEvenWords>(); }
void opProt3w() { selectLanes<u32, kRotateThreeWords>(); }
void opPexcw() { selectLanes<u32, kExchangeCentreWords>(); }
void opPcpyld() { selectLanes<u64, kCopyLowerDoubles>(); }
void opPcpyud() { selectLanes<u64, kCopyUpperDoubles>(); }

void opPext5() { lanewiseOfRt<u32, unpackColour>(); }
void opPpac5() { lanewiseOfRt<u32, packColour>(); }
