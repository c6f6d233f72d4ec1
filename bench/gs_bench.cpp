// gs-bench: drawing throughput of the software GS, in megapixels per second
// of the host processor time the drawing took (CPU time of this thread, so
// that other work on the machine does not count), through the plugin's own entry points (GSinit,
// GSgifTransfer) with no window. Each case draws into a 640 x 448 PSMCT32
// frame: flat sprites, Gouraud triangles, textured sprites (32-bit and
// 8-bit CLUT, bilinear) and alpha-blended sprites. Reports figures; never
// fails on a time.
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ps2e/gs-soft/picture.h"
#include "ps2e/ps2e.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 448;
constexpr double kSecondsPerCase = 0.5;

// GIF register addresses used here.
enum : uint8_t {
    kPrim = 0x00, kRgbaq = 0x01, kUv = 0x03, kXyz2 = 0x05, kTex0 = 0x06, kClamp = 0x08, kTex1 = 0x14,
    kXyoffset = 0x18, kPrmodecont = 0x1A, kTexa = 0x3B, kScissor = 0x40, kAlpha = 0x42, kTest = 0x47,
    kFrame = 0x4C, kZbuf = 0x4E, kBitbltbuf = 0x50, kTrxpos = 0x51, kTrxreg = 0x52, kTrxdir = 0x53,
};

struct Packet {
    std::vector<uint32_t> words;
    void quadword(uint64_t low, uint64_t high) {
        for (uint64_t half : {low, high}) {
            words.push_back(static_cast<uint32_t>(half));
            words.push_back(static_cast<uint32_t>(half >> 32));
        }
    }
    // One A+D tag per call.
    void set(std::initializer_list<std::pair<uint8_t, uint64_t>> writes) {
        quadword(writes.size() | (uint64_t{1} << 60), 0xE);
        for (auto [reg, value] : writes) quadword(value, reg);
    }
    void send() const { GSgifTransfer(words.data(), static_cast<uint32_t>(words.size() / 4)); }
};

uint64_t xyz(int x, int y) { return static_cast<uint64_t>(x * 16) | (static_cast<uint64_t>(y * 16) << 16); }
uint64_t uv(int u, int v) { return static_cast<uint64_t>(u * 16) | (static_cast<uint64_t>(v * 16) << 16); }

void setUpFrame() {
    Packet p;
    p.set({{kFrame, (10ull << 16)},  // FBP 0, FBW 10 (640 pixels), PSMCT32
           {kZbuf, 1ull << 32},
           {kScissor, (kWidth - 1ull) << 16 | (kHeight - 1ull) << 48},
           {kXyoffset, 0},
           {kTest, 0},
           {kPrmodecont, 1},
           {kClamp, 0}});
    p.send();
}

