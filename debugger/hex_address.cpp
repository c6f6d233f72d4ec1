#include "debugger/hex_address.h"

namespace {
int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

u32 parseHex8(std::string_view text) {
    u32 value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const int digit = i < text.size() ? hexDigitValue(text[i]) : -1;
        if (digit < 0) return 0;
        value = (value << 4) | static_cast<u32>(digit);
    }
    return value;
}
