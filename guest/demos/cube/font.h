/* A 5x7 bitmap font for the demo's line of text, one 8x8 cell a letter. */
#ifndef CUBE_FONT_H
#define CUBE_FONT_H

#define GLYPH_CELL 8

/* Renders `text` (capitals, digits and spaces) into a 32-bit image of
   8 * scale * length by 8 * scale pixels, each font pixel a square of
   scale x scale: `ink` where a glyph is set, `paper` elsewhere. */
void renderText(const char *text, unsigned scale, unsigned *image, unsigned ink, unsigned paper);

#endif
