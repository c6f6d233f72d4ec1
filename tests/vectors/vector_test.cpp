// Runs every row of every instruction vector file as guest code and checks
// the results: each row starts from the machine as the program loader left
// it, with GPRs 1..31 primed to kPattern (so that a write to the wrong part
// of a register shows), the data area and VU0 data memory cleared, then the
// file's @before inputs and the row's own. After the run every value the
// row expects must be there, and every register and data quadword it does
// not name must be as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <string>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "memory/guest_ram.h"
#include "support/guest_machine.h"
#include "vector_file.h"
#include "vector_machine.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"

namespace {

constexpr Reg128 kPattern = {.d = {0xDEADBEEFCAFEF00D, 0x0123456789ABCDEF}};
constexpr unsigned kDataAreaSize = 256;
constexpr unsigned kVu0DataSize = 0x1000;
constexpr u64 kRowCycleLimit = 10'000;

bool isSingleNaN(const u8* bytes) {
    u32 bits;
    std::memcpy(&bits, bytes, 4);
    return (bits & 0x7FFFFFFF) > 0x7F800000;
}

// The machine as the loader left it, restored before each row.
struct Baseline {
    EeCpuState ee;
    FpuState fpu;
    Cop0State cop0;
    VuState vu0;
    u32 vuRandomState;
};

Baseline takeBaseline() { return {ee, fpu, cop0, vu0, vuRandomState}; }

void restore(const Baseline& base, u8* dataArea) {
    ee = base.ee;
    fpu = base.fpu;
    cop0 = base.cop0;
    vu0 = base.vu0;
    vuRandomState = base.vuRandomState;
    for (unsigned i = 1; i < 32; ++i) ee.gpr[i] = kPattern;
    std::memset(dataArea, 0, kDataAreaSize);
    std::memset(vu0.dataMem, 0, kVu0DataSize);
}

// Every field a row may change, by its storage, with its bytes before the run.
struct Snapshot {
    struct Entry {
        std::string name;
        unsigned size;
        std::array<u8, 16> before;
    };
    std::map<const u8*, Entry> entries;

    void add(const std::string& name, const u8* bytes, unsigned size) {
        Entry entry{name, size, {}};
        std::memcpy(entry.before.data(), bytes, size);
        entries[bytes] = entry;
    }
};

std::string quadwordName(const char* window, unsigned offset) {
    std::string name = window;
    name.append("[").append(std::to_string(offset)).append("]");
    return name;
}

Snapshot takeSnapshot(u8* dataArea) {
    Snapshot snapshot;
    for (const MachineField& field : registerFields()) snapshot.add(field.name, field.bytes, field.size);
    for (unsigned at = 0; at < kDataAreaSize; at += 16) snapshot.add(quadwordName("", at), dataArea + at, 16);
    for (unsigned at = 0; at < kVu0DataSize; at += 16) {
        snapshot.add(quadwordName("vu0", at), vu0.dataMem + at, 16);
    }
    return snapshot;
}

// Writes the leading bytes of each value; false (with a failure) when a
// name or value is not understood.
bool applyInputs(const std::vector<VectorAssignment>& inputs, u8* dataArea, const ValueContext& context) {
    for (const VectorAssignment& input : inputs) {
        const auto field = machineField(input.name, dataArea);
        if (!field) {
            ADD_FAILURE() << "unknown name " << input.name;
            return false;
        }
        const auto value = readValue(input.value, field->size, context);
        if (!value || value->anyNaN) {
            ADD_FAILURE() << "cannot read " << input.name << "=" << input.value;
            return false;
        }
        std::memcpy(field->bytes, value->bytes, value->width);
    }
    return true;
}

void checkResults(const VectorRow& row, u8* dataArea, const ValueContext& context, Snapshot& snapshot) {
    for (const VectorAssignment& expected : row.expected) {
        const auto field = machineField(expected.name, dataArea);
        const auto value = field ? readValue(expected.value, field->size, context) : std::nullopt;
        if (!value) {
            ADD_FAILURE() << "cannot read the expected " << expected.name << "=" << expected.value;
            continue;
        }
        const auto found = snapshot.entries.find(field->bytes);
        std::array<u8, 16> want = found->second.before;
        std::memcpy(want.data(), value->bytes, value->width);
        const bool matches = value->anyNaN ? isSingleNaN(field->bytes)
                                           : std::memcmp(field->bytes, want.data(), field->size) == 0;
        EXPECT_TRUE(matches) << expected.name << " is " << formatField(field->bytes, field->size) << ", want "
                             << (value->anyNaN ? std::string("a NaN") : formatField(want.data(), field->size));
        snapshot.entries.erase(found);
    }
    for (const auto& [bytes, entry] : snapshot.entries) {
        EXPECT_TRUE(std::memcmp(bytes, entry.before.data(), entry.size) == 0)
            << entry.name << " changed from " << formatField(entry.before.data(), entry.size) << " to "
            << formatField(bytes, entry.size) << " though the row does not name it";
    }
}

class InstructionVectors : public testing::TestWithParam<const char*> {};

TEST_P(InstructionVectors, EveryRowGivesItsResults) {
    const std::string path = std::string(CORVANE_VECTOR_DIR) + "/" + GetParam() + ".vec";
    const VectorFile file = readVectorFile(path);
    ASSERT_EQ(file.error, "");
    ASSERT_TRUE(loadGuestProgram(std::string("vectors_") + GetParam()));
    ASSERT_EQ(guestWord(guestSymbol("vectorRowCount")), file.rows.size()) << "the guest program is out of date";
    const u32 rowTable = guestSymbol("vectorRows");
    const u32 dataAddress = guestSymbol("vectorData");
    u8* const dataArea = ramAt(dataAddress);
    const Baseline base = takeBaseline();

    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        const VectorRow& row = file.rows[i];
        SCOPED_TRACE(testing::Message() << path << ":" << row.line << ":\n" << row.code);
        const u32 start = guestWord(rowTable + 8 * static_cast<u32>(i));
        const ValueContext context{dataAddress, start};
        restore(base, dataArea);
        if (!applyInputs(row.defaults, dataArea, context) || !applyInputs(row.inputs, dataArea, context)) continue;
        Snapshot snapshot = takeSnapshot(dataArea);
        ee.pc = start;
        RunLimits limits;
        limits.maxCycles = kRowCycleLimit;
        limits.hasUntil = true;
        limits.until = guestWord(rowTable + 8 * static_cast<u32>(i) + 4);
        EXPECT_EQ(emuRunWithLimits(limits), StopReason::Until) << "the row did not reach its end";
        checkResults(row, dataArea, context, snapshot);
    }
}

const char* const kVectorFiles[] = {"integer", "muldiv", "loadstore", "branch", "cop0",
                                    "fpu",     "mmi",    "vu_upper",  "vu_lower", "cop2_moves"};

INSTANTIATE_TEST_SUITE_P(Files, InstructionVectors, testing::ValuesIn(kVectorFiles),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
