/* The float workload of the interpreter benchmark: particles bouncing in a
   box, with sums, products, quotients, compares and conversions in single
   precision. Built for the guest and for the host, which checks the guest's
   answer: both round every operation on its own (no contraction), and every
   constant is exact in single precision, since the guest compiler converts
   constants by truncation. Values stay finite, as the guest compiler
   assumes for its compares. */
#include "float_workload.h"

enum { kParticles = 64 };

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

static float position[kParticles], velocity[kParticles];

unsigned floatWorkload(unsigned rounds)
{
    const float step = 0.0078125f, gravity = -9.75f, damping = 0.875f, height = 100.0f;
    unsigned seed = 0x2545F491u;
    for (int i = 0; i < kParticles; ++i) {
        seed = seed * 1664525u + 1013904223u;
        position[i] = (float)(seed >> 8) / 167773.0f;
        velocity[i] = (float)((int)seed >> 20) / 64.0f;
    }
    unsigned answer = 0;
    for (unsigned round = 0; round < rounds; ++round) {
        float energy = 0.0f;
        for (int i = 0; i < kParticles; ++i) {
            float v = velocity[i] + gravity * step;
            float p = position[i] + v * step;
            if (p < 0.0f) {
                p = -p;
                v = -v * damping;
            } else if (p > height) {
                p = height - (p - height);
                v = -v;
            }
            position[i] = p;
            velocity[i] = v;
            energy += 0.5f * v * v - gravity * p;
        }
        answer = (answer << 3 | answer >> 29) ^ bitsOf(energy / (float)(round + 1)) ^ (unsigned)(int)energy;
    }
    return answer;
}
