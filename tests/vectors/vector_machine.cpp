#include "vector_machine.h"

#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <vector>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"

namespace {

using u128 = unsigned __int128;

constexpr const char* kGprNames[32] = {"zero", "at", "v0", "v1", "a0", "a1", "a2", "a3", "t0", "t1", "t2",
                                       "t3",   "t4", "t5", "t6", "t7", "s0", "s1", "s2", "s3", "s4", "s5",
                                       "s6",   "s7", "t8", "t9", "k0", "k1", "gp", "sp", "fp", "ra"};

u8* bytesOf(void* object) { return static_cast<u8*>(object); }

std::vector<MachineField> buildRegisterFields() {
    static std::vector<std::string> numbered;  // storage for the generated names
    numbered.reserve(32 * 5);
    const auto name = [](const std::string& prefix, unsigned index) {
        numbered.push_back(prefix + std::to_string(index));
        return numbered.back().c_str();
    };
    std::vector<MachineField> fields;
    for (unsigned i = 0; i < 32; ++i) fields.push_back({kGprNames[i], bytesOf(&ee.gpr[i]), 16});
    fields.push_back({"hi", bytesOf(&ee.hi), 16});
    fields.push_back({"lo", bytesOf(&ee.lo), 16});
    fields.push_back({"sa", bytesOf(&ee.sa), 8});
    for (unsigned i = 0; i < 32; ++i) fields.push_back({name("f", i), bytesOf(&fpu.fpr[i]), 4});
    fields.push_back({"facc", bytesOf(&fpu.fpuAcc), 4});
    for (unsigned i = 0; i < 32; ++i) fields.push_back({name("fcr", i), bytesOf(&fpu.fcr[i]), 4});
    for (unsigned i = 0; i < 32; ++i) fields.push_back({name("cop0.", i), bytesOf(&cop0.r[i]), 4});
    for (unsigned i = 0; i < 32; ++i) fields.push_back({name("vf", i), bytesOf(&vu0.vf[i]), 16});
    fields.push_back({"vacc", bytesOf(&vu0.vuAcc), 16});
    for (unsigned i = 0; i < 32; ++i) fields.push_back({name("vi", i), bytesOf(&vu0.vi[i]), 4});
    fields.push_back({"vurandom", bytesOf(&vuRandomState), 4});
    return fields;
}

struct ControlAlias {
    const char* name;
    unsigned vi;
};
constexpr ControlAlias kControlAliases[] = {{"status", kViStatus}, {"mac", kViMac}, {"clip", kViClip},
                                            {"R", kViR},           {"I", kViI},     {"Q", kViQ}};

// `[N]` or `vu0[N]` with N a multiple of 16 below LIMIT.
std::optional<unsigned> quadwordOffset(const std::string& text, const std::string& prefix, unsigned limit) {
    if (text.size() < prefix.size() + 3 || text.compare(0, prefix.size() + 1, prefix + "[") != 0 ||
        text.back() != ']') {
        return std::nullopt;
    }
    const std::string number = text.substr(prefix.size() + 1, text.size() - prefix.size() - 2);
    char* end = nullptr;
    const unsigned long offset = std::strtoul(number.c_str(), &end, 0);
    if (end == number.c_str() || *end != '\0' || offset % 16 != 0 || offset >= limit) return std::nullopt;
    return static_cast<unsigned>(offset);
}

std::optional<u128> readNumber(std::string text, bool& wide) {
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.erase(0, 1);
    }
    if (text.empty()) return std::nullopt;
    u128 value = 0;
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
        unsigned digits = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '_') continue;
            unsigned digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return std::nullopt;
            if (++digits > 32) return std::nullopt;
            value = value << 4 | digit;
        }
        if (digits == 0) return std::nullopt;
        wide = wide || digits > 16;
    } else {
        for (const char c : text) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value >> 64) return std::nullopt;
        }
    }
    // A negative number is a 64-bit two's complement pattern.
    if (negative) value = static_cast<u64>(-static_cast<u64>(value));
    return value;
}

// One lane of `{x,y,z,w}`: a hex bit pattern or a float.
std::optional<u32> readLane(const std::string& text) {
    if (text.rfind("0x", 0) == 0) {
        bool wide = false;
        const auto value = readNumber(text, wide);
        if (!value || *value >> 32) return std::nullopt;
        return static_cast<u32>(*value);
    }
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') return std::nullopt;
    u32 bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

}  // namespace

const std::vector<MachineField>& registerFields() {
    static const std::vector<MachineField> fields = buildRegisterFields();
    return fields;
}

std::optional<MachineField> machineField(const std::string& name, u8* dataArea) {
    for (const MachineField& field : registerFields()) {
        if (name == field.name) return field;
    }
    for (const ControlAlias& alias : kControlAliases) {
        if (name == alias.name) return MachineField{alias.name, bytesOf(&vu0.vi[alias.vi]), 4};
    }
    if (const auto offset = quadwordOffset(name, "", 256)) return MachineField{"data area", dataArea + *offset, 16};
    if (const auto offset = quadwordOffset(name, "vu0", 0x1000)) {
        return MachineField{"VU0 data memory", vu0.dataMem + *offset, 16};
    }
    return std::nullopt;
}

std::optional<VectorValue> readValue(const std::string& text, unsigned size, const ValueContext& context) {
    VectorValue value;
    if (text == "nan") {
        if (size != 4) return std::nullopt;
        value.anyNaN = true;
        value.width = 4;
        return value;
    }
    if (text.front() == '{') {
        if (size != 16 || text.back() != '}') return std::nullopt;
        std::istringstream lanes(text.substr(1, text.size() - 2));
        unsigned lane = 0;
        for (std::string part; std::getline(lanes, part, ',');) {
            const auto bits = readLane(part);
            if (!bits || lane == 4) return std::nullopt;
            std::memcpy(value.bytes + 4 * lane++, &*bits, 4);
        }
        if (lane != 4) return std::nullopt;
        value.width = 16;
        return value;
    }
    u128 sum = 0;
    bool wide = false;
    std::istringstream terms(text);
    for (std::string term; std::getline(terms, term, '+');) {
        if (term == "data") {
            sum += context.dataAddress;
        } else if (term == "@") {
            sum += context.rowAddress;
        } else if (const auto number = readNumber(term, wide)) {
            sum += *number;
        } else {
            return std::nullopt;
        }
    }
    value.width = size == 16 && !wide ? 8 : size;
    if (value.width < 16 && (sum >> (8 * value.width)) != 0) {
        // Negative decimals are 64-bit patterns: narrower fields take their low bits.
        const u128 rest = sum >> (8 * value.width);
        const u128 allOnes = (u128{1} << (64 - 8 * value.width)) - 1;
        if (value.width == 8 || rest != allOnes) return std::nullopt;
    }
    std::memcpy(value.bytes, &sum, 16);
    return value;
}

std::string formatField(const u8* bytes, unsigned size) {
    std::ostringstream out;
    out << std::hex << std::uppercase;
    if (size == 16) {
        u64 low, high;
        std::memcpy(&low, bytes, 8);
        std::memcpy(&high, bytes + 8, 8);
        out << "0x" << std::setfill('0') << std::setw(16) << high << "_" << std::setw(16) << low;
    } else if (size == 8) {
        u64 value;
        std::memcpy(&value, bytes, 8);
        out << "0x" << std::setfill('0') << std::setw(16) << value;
    } else {
        u32 value;
        std::memcpy(&value, bytes, 4);
        out << "0x" << std::setfill('0') << std::setw(8) << value;
    }
    return out.str();
}
