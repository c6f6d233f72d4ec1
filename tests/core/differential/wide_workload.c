/* 64-bit arithmetic: products, division and remainder (signed and
   unsigned, through the guest's own helpers), variable shifts and
   comparisons. Each 64-bit result is written as two words, low first. */
#include "workloads.h"

static unsigned long long nextRandom64(unsigned long long *state)
{
    *state ^= *state << 13;
    *state ^= *state >> 7;
    *state ^= *state << 17;
    return *state;
}

static void put64(unsigned *out, unsigned index, unsigned long long value)
{
    out[2 * index] = (unsigned)value;
    out[2 * index + 1] = (unsigned)(value >> 32);
}

void wideWorkload(unsigned *out)
{
    unsigned long long state = 0x9E3779B97F4A7C15ull;
    unsigned long long sum = 0, product = 1, quotients = 0, remainders = 0, shifts = 0;
    long long signedQuotients = 0, signedRemainders = 0;
    unsigned compares = 0;
    unsigned i;

    for (i = 0; i < 100; ++i) {
        unsigned long long a = nextRandom64(&state);
        unsigned long long b = nextRandom64(&state) >> (i % 61);
        long long sa = (long long)a;
        long long sb = (long long)(b | 1) * ((i & 1) ? -1 : 1);

        sum += a ^ (b << 5);
        product = product * (a | 1) + (b >> 11);
        if (b != 0) {
            quotients += a / b;
            remainders ^= a % b;
        }
        if (!(sb == -1 && sa == (long long)0x8000000000000000ull)) {
            signedQuotients += sa / sb;
            signedRemainders ^= sa % sb;
        }
        shifts += (a << (i & 63)) ^ (a >> (b & 63)) ^ (unsigned long long)(sa >> (i % 64));
        compares = compares * 3u + (unsigned)(sa < sb) + 2u * (unsigned)(a < b);
    }
    put64(out, 0, sum);
    put64(out, 1, product);
    put64(out, 2, quotients);
    put64(out, 3, remainders);
    put64(out, 4, (unsigned long long)signedQuotients);
    put64(out, 5, (unsigned long long)signedRemainders);
    put64(out, 6, shifts);
    put64(out, 7, compares);
    {
        /* divisors at and above 2^63, where long division carries out */
        volatile unsigned long long big = 0xF000000000000001ull;
        volatile unsigned long long huge = 0xFFFFFFFFFFFFFFFFull;
        volatile long long negative = -1234567890123456789ll;
        volatile long long seven = 7;
        put64(out, 8, huge / big);
        put64(out, 9, huge % big);
        put64(out, 10, (unsigned long long)(negative / seven));
        put64(out, 11, (unsigned long long)(negative % seven));
        put64(out, 12, (unsigned long long)(negative / -seven));
        put64(out, 13, (unsigned long long)(negative % -seven));
        put64(out, 14, (unsigned long long)(-negative / -seven));
        put64(out, 15, (unsigned long long)(-negative % -seven));
        put64(out, 16, (unsigned long long)(negative >> 17) ^ ((unsigned long long)negative >> 17));
        put64(out, 17, huge * huge);
    }
}
