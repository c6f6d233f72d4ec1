/* The demo that `make run` shows: a lit, textured cube spinning over a
   shaded background under a line of text.

   Each frame the EE sends VU1 the cube's rotation over VIF1 and starts its
   micro program, which transforms and lights the 36 vertices and kicks the
   finished triangle list to the GS (PATH1). The background, the text and,
   once, the cube's texture go through the GIF DMA channel (PATH3). The
   picture is drawn into the buffer not on show; the vertical-blank handler
   shows it by switching DISPFB1. The D-pad turns the cube, Start pauses
   its spin. */
#include "font.h"
#include "kernel.h"
#include "pad.h"
#include "vu1_code.h"

#define REG(address) (*(volatile unsigned *)(address))

/* DMA channels 1 (VIF1) and 2 (GIF). */
#define VIF1_CHCR 0x10009000u
#define VIF1_TADR 0x10009030u
#define GIF_CHCR 0x1000A000u
#define GIF_MADR 0x1000A010u
#define GIF_QWC 0x1000A020u
#define CHCR_START 0x100u
#define CHCR_FROM_MEMORY 0x1u
#define CHCR_CHAIN 0x4u

/* GS privileged registers (64 bits; written as two words). */
#define GS_PMODE 0x12000000u
#define GS_SMODE2 0x12000020u
#define GS_DISPFB1 0x12000070u
#define GS_DISPLAY1 0x12000080u
#define GS_BGCOLOR 0x120000E0u

/* GS registers reached through GIF packets. */
enum {
    GS_PRIM = 0x00, GS_RGBAQ = 0x01, GS_UV = 0x03, GS_XYZ2 = 0x05, GS_TEX0_1 = 0x06, GS_CLAMP_1 = 0x08,
    GS_TEX1_1 = 0x14, GS_XYOFFSET_1 = 0x18, GS_PRMODECONT = 0x1A, GS_SCISSOR_1 = 0x40, GS_COLCLAMP = 0x46,
    GS_TEST_1 = 0x47, GS_FRAME_1 = 0x4C, GS_ZBUF_1 = 0x4E, GS_BITBLTBUF = 0x50, GS_TRXPOS = 0x51,
    GS_TRXREG = 0x52, GS_TRXDIR = 0x53,
};
#define GIF_AD 0xEu

/* The screen: 640 x 448, interlaced NTSC showing whole frames, two 32-bit
   colour buffers and a 32-bit depth buffer, each 140 pages of 2048 words;
   the texture after them. */
#define SCREEN_WIDTH 640
#define SCREEN_HEIGHT 448
#define BUFFER_WIDTH_64 (SCREEN_WIDTH / 64)
#define BUFFER_PAGES 140
#define DEPTH_PAGE (2 * BUFFER_PAGES)
#define TEXTURE_BLOCK (3 * BUFFER_PAGES * 32)
#define TEXTURE_SIZE 32
#define TEXTURE_LOG2 5

/* The line of text, uploaded into the drawn buffer each frame. */
#define TEXT "CORVANE VU1 CUBE"
#define TEXT_LENGTH 16
#define TEXT_SCALE 2
#define TEXT_WIDTH (TEXT_LENGTH * GLYPH_CELL * TEXT_SCALE)
#define TEXT_HEIGHT (GLYPH_CELL * TEXT_SCALE)
#define TEXT_X ((SCREEN_WIDTH - TEXT_WIDTH) / 2)
#define TEXT_Y 24
#define TEXT_INK 0x80F0F0F0u
#define TEXT_PAPER 0x80402018u

/* Projection: the cube (half-size 1) sits DISTANCE in front of the eye;
   screen y grows downwards. */
#define CENTRE_X 320
#define CENTRE_Y 240
#define FOCAL_X 300
#define FOCAL_Y (-300)
#define DISTANCE 5
#define DEPTH_SCALE 0x100000

