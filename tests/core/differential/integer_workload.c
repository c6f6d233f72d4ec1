/* 32-bit arithmetic: products, signed and unsigned division with every
   sign combination, shifts, comparisons and bit counting over a sequence
   of pseudo-random operands. */
#include "workloads.h"

static unsigned nextRandom(unsigned *state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state;
}

static unsigned popCount(unsigned value)
{
    unsigned count = 0;
    while (value) {
        value &= value - 1;
        ++count;
    }
    return count;
}

void integerWorkload(unsigned *out)
{
    unsigned state = 0x12345678u;
    unsigned sum = 0, product = 1, quotients = 0, remainders = 0, shifts = 0, compares = 0, bits = 0;
    int signedQuotients = 0, signedRemainders = 0;
    unsigned i;

    for (i = 0; i < 200; ++i) {
        unsigned a = nextRandom(&state);
        unsigned b = nextRandom(&state) >> (i % 29);
        int sa = (int)a;
        int sb = (int)(b | 1u) * ((i & 1) ? -1 : 1);

        sum += a ^ (b << 3);
        product = product * (a | 1u) + (b >> 7);
        if (b != 0) {
            quotients += a / b;
            remainders ^= a % b;
        }
        if (!(sa == (int)0x80000000 && sb == -1)) {
            signedQuotients += sa / sb;
            signedRemainders ^= sa % sb;
        }
        shifts += (a << (i & 31)) ^ (a >> (b & 31)) ^ (unsigned)(sa >> (i % 32));
        compares = compares * 3u + (unsigned)(sa < sb) + 2u * (unsigned)(a < b);
        bits += popCount(a & ~b);
    }
    out[0] = sum;
    out[1] = product;
    out[2] = quotients;
    out[3] = remainders;
    out[4] = (unsigned)signedQuotients;
    out[5] = (unsigned)signedRemainders;
    out[6] = shifts;
    out[7] = compares;
    out[8] = bits;
    out[9] = (unsigned)(-7 / 2);
    out[10] = (unsigned)(-7 % 2);
    out[11] = state;
    /* a few fixed cases at the edges */
    {
        volatile int minimum = (int)0x80000000;
        volatile int minusOne = -1;
        volatile unsigned all = 0xFFFFFFFFu;
        volatile unsigned two = 2;
        out[12] = (unsigned)(minimum / 2);
        out[13] = (unsigned)(minimum % 3);
        out[14] = all / two;
        out[15] = all % 7u;
        out[16] = (unsigned)(minusOne * (minimum + 1) / 2);
        out[17] = all * all;
        out[18] = (unsigned)(((unsigned long long)all * all) >> 32);
        out[19] = (unsigned)(((long long)minimum * minimum) >> 32);
        out[20] = (unsigned)((long long)minimum * 3);
        out[21] = (unsigned)(minimum >> 31);
        out[22] = (unsigned)minimum >> 31;
        out[23] = (unsigned)(minusOne < (int)two) | ((unsigned)((unsigned)minusOne < two) << 1);
    }
}
