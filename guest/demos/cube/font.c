#include "font.h"

struct Glyph {
    char letter;
    unsigned char rows[7]; /* bit 4 is the leftmost column */
};

/* The letters the demo writes; anything else draws as a blank cell. */
static const struct Glyph glyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
};

static const unsigned char *glyphRows(char letter) {
    for (unsigned i = 0; i < sizeof glyphs / sizeof glyphs[0]; ++i)
        if (glyphs[i].letter == letter) return glyphs[i].rows;
    return 0;
}

void renderText(const char *text, unsigned scale, unsigned *image, unsigned ink, unsigned paper) {
    unsigned length = 0;
    while (text[length] != 0) ++length;
    const unsigned cell = GLYPH_CELL * scale;
    const unsigned width = length * cell;
    for (unsigned i = 0; i < length; ++i) {
        const unsigned char *rows = glyphRows(text[i]);
        for (unsigned y = 0; y < cell; ++y) {
            for (unsigned x = 0; x < cell; ++x) {
                /* The glyph sits at column 1, row 0 of its cell. */
                const unsigned fx = x / scale, fy = y / scale;
                const unsigned set = rows != 0 && fy < 7 && fx >= 1 && fx <= 5 && (rows[fy] >> (5 - fx) & 1u);
                image[y * width + i * cell + x] = set ? ink : paper;
            }
        }
    }
}
