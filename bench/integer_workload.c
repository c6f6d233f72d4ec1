/* The integer workload of the interpreter benchmark, built both for the
   guest and for the host so the host can check the guest's answer. Only
   unsigned 32-bit arithmetic with constant shifts: the result is the same
   on both. */
#include "integer_workload.h"

static unsigned table[256];

unsigned integerWorkload(unsigned rounds) {
    unsigned state = 0x9E3779B9u;
    unsigned sum = 0;
    for (unsigned i = 0; i < 256; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        table[i] = state;
    }
    for (unsigned round = 0; round < rounds; ++round) {
        for (unsigned i = 0; i < 256; ++i) {
            unsigned value = table[i] + round;
            value ^= value >> 7;
            value += (value << 3) | (i & 15);
            if (value & 1)
                sum += value >> 2;
            else
                sum -= value & 0xFFFFu;
            table[(i * 7 + 3) & 255] = value ^ sum;
            if ((value & 0x300u) == 0x300u) sum = (sum << 1) | (sum >> 31);
        }
    }
    return sum;
}
