#pragma once
#include <cstdint>
#include <vector>

// The picture the GS shows: the two read circuits merged as PMODE, DISPFB1/2
// and DISPLAY1/2 say, over BGCOLOR. Row-major; each pixel's bytes in memory
// are R, G, B, A (0xAABBGGRR read as a little-endian u32), alpha 0xFF.
struct DisplayedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

DisplayedPicture composeDisplayedPicture();

// Changes whenever drawing, a host-to-local transfer or a write to a display
// register (PMODE, DISPFB, DISPLAY, BGCOLOR) has happened; the window paces
// on the pictures the guest really shows.
uint64_t displayGeneration();

// The guest set up PAL timing (50 pictures a second) rather than NTSC.
bool displayIsPal();
