/* A small whole program for the tests of the runner and the front ends: a
   little arithmetic, a sort and a checksum, left in v0 and in memory for
   the runner's state dump. `make run` runs the cube demo instead. */

static unsigned values[16];
volatile unsigned checksum;

int main(void) {
    unsigned seed = 12345;
    for (int i = 0; i < 16; ++i) {
        seed = seed * 1103515245u + 12345u;
        values[i] = seed >> 16;
    }
    for (int i = 1; i < 16; ++i) {
        unsigned key = values[i];
        int j = i - 1;
        while (j >= 0 && values[j] > key) {
            values[j + 1] = values[j];
            --j;
        }
        values[j + 1] = key;
    }
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) sum = sum * 31u + values[i];
    checksum = sum;
    return (int)sum;
}