/* VU1 data memory, in quadwords. */
enum {
    VU_COLUMNS = 0,     /* four columns of the model-to-eye matrix */
    VU_PROJECTION = 4,  /* (FOCAL_X, FOCAL_Y, DEPTH_SCALE, 0) */
    VU_CENTRE = 5,      /* (CENTRE_X, CENTRE_Y, 0, 0) */
    VU_LIGHT = 6,       /* the light's direction in model space */
    VU_DIFFUSE = 7,     /* colour added at full light */
    VU_AMBIENT = 8,     /* colour with no light, and the alpha */
    VU_CONSTANTS = 9,
    VU_VERTICES = 16,   /* per vertex: UV, normal, position */
    VU_KICK = 200,      /* GIF tag, then per vertex UV, RGBAQ, XYZ2 */
};
#define VERTEX_COUNT 36

/* Pad buttons, active low in the two button bytes. */
#define PAD_START 0x0008u
#define PAD_UP 0x0010u
#define PAD_RIGHT 0x0020u
#define PAD_DOWN 0x0040u
#define PAD_LEFT 0x0080u

union Word {
    float f;
    unsigned u;
};

static unsigned floatBits(float value) {
    union Word word;
    word.f = value;
    return word.u;
}

/* ---- Quadword packets ---- */

struct Packet {
    unsigned *words;
    unsigned count; /* words written */
};

static void put(struct Packet *packet, unsigned word) { packet->words[packet->count++] = word; }

static void putQuad(struct Packet *packet, unsigned x, unsigned y, unsigned z, unsigned w) {
    put(packet, x);
    put(packet, y);
    put(packet, z);
    put(packet, w);
}

static void putFloats(struct Packet *packet, float x, float y, float z, float w) {
    putQuad(packet, floatBits(x), floatBits(y), floatBits(z), floatBits(w));
}

/* A GIF tag. `prim` (with PRE) is given for packed vertex data, or -1. */
static void putGifTag(struct Packet *packet, unsigned loops, int endOfPacket, int prim, unsigned format,
                      unsigned registerCount, unsigned registers) {
    const unsigned pre = prim >= 0;
    const unsigned primBits = prim >= 0 ? (unsigned)prim : 0;
    put(packet, loops | (endOfPacket ? 0x8000u : 0));
    put(packet, (pre << 14) | (primBits << 15) | (format << 26) | (registerCount << 28));
    put(packet, registers);
    put(packet, 0);
}

#define GIF_PACKED 0u
#define GIF_IMAGE 2u

/* An address-plus-data quadword: the register's 64-bit value as two words. */
static void putRegister(struct Packet *packet, unsigned reg, unsigned low, unsigned high) {
    putQuad(packet, low, high, reg, 0);
}

static unsigned quadwords(const struct Packet *packet) { return (packet->count + 3) / 4; }

static void waitForChannel(unsigned chcr) {
    while (REG(chcr) & CHCR_START) {
    }
}

/* Sends a packet of whole quadwords over PATH3 and waits for it to go. */
static void sendPath3(const struct Packet *packet) {
    REG(GIF_MADR) = (unsigned)packet->words & 0x1FFFFFFFu;
    REG(GIF_QWC) = quadwords(packet);
    REG(GIF_CHCR) = CHCR_START | CHCR_FROM_MEMORY;
    waitForChannel(GIF_CHCR);
}

/* ---- The picture set-up and the uploads through PATH3 ---- */

static unsigned path3Words[4 * 2048] __attribute__((aligned(16)));
static unsigned textImage[TEXT_WIDTH * TEXT_HEIGHT] __attribute__((aligned(16)));

static void writePrivileged(unsigned address, unsigned low, unsigned high) {
    REG(address) = low;
    REG(address + 4) = high;
}

