/* String handling: number formatting in bases 10 and 16, parsing back,
   comparison and hashing, all on local buffers. */
#include "workloads.h"

static unsigned formatNumber(char *buffer, long long value, unsigned base)
{
    static const char digits[] = "0123456789abcdef";
    char reversed[24];
    unsigned long long magnitude = value < 0 ? 0 - (unsigned long long)value : (unsigned long long)value;
    unsigned count = 0, length = 0;

    do {
        reversed[count++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude);
    if (value < 0)
        buffer[length++] = '-';
    while (count)
        buffer[length++] = reversed[--count];
    buffer[length] = 0;
    return length;
}

static long long parseNumber(const char *text)
{
    long long value = 0;
    int negative = *text == '-';
    if (negative)
        ++text;
    while (*text >= '0' && *text <= '9')
        value = value * 10 + (*text++ - '0');
    return negative ? -value : value;
}

static int compareStrings(const char *a, const char *b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (int)(unsigned char)*a - (int)(unsigned char)*b;
}

static unsigned hashString(const char *text)
{
    unsigned hash = 5381;
    while (*text)
        hash = hash * 33u + (unsigned char)*text++;
    return hash;
}

void stringWorkload(unsigned *out)
{
    char buffer[64];
    unsigned i;

    out[0] = formatNumber(buffer, -1234567890123ll, 10);
    out[1] = hashString(buffer);
    out[2] = (unsigned)parseNumber(buffer);
    out[3] = (unsigned)((unsigned long long)parseNumber(buffer) >> 32);
    out[4] = formatNumber(buffer, 0x7FEDCBA987654321ll, 16);
    out[5] = hashString(buffer);
    out[6] = (unsigned)compareStrings("apple", "apricot");
    out[7] = (unsigned)compareStrings("zebra", "zeb");
    out[8] = (unsigned)compareStrings("same", "same");
    out[9] = (unsigned)compareStrings("\xE9t\xE9", "ete");
    for (i = 0; i < 9; ++i) {
        formatNumber(buffer, (long long)(i * 987654321u) - 4000000000ll, 10);
        out[10 + i] = hashString(buffer);
    }
}
