/* Sorting: an insertion sort of unsigned values and a Shell sort of
   signed ones, folded into checksums. */
#include "workloads.h"

enum { kCount = 96 };

static unsigned nextRandom(unsigned *state)
{
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

static void insertionSort(unsigned *values, unsigned count)
{
    unsigned i, j;
    for (i = 1; i < count; ++i) {
        unsigned value = values[i];
        for (j = i; j > 0 && values[j - 1] > value; --j)
            values[j] = values[j - 1];
        values[j] = value;
    }
}

static void shellSort(int *values, unsigned count)
{
    unsigned gap, i, j;
    for (gap = count / 2; gap > 0; gap /= 2) {
        for (i = gap; i < count; ++i) {
            int value = values[i];
            for (j = i; j >= gap && values[j - gap] > value; j -= gap)
                values[j] = values[j - gap];
            values[j] = value;
        }
    }
}

void sortWorkload(unsigned *out)
{
    unsigned values[kCount];
    int signedValues[kCount];
    unsigned state = 2463534242u;
    unsigned i, sum = 0, signedSum = 0, ordered = 1;

    for (i = 0; i < kCount; ++i) {
        values[i] = nextRandom(&state) % 100000u;
        signedValues[i] = (int)nextRandom(&state) / 1000;
    }
    insertionSort(values, kCount);
    shellSort(signedValues, kCount);
    for (i = 0; i < kCount; ++i) {
        sum = sum * 31u + values[i];
        signedSum = signedSum * 37u + (unsigned)signedValues[i];
        if (i > 0 && (values[i - 1] > values[i] || signedValues[i - 1] > signedValues[i]))
            ordered = 0;
    }
    out[0] = sum;
    out[1] = signedSum;
    out[2] = ordered;
}
