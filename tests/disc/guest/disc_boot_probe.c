/* Booted from a disc image by the disc tests: proves it ran by what it
   returns (the sum 1 + 2 + ... + 100) and by the marker it leaves. */
unsigned results[2];

int main(void) {
    unsigned sum = 0;
    for (unsigned i = 1; i <= 100; ++i) sum += i;
    results[0] = sum;
    results[1] = 0xD15CB007u;
    return (int)sum;
}