static void setUpDisplay(void) {
    SetGsCrt(1, 2, 0); /* NTSC, interlaced, frame mode */
    writePrivileged(GS_SMODE2, 1, 0);
    /* Read circuit 1 on its own, fully opaque. */
    writePrivileged(GS_PMODE, 0x1u | (1u << 2) | (1u << 5) | (0xFFu << 8), 0);
    /* Four video clocks a pixel: 2560 clocks show 640 pixels. */
    writePrivileged(GS_DISPLAY1, 656u | (25u << 12) | (3u << 23), (SCREEN_WIDTH * 4 - 1) | ((SCREEN_HEIGHT - 1) << 12));
    writePrivileged(GS_BGCOLOR, 0, 0);
}

static void showBuffer(unsigned buffer) {
    writePrivileged(GS_DISPFB1, buffer * BUFFER_PAGES | (BUFFER_WIDTH_64 << 9), 0);
}

/* Host-to-local transfer of a 32-bit image of width x height pixels. */
static void putImageUpload(struct Packet *packet, unsigned block, unsigned bufferWidth64, unsigned x, unsigned y,
                           unsigned width, unsigned height, const unsigned *pixels) {
    putGifTag(packet, 4, 0, -1, GIF_PACKED, 1, GIF_AD);
    putRegister(packet, GS_BITBLTBUF, 0, block | (bufferWidth64 << 16));
    putRegister(packet, GS_TRXPOS, 0, x | (y << 16));
    putRegister(packet, GS_TRXREG, width, height);
    putRegister(packet, GS_TRXDIR, 0, 0);
    const unsigned imageQuadwords = width * height / 4;
    putGifTag(packet, imageQuadwords, 1, -1, GIF_IMAGE, 0, 0);
    for (unsigned i = 0; i < width * height; ++i) put(packet, pixels[i]);
}

/* A 32 x 32 texture: tiles of two warm colours with a light border. */
static void uploadTexture(void) {
    static unsigned texels[TEXTURE_SIZE * TEXTURE_SIZE];
    for (unsigned v = 0; v < TEXTURE_SIZE; ++v) {
        for (unsigned u = 0; u < TEXTURE_SIZE; ++u) {
            unsigned colour = ((u >> 3) ^ (v >> 3)) & 1 ? 0x8020A0F0u : 0x80C04020u;
            if (u < 2 || v < 2 || u >= TEXTURE_SIZE - 2 || v >= TEXTURE_SIZE - 2) colour = 0x80E0E0E0u;
            texels[v * TEXTURE_SIZE + u] = colour;
        }
    }
    struct Packet packet = {path3Words, 0};
    putImageUpload(&packet, TEXTURE_BLOCK, 1, 0, 0, TEXTURE_SIZE, TEXTURE_SIZE, texels);
    sendPath3(&packet);
}

/* The drawing context: the buffer drawn into, depth, texture, whole screen. */
static void putDrawingContext(struct Packet *packet, unsigned buffer) {
    putGifTag(packet, 9, 0, -1, GIF_PACKED, 1, GIF_AD);
    putRegister(packet, GS_FRAME_1, buffer * BUFFER_PAGES | (BUFFER_WIDTH_64 << 16), 0);
    putRegister(packet, GS_ZBUF_1, DEPTH_PAGE, 0);
    putRegister(packet, GS_XYOFFSET_1, 0, 0);
    putRegister(packet, GS_SCISSOR_1, (SCREEN_WIDTH - 1) << 16, (SCREEN_HEIGHT - 1) << 16);
    putRegister(packet, GS_PRMODECONT, 1, 0);
    putRegister(packet, GS_COLCLAMP, 1, 0);
    /* Texture: 32-bit, 32 x 32, its alpha used, modulated by the vertex colour. */
    putRegister(packet, GS_TEX0_1, TEXTURE_BLOCK | (1u << 14) | (TEXTURE_LOG2 << 26) | ((TEXTURE_LOG2 & 3u) << 30),
                (TEXTURE_LOG2 >> 2) | (1u << 2));
    putRegister(packet, GS_TEX1_1, 0, 0);
    putRegister(packet, GS_CLAMP_1, 1u | (1u << 2), 0); /* clamp at the edges */
}

