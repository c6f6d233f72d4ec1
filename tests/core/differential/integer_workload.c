/* 32-bit arithmetic: products, signed and unsigned division with every
   sign combination, shifts and comparisons over pseudo-random operands,
   then a few fixed cases at the edges. */
#include "workloads.h"

static unsigned nextRandom(unsigned *state)
{
    return *state = *state * 1664525u + 1013904223u;
}

void integerWorkload(unsigned *out)
{
    unsigned state = 0x12345678u;
    unsigned sum = 0, product = 1, quotients = 0, remainders = 0, shifts = 0, compares = 0;
    unsigned signedQuotients = 0;
    int signedRemainders = 0;
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
            signedQuotients += (unsigned)(sa / sb);
            signedRemainders ^= sa % sb;
        }
        shifts += (a << (i & 31)) ^ (a >> (b & 31)) ^ (unsigned)(sa >> (i % 32));
        compares = compares * 3u + (unsigned)(sa < sb) + 2u * (unsigned)(a < b);
    }
    out[0] = sum;
    out[1] = product;
    out[2] = quotients;
    out[3] = remainders;
    out[4] = (unsigned)signedQuotients;
    out[5] = (unsigned)signedRemainders;
    out[6] = shifts;
    out[7] = compares;
    {
        volatile int minimum = (int)0x80000000;
        volatile int minusOne = -1;
        volatile unsigned all = 0xFFFFFFFFu;
        volatile unsigned two = 2;
        out[8] = (unsigned)(minimum / 2);
        out[9] = (unsigned)(minimum % 3);
        out[10] = all % 7u;
        out[11] = (unsigned)(minusOne * (minimum + 1) / 2);
        out[12] = (unsigned)(((unsigned long long)all * all) >> 32);
        out[13] = (unsigned)(((long long)minimum * minimum) >> 32);
        out[14] = (unsigned)(minimum >> 31) ^ ((unsigned)minimum >> 31);
        out[15] = (unsigned)(minusOne < (int)two) | ((unsigned)((unsigned)minusOne < two) << 1);
    }
}
