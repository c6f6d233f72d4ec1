// The fields of a saved machine state: values appended little-endian to a
// byte buffer, and read back with every read checked against the bytes
// left. Both classes offer field(), so that one description of a record's
// fields serves saving and loading alike:
//
//   template <typename Io> void fieldsOf(Io& io, TimerValues& t) {
//       io.field(t.interval);
//       io.field(t.start);
//   }
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "core/types.h"

template <typename T>
concept StateScalar = std::is_arithmetic_v<T> || std::is_enum_v<T>;

class StateWriter {
public:
    void bytes(const void* data, size_t size) {
        const u8* at = static_cast<const u8*>(data);
        out_.insert(out_.end(), at, at + size);
    }

    // The host is little-endian, as the file is.
    template <StateScalar T>
    void field(const T& value) {
        bytes(&value, sizeof value);
    }

    template <typename T, size_t n>
    void field(const std::array<T, n>& values) {
        for (const T& value : values) field(value);
    }

    template <typename T, size_t n>
    void field(const T (&values)[n]) {
        for (const T& value : values) field(value);
    }

    void text(const std::string& value, size_t) {
        field(static_cast<u32>(value.size()));
        bytes(value.data(), value.size());
    }

    const std::vector<u8>& data() const { return out_; }
    std::vector<u8>& data() { return out_; }

private:
    std::vector<u8> out_;
};

class StateReader {
public:
    StateReader(const u8* data, size_t size) : at_(data), left_(size) {}
    explicit StateReader(const std::vector<u8>& data) : StateReader(data.data(), data.size()) {}

    // False, with nothing copied, when fewer than `size` bytes are left;
    // every later read fails too.
    bool bytes(void* destination, size_t size) {
        if (failed_ || size > left_) {
            failed_ = true;
            std::memset(destination, 0, size);
            return false;
        }
        std::memcpy(destination, at_, size);
        at_ += size;
        left_ -= size;
        return true;
    }

    template <StateScalar T>
    void field(T& value) {
        bytes(&value, sizeof value);
    }

    template <typename T, size_t n>
    void field(std::array<T, n>& values) {
        for (T& value : values) field(value);
    }

    template <typename T, size_t n>
    void field(T (&values)[n]) {
        for (T& value : values) field(value);
    }

    // A text longer than `maxSize` fails the read.
    void text(std::string& value, size_t maxSize) {
        u32 size = 0;
        field(size);
        if (size > maxSize || size > left_) {
            failed_ = true;
            return;
        }
        value.assign(reinterpret_cast<const char*>(at_), size);
        at_ += size;
        left_ -= size;
    }

    // Marks the data as unusable: a value read is out of its range.
    void reject() { failed_ = true; }
    void require(bool condition) {
        if (!condition) failed_ = true;
    }

    bool failed() const { return failed_; }
    size_t left() const { return left_; }

private:
    const u8* at_;
    size_t left_;
    bool failed_ = false;
};