#define TEST_DEPTH_ALWAYS ((1u << 16) | (1u << 17))
#define TEST_DEPTH_GEQUAL ((1u << 16) | (2u << 17))
#define PRIM_TRIANGLE_STRIP 4u
#define PRIM_TRIANGLES 3u
#define PRIM_GOURAUD 0x8u
#define PRIM_TEXTURED 0x10u
#define PRIM_UV 0x100u

/* The background: a strip of two triangles shaded from deep blue at the
   top to violet at the bottom, also clearing depth to 0. Then the text. */
static void drawBackgroundAndText(unsigned buffer) {
    struct Packet packet = {path3Words, 0};
    putDrawingContext(&packet, buffer);
    putGifTag(&packet, 1, 0, -1, GIF_PACKED, 1, GIF_AD);
    putRegister(&packet, GS_TEST_1, TEST_DEPTH_ALWAYS, 0);
    putGifTag(&packet, 4, 0, PRIM_TRIANGLE_STRIP | PRIM_GOURAUD, GIF_PACKED, 2, GS_RGBAQ | (GS_XYZ2 << 4));
    static const unsigned corners[4][3] = {
        {0, 0, 0x80603010u}, {SCREEN_WIDTH, 0, 0x80603010u},
        {0, SCREEN_HEIGHT, 0x80804060u}, {SCREEN_WIDTH, SCREEN_HEIGHT, 0x80804060u},
    };
    for (unsigned i = 0; i < 4; ++i) {
        const unsigned colour = corners[i][2];
        putQuad(&packet, colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF, colour >> 24);
        putQuad(&packet, corners[i][0] << 4, corners[i][1] << 4, 0, 0);
    }
    putGifTag(&packet, 1, 0, -1, GIF_PACKED, 1, GIF_AD);
    putRegister(&packet, GS_TEST_1, TEST_DEPTH_GEQUAL, 0);
    putImageUpload(&packet, buffer * BUFFER_PAGES * 32, BUFFER_WIDTH_64, TEXT_X, TEXT_Y, TEXT_WIDTH, TEXT_HEIGHT,
                   textImage);
    sendPath3(&packet);
}

/* ---- The cube and VU1 ---- */

/* sin(2 pi k / 256) for k = 0..64, in units of 1/16384. */
static const short quarterSine[65] = {
    0,     402,   804,   1205,  1606,  2006,  2404,  2801,  3196,  3590,  3981,  4370,  4756,
    5139,  5520,  5897,  6270,  6639,  7005,  7366,  7723,  8076,  8423,  8765,  9102,  9434,
    9760,  10080, 10394, 10702, 11003, 11297, 11585, 11866, 12140, 12406, 12665, 12916, 13160,
    13395, 13623, 13842, 14053, 14256, 14449, 14635, 14811, 14978, 15137, 15286, 15426, 15557,
    15679, 15791, 15893, 15986, 16069, 16143, 16207, 16261, 16305, 16340, 16364, 16379, 16384,
};

/* sin of an angle in 256ths of a turn. */
static float sine(unsigned angle) {
    angle &= 255;
    int value;
    if (angle <= 64) value = quarterSine[angle];
    else if (angle <= 128) value = quarterSine[128 - angle];
    else if (angle <= 192) value = -quarterSine[angle - 128];
    else value = -quarterSine[256 - angle];
    return (float)value / 16384.0f;
}

static float cosine(unsigned angle) { return sine(angle + 64); }

/* Turns of the cube, in 256ths, about the x and y axes; read by the tests. */
volatile unsigned angleX;
volatile unsigned angleY;
volatile unsigned paused;
/* Frames drawn so far. */
volatile unsigned frames;

