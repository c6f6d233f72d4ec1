// What every fuzz target shares: the machine brought up once without a GS,
// PAD or SPU2 plugin and with the in-memory CDVD, a small work budget so
// that an input that would run long is cut within milliseconds, a host root
// of its own, and a few readers of the fuzz input.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "core/types.h"

// Brings the machine up on the first call; later calls do nothing.
void fuzzMachineUp();

// Serves `size` bytes as the disc, from logical sector `firstSector` on.
void fuzzServeDisc(const u8* bytes, std::size_t size, u32 firstSector);

// The disc images the targets build take sectors from 16 on: the system
// area before them is all zeros and not part of the input.
inline constexpr u32 kFuzzDiscFirstSector = 16;

// A disc with one file in its root folder, `name` (such as "DATA.SJD;1")
// holding `bytes`: the descriptors, the root folder and the file, from
// sector 16 on.
std::vector<u8> fuzzOneFileDisc(const std::string& name, const u8* bytes, std::size_t size);

// The IOP heap (the low 2 MB of guest RAM) as it was when the machine came
// up, so that each input starts from the same heap, with no archive table.
void fuzzRestoreIopMemory();

// Takes values from the front of a fuzz input; past its end they read 0.
class FuzzInput {
public:
    FuzzInput(const u8* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take() {
        T value{};
        const std::size_t count = sizeof(T) < size_ ? sizeof(T) : size_;
        if (count == 0) return value;
        std::memcpy(&value, data_, count);
        data_ += count;
        size_ -= count;
        return value;
    }

    const u8* rest() const { return data_; }
    std::size_t restSize() const { return size_; }

private:
    const u8* data_;
    std::size_t size_;
};
