/* 64-bit division and remainder for guest C code. GCC calls these for
   unsigned long long / and % on this 32-bit ABI; the toolchain's own libgcc
   is built for another MIPS level and does not link, so they are written
   here as plain shift-and-subtract long division. */

typedef unsigned long long u64;
typedef long long s64;

u64 __udivmoddi4(u64 numerator, u64 denominator, u64 *remainder);
u64 __udivdi3(u64 numerator, u64 denominator);
u64 __umoddi3(u64 numerator, u64 denominator);
s64 __divdi3(s64 numerator, s64 denominator);
s64 __moddi3(s64 numerator, s64 denominator);

/* Division by zero has no defined result in C; it yields all ones and
   leaves the numerator as the remainder instead of looping. */
u64 __udivmoddi4(u64 numerator, u64 denominator, u64 *remainder)
{
    u64 quotient = 0;
    u64 rest = 0;
    int bit;

    if (denominator == 0) {
        if (remainder)
            *remainder = numerator;
        return ~0ull;
    }
    for (bit = 63; bit >= 0; --bit) {
        /* the bit shifted out of `rest` makes it at least the divisor */
        u64 carry = rest >> 63;
        rest = (rest << 1) | ((numerator >> bit) & 1);
        if (carry || rest >= denominator) {
            rest -= denominator;
            quotient |= 1ull << bit;
        }
    }
    if (remainder)
        *remainder = rest;
    return quotient;
}

u64 __udivdi3(u64 numerator, u64 denominator)
{
    return __udivmoddi4(numerator, denominator, 0);
}

u64 __umoddi3(u64 numerator, u64 denominator)
{
    u64 rest;
    __udivmoddi4(numerator, denominator, &rest);
    return rest;
}

/* Signed forms work on magnitudes: the quotient truncates toward zero and
   the remainder takes the numerator's sign, as C requires. */
static u64 magnitude(s64 value)
{
    return value < 0 ? 0 - (u64)value : (u64)value;
}

s64 __divdi3(s64 numerator, s64 denominator)
{
    u64 quotient = __udivmoddi4(magnitude(numerator), magnitude(denominator), 0);
    return (numerator < 0) != (denominator < 0) ? (s64)(0 - quotient) : (s64)quotient;
}

s64 __moddi3(s64 numerator, s64 denominator)
{
    u64 rest;
    __udivmoddi4(magnitude(numerator), magnitude(denominator), &rest);
    return numerator < 0 ? (s64)(0 - rest) : (s64)rest;
}