// Uploads a 256 x 256 texture at block 4480 (past the frame): 32-bit
// colours, or 8-bit indices with a 256-colour CLUT at block 8000.
void uploadTextures() {
    Packet p;
    std::vector<uint32_t> texels(256 * 256);
    for (int i = 0; i < 256 * 256; ++i) texels[i] = 0x80000000u | (i * 2654435761u >> 8);
    auto image = [&p](const void* data, size_t bytes) {
        p.quadword(bytes / 16 | (uint64_t{1} << 15) | (uint64_t{2} << 58), 0);
        const auto* words = static_cast<const uint64_t*>(data);
        for (size_t i = 0; i < bytes / 16; ++i) p.quadword(words[2 * i], words[2 * i + 1]);
    };
    p.set({{kBitbltbuf, (4480ull << 32) | (4ull << 48)}, {kTrxpos, 0}, {kTrxreg, 256 | (256ull << 32)}, {kTrxdir, 0}});
    image(texels.data(), texels.size() * 4);
    std::vector<uint8_t> indices(256 * 256);
    for (int i = 0; i < 256 * 256; ++i) indices[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    p.set({{kBitbltbuf, (6528ull << 32) | (4ull << 48) | (0x13ull << 56)}, {kTrxpos, 0}, {kTrxreg, 256 | (256ull << 32)}, {kTrxdir, 0}});
    image(indices.data(), indices.size());
    p.set({{kBitbltbuf, (8000ull << 32) | (1ull << 48)}, {kTrxpos, 0}, {kTrxreg, 16 | (16ull << 32)}, {kTrxdir, 0}});
    image(texels.data(), 256 * 4);
    p.send();
}

uint64_t tex0(uint64_t tbp, uint64_t psm, bool clut) {
    return tbp | (4ull << 14) | (psm << 20) | (8ull << 26) | (8ull << 30) | (1ull << 34) | (0ull << 35) |
           (clut ? (8000ull << 37) | (1ull << 61) : 0);
}

struct Case {
    const char* name;
    Packet packet;
    double pixelsPerSend;
};

// Full-frame sprites, four per packet.
Case sprites(const char* name, uint64_t attributes, uint64_t tex0Value, uint64_t alpha) {
    Case c{name, {}, 4.0 * kWidth * kHeight};
    if (tex0Value) c.packet.set({{kTex0, tex0Value}, {kTex1, 0x60}});  // MMAG and MMIN bilinear
    c.packet.set({{kAlpha, alpha}});
    for (int i = 0; i < 4; ++i)
        c.packet.set({{kPrim, 6 | attributes}, {kRgbaq, 0x60FF8040u + i}, {kUv, uv(0, 0)}, {kXyz2, xyz(0, 0)},
                      {kUv, uv(256, 256)}, {kXyz2, xyz(kWidth, kHeight)}});
    return c;
}

// Gouraud triangles tiling the frame in 32 x 32 squares.
Case gouraudTriangles() {
    Case c{"Gouraud triangles (32x32 squares as strips)", {}, double(kWidth) * kHeight};
    for (int y = 0; y < kHeight; y += 32) {
        for (int x = 0; x < kWidth; x += 32) {
            c.packet.set({{kPrim, 4 | 0x8}, {kRgbaq, 0x800000FFu}, {kXyz2, xyz(x, y)}, {kRgbaq, 0x8000FF00u},
                          {kXyz2, xyz(x + 32, y)}, {kRgbaq, 0x80FF0000u}, {kXyz2, xyz(x, y + 32)},
                          {kRgbaq, 0x80FFFFFFu}, {kXyz2, xyz(x + 32, y + 32)}});
        }
    }
    return c;
}

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double megapixelsPerSecond(const Case& c) {
    c.packet.send();  // warm up
    int sends = 0;
    const double start = threadSeconds();
    double elapsed = 0;
    do {
        c.packet.send();
        ++sends;
        elapsed = threadSeconds() - start;
    } while (elapsed < kSecondsPerCase);
    return c.pixelsPerSend * sends / elapsed / 1e6;
}

}  // namespace

int main() {
    GSinit();
    setUpFrame();
    uploadTextures();
    const uint64_t blend = 0 | (1 << 2) | (0 << 4) | (1 << 6);  // (Cs - Cd) * As + Cd
    const Case cases[] = {
        sprites("flat sprites", 0, 0, 0),
        gouraudTriangles(),
        sprites("textured sprites, 32-bit, bilinear", 0x110, tex0(4480, 0x00, false), 0),
        sprites("textured sprites, 8-bit CLUT, bilinear", 0x110, tex0(6528, 0x13, true), 0),
        sprites("alpha-blended sprites", 0x40, 0, blend),
    };
    std::printf("software GS, %d x %d PSMCT32 frame\n", kWidth, kHeight);
    for (const Case& c : cases) std::printf("  %-44s %8.1f Mpixels/s\n", c.name, megapixelsPerSecond(c));

    // What the window asks for at each picture it presents.
    GSwrite64(0x12000000, 0xFF21);                                      // PMODE: circuit 1, ALP 0xFF
    GSwrite64(0x12000070, 10u << 9);                                     // DISPFB1: the frame
    GSwrite64(0x12000080, (uint64_t{kWidth - 1} << 32) | (uint64_t{kHeight - 1} << 44));  // DISPLAY1
    int pictures = 0;
    const double start = threadSeconds();
    double elapsed = 0;
    do {
        pictures += composeDisplayedPicture().width == kWidth;
        elapsed = threadSeconds() - start;
    } while (elapsed < kSecondsPerCase);
    std::printf("  %-44s %8.1f pictures/s\n", "displayed picture composed", pictures / elapsed);
    GSshutdown();
    return 0;
}