/* The micro program: per vertex, copy the UV, light the face by its normal
   (ambient + diffuse * max(0, n.l)), transform the position by the matrix,
   divide by depth and place it on screen in 12.4 fixed point; then XGKICK
   the list. VF1-VF4 matrix columns, VF5 projection, VF6 centre, VF7 light,
   VF8 diffuse, VF9 ambient; VI1 reads, VI2 writes, VI3 counts, VI4 the tag. */
static unsigned microProgram(unsigned *words) {
    const unsigned pairs[][2] = {
        {L_LQ(DEST_XYZW, 1, 0, VU_COLUMNS + 0), U_NOP},
        {L_LQ(DEST_XYZW, 2, 0, VU_COLUMNS + 1), U_NOP},
        {L_LQ(DEST_XYZW, 3, 0, VU_COLUMNS + 2), U_NOP},
        {L_LQ(DEST_XYZW, 4, 0, VU_COLUMNS + 3), U_NOP},
        {L_LQ(DEST_XYZW, 5, 0, VU_PROJECTION), U_NOP},
        {L_LQ(DEST_XYZW, 6, 0, VU_CENTRE), U_NOP},
        {L_LQ(DEST_XYZW, 7, 0, VU_LIGHT), U_NOP},
        {L_LQ(DEST_XYZW, 8, 0, VU_DIFFUSE), U_NOP},
        {L_LQ(DEST_XYZW, 9, 0, VU_AMBIENT), U_NOP},
        {L_IADDIU(1, 0, VU_VERTICES), U_NOP},
        {L_IADDIU(2, 0, VU_KICK + 1), U_NOP},
        {L_IADDIU(3, 0, VERTEX_COUNT), U_NOP},
        /* the loop, from pair 12: */
        {L_LQI(DEST_XYZW, 10, 1), U_NOP},
        {L_SQI(DEST_XYZW, 10, 2), U_NOP},
        {L_LQI(DEST_XYZW, 11, 1), U_NOP},
        {L_NOP, U_MUL(DEST_XYZW, 12, 11, 7)},
        {L_NOP, U_ADDY(DEST_X, 12, 12, 12)},
        {L_NOP, U_ADDZ(DEST_X, 12, 12, 12)},
        {L_NOP, U_MAXX(DEST_X, 12, 12, 0)},
        {L_NOP, U_MULAX(DEST_XYZW, 8, 12)},
        {L_NOP, U_MADDW(DEST_XYZW, 13, 9, 0)},
        {L_NOP, U_FTOI0(DEST_XYZW, 13, 13)},
        {L_SQI(DEST_XYZW, 13, 2), U_NOP},
        {L_LQI(DEST_XYZW, 14, 1), U_NOP},
        {L_NOP, U_MULAX(DEST_XYZW, 1, 14)},
        {L_NOP, U_MADDAY(DEST_XYZW, 2, 14)},
        {L_NOP, U_MADDAZ(DEST_XYZW, 3, 14)},
        {L_NOP, U_MADDW(DEST_XYZW, 15, 4, 14)},
        {L_DIV(0, FIELD_W, 15, FIELD_Z), U_NOP},
        {L_WAITQ, U_NOP},
        {L_NOP, U_MULQ(DEST_XYZW, 16, 15)},
        {L_NOP, U_MUL(DEST_X | DEST_Y, 16, 16, 5)},
        {L_NOP, U_MULW(DEST_Z, 16, 5, 16)},
        {L_NOP, U_ADD(DEST_X | DEST_Y, 16, 16, 6)},
        {L_NOP, U_FTOI4(DEST_XYZW, 17, 16)},
        {L_SQI(DEST_XYZW, 17, 2), U_NOP},
        {L_ISUBIU(3, 3, 1), U_NOP},
        {L_IBNE(3, 0, 12 - 38), U_NOP}, /* pair 37: back to pair 12 */
        {L_NOP, U_NOP},
        {L_IADDIU(4, 0, VU_KICK), U_NOP},
        {L_XGKICK(4), U_NOP | UPPER_END},
        {L_NOP, U_NOP},
    };
    const unsigned count = sizeof pairs / sizeof pairs[0];
    for (unsigned i = 0; i < count; ++i) {
        words[2 * i] = pairs[i][0];
        words[2 * i + 1] = pairs[i][1];
    }
    return count;
}

