#include "kernel/syscalls.h"

#include "core/ee_state.h"

const std::array<Handler, 256> syscallHandlers = [] {
    std::array<Handler, 256> table{};
    table.fill(opUnassigned);
    return table;
}();

const std::array<const char*, 256> syscallNames = [] {
    std::array<const char*, 256> names{};
    names.fill("SYSCALL_NI");
    return names;
}();

void syscallDispatch() { syscallHandlers[ee.gpr[kGprV1].w[0] & 0xFF](); }
