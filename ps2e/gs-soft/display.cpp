// The picture the two read circuits show, merged as the PCRTC merges them.
#include <algorithm>
#include <climits>

#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/gs-soft/picture.h"

namespace gs {
namespace {

// With neither read circuit enabled the console shows nothing; the picture
// is then a black one of the common NTSC size, so a window has something
// to show.
constexpr int kBlankPictureWidth = 640;
constexpr int kBlankPictureHeight = 448;

// SMODE1 CMOD: 3 selects PAL.
constexpr uint32_t kCmodPal = 3;

// In interlaced field mode (SMODE2 INT 1, FFMD 1) each field reads the
// buffer's lines in turn, so DISPLAY's height, counted in picture lines of
// both fields, covers half as many buffer lines; frame mode reads every
// other line per field and shows every buffer line.
bool fieldMode(uint64_t smode2) { return field(smode2, 0, 1) && field(smode2, 1, 1); }

struct ReadCircuit {
    bool enabled = false;
    uint32_t fbp = 0;
    uint32_t fbw = 0;
    uint32_t psm = 0;
    uint32_t dbx = 0;
    uint32_t dby = 0;
    int left = 0;  // in picture pixels, before the common origin is taken off
    int top = 0;
    int width = 0;
    int height = 0;
};

ReadCircuit readCircuit(uint64_t dispfb, uint64_t display, bool enabled, bool halfHeight) {
    ReadCircuit circuit;
    circuit.enabled = enabled;
    circuit.fbp = field(dispfb, 0, 9);
    circuit.fbw = field(dispfb, 9, 6);
    circuit.psm = field(dispfb, 15, 5);
    circuit.dbx = field(dispfb, 32, 11);
    circuit.dby = field(dispfb, 43, 11);
    const int magh = static_cast<int>(field(display, 23, 4)) + 1;
    const int magv = static_cast<int>(field(display, 27, 2)) + 1;
    circuit.left = static_cast<int>(field(display, 0, 12)) / magh;
    circuit.top = static_cast<int>(field(display, 12, 11)) / magv;
    circuit.width = (static_cast<int>(field(display, 32, 12)) + 1) / magh;
    circuit.height = (static_cast<int>(field(display, 44, 11)) + 1) / magv;
    if (halfHeight) {
        circuit.top /= 2;
        circuit.height /= 2;
    }
    return circuit;
}

// The buffer row a circuit shows on picture row y (relative to the circuit).
RowAddress circuitRow(const ReadCircuit& circuit, int y) {
    return rowAddress(layoutOf(circuit.psm), circuit.fbp * 32, circuit.fbw, (circuit.dby + static_cast<uint32_t>(y)) & 2047);
}

// A frame buffer pixel as R, G, B, A bytes (A as stored: 0x80 is opaque).
uint32_t framePixel(const ReadCircuit& circuit, const RowAddress& row, int x) {
    const PixelLayout& layout = layoutOf(circuit.psm);
    const uint32_t value =
        state.memory.readUnit(layout, unitAddressInRow(layout, row, (circuit.dbx + static_cast<uint32_t>(x)) & 2047));
    switch (circuit.psm) {
    case kPsmCt16:
    case kPsmCt16S:
        return ((value & 0x1F) << 3) | (((value >> 5) & 0x1F) << 11) | (((value >> 10) & 0x1F) << 19) |
               ((value & 0x8000) ? 0x80000000u : 0);
    case kPsmCt24:
        return value | 0x80000000u;
    default:
        return value;
    }
}

bool inside(const ReadCircuit& circuit, int x, int y) {
    return circuit.enabled && x >= circuit.left && y >= circuit.top && x < circuit.left + circuit.width &&
           y < circuit.top + circuit.height;
}

uint32_t blendChannel(uint32_t over, uint32_t under, uint32_t alpha, unsigned shift) {
    const uint32_t a = (over >> shift) & 0xFF;
    const uint32_t b = (under >> shift) & 0xFF;
    return ((a * alpha + b * (255 - alpha)) / 255) << shift;
}

}  // namespace
}  // namespace gs

using namespace gs;

DisplayedPicture composeDisplayedPicture() {
    const auto& regs = state.privileged.display;
    const uint64_t pmode = regs[kPmode];
    const bool halfHeight = fieldMode(regs[kSmode2]);
    const ReadCircuit first = readCircuit(regs[kDispfb1], regs[kDisplay1], field(pmode, 0, 1), halfHeight);
    const ReadCircuit second = readCircuit(regs[kDispfb2], regs[kDisplay2], field(pmode, 1, 1), halfHeight);
    DisplayedPicture picture;
    if (!first.enabled && !second.enabled) {
        picture.width = kBlankPictureWidth;
        picture.height = kBlankPictureHeight;
        picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0xFF000000u);
        return picture;
    }
    int left = INT32_MAX, top = INT32_MAX, right = 0, bottom = 0;
    for (const ReadCircuit* circuit : {&first, &second}) {
        if (!circuit->enabled) continue;
        left = std::min(left, circuit->left);
        top = std::min(top, circuit->top);
        right = std::max(right, circuit->left + circuit->width);
        bottom = std::max(bottom, circuit->top + circuit->height);
    }
    picture.width = std::max(0, right - left);
    picture.height = std::max(0, bottom - top);
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);

    const uint32_t background = field(regs[kBgcolor], 0, 24);
    const bool blendWithAlp = field(pmode, 5, 1);
    const uint32_t alp = field(pmode, 8, 8);
    const bool backgroundUnderFirst = field(pmode, 7, 1);
    for (int y = 0; y < picture.height; ++y) {
        const int py = y + top;
        const RowAddress firstRow = circuitRow(first, py - first.top);
        const RowAddress secondRow = circuitRow(second, py - second.top);
        for (int x = 0; x < picture.width; ++x) {
            const int px = x + left;
            uint32_t under = background;
            if (!backgroundUnderFirst && inside(second, px, py)) under = framePixel(second, secondRow, px - second.left);
            uint32_t out = under;
            if (inside(first, px, py)) {
                const uint32_t over = framePixel(first, firstRow, px - first.left);
                const uint32_t alpha = blendWithAlp ? alp : std::min<uint32_t>(255, (over >> 24) * 2);
                if (alpha == 255)
                    out = over;
                else if (alpha != 0)
                    out = blendChannel(over, under, alpha, 0) | blendChannel(over, under, alpha, 8) |
                          blendChannel(over, under, alpha, 16);
            }
            picture.pixels[static_cast<size_t>(y) * picture.width + x] = (out & 0xFFFFFF) | 0xFF000000u;
        }
    }
    return picture;
}

uint64_t displayGeneration() { return state.generation; }

bool displayIsPal() { return field(state.privileged.display[kSmode1], 13, 2) == kCmodPal; }