/* The six faces: outward normal and the two edge directions of the face. */
static const int faces[6][3][3] = {
    {{1, 0, 0}, {0, 0, -1}, {0, -1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},   {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, -1, 0}},
};
/* Corners of a face in (s, t) and the two triangles through them. */
static const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
static const unsigned triangleCorners[6] = {0, 1, 2, 0, 2, 3};

static void putVertices(struct Packet *packet) {
    for (unsigned face = 0; face < 6; ++face) {
        const int(*axes)[3] = faces[face];
        for (unsigned k = 0; k < 6; ++k) {
            const int s = corners[triangleCorners[k]][0], t = corners[triangleCorners[k]][1];
            /* UV in 12.4 texels: the face shows the whole texture. */
            putQuad(packet, (unsigned)(s + 1) * TEXTURE_SIZE * 8, (unsigned)(t + 1) * TEXTURE_SIZE * 8, 0, 0);
            putFloats(packet, (float)axes[0][0], (float)axes[0][1], (float)axes[0][2], 0.0f);
            float position[3];
            for (unsigned i = 0; i < 3; ++i) position[i] = (float)(axes[0][i] + s * axes[1][i] + t * axes[2][i]);
            putFloats(packet, position[0], position[1], position[2], 1.0f);
        }
    }
}

#define VIF_NOP 0x00000000u
#define VIF_STCYCL_1_1 0x01000101u
#define VIF_MSCAL(pair) (0x14000000u | (pair))
#define VIF_MPG(pairs, at) (0x4A000000u | ((pairs) << 16) | (at))
#define VIF_UNPACK_V4_32(count, at) (0x6C000000u | ((count) << 16) | (at))

static unsigned vifWords[4 * 512] __attribute__((aligned(16)));

/* Sends the VIF1 packet after its DMA tag (quadword 0 of `packet`) as one
   chain ending at that tag, and waits for it to go. */
static void sendVif1(struct Packet *packet) {
    while (packet->count % 4 != 0) put(packet, VIF_NOP);
    packet->words[0] = 0x70000000u | (quadwords(packet) - 1);
    packet->words[1] = 0;
    REG(VIF1_TADR) = (unsigned)packet->words & 0x1FFFFFFFu;
    REG(VIF1_CHCR) = CHCR_START | CHCR_CHAIN | CHCR_FROM_MEMORY;
    waitForChannel(VIF1_CHCR);
}

static struct Packet startVifPacket(void) {
    struct Packet packet = {vifWords, 0};
    putQuad(&packet, 0, 0, VIF_NOP, VIF_STCYCL_1_1); /* the DMA tag; its upper half goes to VIF1 */
    return packet;
}

/* Once: the micro program, the cube's vertices and the GIF tag of the list. */
static void loadVu1(void) {
    struct Packet packet = startVifPacket();
    static unsigned program[2 * 64];
    const unsigned pairs = microProgram(program);
    put(&packet, VIF_NOP);
    put(&packet, VIF_MPG(pairs, 0)); /* its data starts on a doubleword */
    for (unsigned i = 0; i < 2 * pairs; ++i) put(&packet, program[i]);
    put(&packet, VIF_UNPACK_V4_32(3 * VERTEX_COUNT, VU_VERTICES));
    putVertices(&packet);
    put(&packet, VIF_UNPACK_V4_32(1, VU_KICK));
    putGifTag(&packet, VERTEX_COUNT, 1, PRIM_TRIANGLES | PRIM_TEXTURED | PRIM_UV, GIF_PACKED, 3,
              GS_UV | (GS_RGBAQ << 4) | (GS_XYZ2 << 8));
    sendVif1(&packet);
}

