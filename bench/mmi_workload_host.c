/* Host side of the multimedia benchmark: the steps of mmi_workload.S on
   plain arrays of words and halfwords. */
#include "mmi_workload.h"

#include <stdint.h>
#include <string.h>

typedef struct {
    uint32_t w[4];
} Quad;

static int16_t halfOf(const Quad* q, unsigned i) {
    uint16_t h;
    memcpy(&h, (const uint8_t*)q->w + 2 * i, 2);
    return (int16_t)h;
}

static void setHalf(Quad* q, unsigned i, int32_t value) {
    const uint16_t h = (uint16_t)value;
    memcpy((uint8_t*)q->w + 2 * i, &h, 2);
}

static int32_t clampHalf(int32_t value) { return value > 32767 ? 32767 : value < -32768 ? -32768 : value; }

unsigned mmiWorkloadAnswer(unsigned rounds) {
    Quad a = {{0x12345678, 0x9ABCDEF0, 0x0F1E2D3C, 0x4B5A6978}};
    Quad b = {{0x01020304, 0xA0B0C0D0, 0x55AA55AA, 0xDEADBEEF}};
    Quad c = {{0x7FFF8000, 0x00010002, 0xFFFE1234, 0x4321ABCD}};
    uint32_t lo[4] = {0, 0, 0, 0};
    for (unsigned round = 0; round < rounds; ++round) {
        for (unsigned i = 0; i < 4; ++i) a.w[i] += b.w[i];
        const Quad rotated = {{a.w[1], a.w[2], a.w[0], a.w[3]}};
        for (unsigned i = 0; i < 4; ++i) {
            const uint32_t x = b.w[i] ^ rotated.w[i];
            b.w[i] = (x << 3) | (x >> 29);
        }
        for (unsigned i = 0; i < 8; ++i) {
            const int32_t sum = clampHalf(halfOf(&c, i) + halfOf(&a, i));
            const int32_t other = halfOf(&b, i);
            setHalf(&c, i, sum > other ? sum : other);
        }
        int32_t products[8];
        for (unsigned i = 0; i < 8; ++i) products[i] = halfOf(&c, i) * halfOf(&b, i);
        for (unsigned i = 0; i < 4; ++i) a.w[i] += (uint32_t)products[2 * i];
        lo[0] = (uint32_t)products[0];
        lo[1] = (uint32_t)products[1];
        lo[2] = (uint32_t)products[4];
        lo[3] = (uint32_t)products[5];
    }
    uint32_t folded = 0;
    for (unsigned i = 0; i < 4; ++i) folded ^= a.w[i] ^ b.w[i] ^ c.w[i] ^ lo[i];
    return folded;
}
