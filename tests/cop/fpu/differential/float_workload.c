/* Single-precision sums, products, quotients, square roots, conversions and
   compares, on values from an integer generator. Both compilers round every
   operation on its own (no contraction) and the host computes in single
   precision (SSE), so each step must give the same bits on both sides.
   Two habits of the guest compiler shape the code: it converts float
   constants by truncation, as the EE's own arithmetic would round, so every
   constant here is exact in single precision (hexadecimal where that is
   clearer); and it assumes the EE has no NaNs, turning a negated compare
   into its reverse, so only finite operands reach the compares. */
#include "float_workload.h"

enum { kValueCount = 64, kSampleCount = 8 };

typedef union {
    float f;
    unsigned u;
} FloatBits;

static unsigned bitsOf(float value)
{
    FloatBits bits;
    bits.f = value;
    return bits.u;
}

static unsigned nextRandom(unsigned *state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state;
}

static float squareRoot(float x)
{
#if defined(__mips__)
    /* SQRT.S $f4, $f2. The EE reads the operand from the ft field; the
       assembler's sqrt.s would place it in fs, so the word is written out. */
    register float in __asm__("$f2") = x;
    register float out __asm__("$f4");
    __asm__(".word 0x46020104" : "=f"(out) : "f"(in));
    return out;
#else
    return __builtin_sqrtf(x);
#endif
}

static float magnitude(float x) { return x < 0.0f ? -x : x; }

/* Words 0..7: running results over all values. */
static void accumulate(const float *values, unsigned *out)
{
    float sum = 0.0f, product = 1.0f, quotients = 0.0f, roots = 0.0f;
    int truncated = 0;
    unsigned less = 0, lessEqual = 0, integral = 0;
    for (int i = 0; i < kValueCount; ++i) {
        const float a = values[i];
        const float b = values[(i * 7 + 3) % kValueCount];
        sum += a;
        product *= 1.0f + a / 3000000.0f;
        if (b != 0.0f) quotients += a / b;
        roots += squareRoot(magnitude(a));
        truncated += (int)(a * 0.75f);
        less += a < b;
        lessEqual += a <= values[i ^ 1];
        integral += (float)(int)a == a;
    }
    out[0] = bitsOf(sum);
    out[1] = bitsOf(product);
    out[2] = bitsOf(quotients);
    out[3] = bitsOf(roots);
    out[4] = (unsigned)truncated;
    out[5] = less;
    out[6] = lessEqual;
    out[7] = integral;
}

/* Words 8..31: a polynomial by Horner's rule, a Newton reciprocal and a
   hypotenuse on a few samples. */
static void evaluate(const float *values, unsigned *out)
{
    for (int i = 0; i < kSampleCount; ++i) {
        const float x = values[i] / 32768.0f;
        out[8 + i] = bitsOf(((0.125f * x - 0.5f) * x + 1.1875f) * x - 3.3125f);

        const float d = magnitude(values[i + kSampleCount]) + 1.0f;
        float r = 0x1p-23f; /* below 2/d for every d here (d < 2^24): it converges */
        for (int step = 0; step < 24; ++step) r = r * (2.0f - d * r);
        out[16 + i] = bitsOf(r);

        const float a = values[i + 2 * kSampleCount], b = values[i + 3 * kSampleCount];
        out[24 + i] = bitsOf(squareRoot(a * a + b * b));
    }
}

/* Words 32..47: the edges: overflow to infinity, denormal results, integer
   conversions that round, and truncation of large values. */
static void edges(volatile float *scratch, unsigned *out)
{
    scratch[0] = 0x1.2p127f;
    scratch[1] = 0x1.8p-126f;
    scratch[2] = 7.0f;
    out[32] = bitsOf(scratch[0] * 10.0f);
    out[33] = bitsOf(-scratch[0] - scratch[0]);
    out[34] = bitsOf(scratch[1] / 1000.0f);
    out[35] = bitsOf(scratch[1] * 0x1.4p-17f);
    out[36] = bitsOf(scratch[1] / scratch[2]);
    out[37] = bitsOf(squareRoot(scratch[1] * 0x1p-23f));

    volatile int integers[4] = {0x7FFFFFFF, (int)0x80000001u, 16777217, -16777219};
    volatile unsigned large = 0xFFFFFF7Fu;
    for (int i = 0; i < 4; ++i) out[38 + i] = bitsOf((float)integers[i]);
    out[42] = bitsOf((float)large);

    volatile float big[4] = {2.0e9f, -2.1e9f, -0x1.ffep-1f, 8388607.5f};
    for (int i = 0; i < 4; ++i) out[43 + i] = (unsigned)(int)big[i];
    out[47] = bitsOf(squareRoot(scratch[2]) * squareRoot(scratch[2]));
}

void floatWorkload(unsigned *out)
{
    float values[kValueCount];
    unsigned state = 20240611u;
    for (int i = 0; i < kValueCount; ++i) {
        const int raw = (int)nextRandom(&state);
        values[i] = (i & 1) ? (float)(raw >> 8) / 3.0f : (float)raw / 65536.0f;
    }
    volatile float scratch[3];
    accumulate(values, out);
    evaluate(values, out);
    edges(scratch, out);
}
