#include "memory/guest_ram.h"

#include <cstring>

u32 readRamBlock(u32 address, void* destination, u32 size) {
    const u32 count = boundedRamSize(address, size);
    std::memcpy(destination, ramAt(address), count);
    return count;
}

u32 writeRamBlock(u32 address, const void* source, u32 size) {
    const u32 count = boundedRamSize(address, size);
    std::memcpy(ramAt(address), source, count);
    return count;
}

std::string ramString(u32 address, u32 maxLength) {
    const char* text = reinterpret_cast<const char*>(ramAt(address));
    const u32 limit = boundedRamSize(address, maxLength);
    return std::string(text, ::strnlen(text, limit));
}

std::vector<u8> ramBytesWrapping(u32 address, u32 length) {
    length = std::min(length, kRamSize);
    const u32 beforeEnd = std::min(length, ramBytesToEnd(address));
    std::vector<u8> bytes(ramAt(address), ramAt(address) + beforeEnd);
    bytes.insert(bytes.end(), memory.ram, memory.ram + (length - beforeEnd));
    return bytes;
}