/* The light, from the upper left in front, in eye space (unit length). */
static const float lightEye[3] = {-0.4f, 0.5f, -0.768f};

/* Each frame: the matrix Ry * Rx by columns, the eye at DISTANCE, the
   light turned back into model space, the colours; then the program runs. */
static void drawCube(void) {
    const float sx = sine(angleX), cx = cosine(angleX);
    const float sy = sine(angleY), cy = cosine(angleY);
    const float columns[3][3] = {
        {cy, 0.0f, -sy},
        {sy * sx, cx, cy * sx},
        {sy * cx, -sx, cy * cx},
    };
    struct Packet packet = startVifPacket();
    put(&packet, VIF_UNPACK_V4_32(VU_CONSTANTS, VU_COLUMNS));
    for (unsigned j = 0; j < 3; ++j) putFloats(&packet, columns[j][0], columns[j][1], columns[j][2], 0.0f);
    putFloats(&packet, 0.0f, 0.0f, (float)DISTANCE, 1.0f);
    putFloats(&packet, (float)FOCAL_X, (float)FOCAL_Y, (float)DEPTH_SCALE, 0.0f);
    putFloats(&packet, (float)CENTRE_X, (float)CENTRE_Y, 0.0f, 0.0f);
    float light[3];
    for (unsigned j = 0; j < 3; ++j)
        light[j] = columns[j][0] * lightEye[0] + columns[j][1] * lightEye[1] + columns[j][2] * lightEye[2];
    putFloats(&packet, light[0], light[1], light[2], 0.0f);
    putFloats(&packet, 112.0f, 112.0f, 112.0f, 0.0f);
    putFloats(&packet, 36.0f, 36.0f, 40.0f, 128.0f);
    put(&packet, VIF_MSCAL(0));
    sendVif1(&packet);
}

/* ---- Frames, vertical blanks and the pad ---- */

static volatile unsigned vblanks;
static volatile unsigned finishedBuffer; /* drawn and waiting to be shown */
static volatile unsigned bufferWaiting;

static int onVblankStart(int cause) {
    (void)cause;
    ++vblanks;
    if (bufferWaiting) {
        showBuffer(finishedBuffer);
        bufferWaiting = 0;
    }
    return 0;
}

static unsigned char padArea[PAD_AREA_BYTES] __attribute__((aligned(64)));

static void followPad(unsigned *heldBefore) {
    const unsigned held = ~padButtons(PAD_SERVER_SECOND, padArea) & 0xFFFFu;
    if ((held & PAD_START) && !(*heldBefore & PAD_START)) paused = !paused;
    *heldBefore = held;
    if (held & PAD_LEFT) angleY = angleY - 2;
    if (held & PAD_RIGHT) angleY = angleY + 2;
    if (held & PAD_UP) angleX = angleX - 2;
    if (held & PAD_DOWN) angleX = angleX + 2;
    if (!paused) angleY = angleY + 1;
}

int main(void) {
    setUpDisplay();
    renderText(TEXT, TEXT_SCALE, textImage, TEXT_INK, TEXT_PAPER);
    uploadTexture();
    loadVu1();
    padOpen(PAD_SERVER_SECOND, 0, padArea);
    angleX = 24;
    angleY = 16;

    AddIntcHandler(2, onVblankStart, 0);
    _EnableIntc(2);
    __asm__ volatile("ei");

    unsigned drawBuffer = 1;
    unsigned heldBefore = 0;
    showBuffer(0);
    for (;;) {
        const unsigned seen = vblanks;
        while (vblanks == seen || bufferWaiting) {
        }
        followPad(&heldBefore);
        drawBackgroundAndText(drawBuffer);
        drawCube();
        finishedBuffer = drawBuffer;
        bufferWaiting = 1;
        drawBuffer ^= 1;
        frames = frames + 1;
    }
}
