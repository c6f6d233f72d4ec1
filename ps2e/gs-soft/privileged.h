// The privileged registers at 0x12000000-0x12001080, reached from the EE
// through GSread32/GSread64/GSwrite32/GSwrite64 with the full guest address.
#pragma once

#include <cstdint>

namespace gs {

inline constexpr uint32_t kPrivilegedBase = 0x12000000;
inline constexpr uint32_t kCsrAddress = 0x12001000;
inline constexpr uint32_t kImrAddress = 0x12001010;
inline constexpr uint32_t kBusdirAddress = 0x12001040;
inline constexpr uint32_t kSiglblidAddress = 0x12001080;

// CSR as the guest reads it.
inline constexpr uint64_t kCsrSignal = 1u << 0;
inline constexpr uint64_t kCsrFinish = 1u << 1;
inline constexpr uint64_t kCsrEventBits = 0x1F;  // SIGNAL, FINISH, HSINT, VSINT, EDWINT
inline constexpr uint64_t kCsrReset = 1u << 9;
// The FIFO field reads "empty", and the revision and id fields identify the
// GS revision this plugin answers as.
inline constexpr uint64_t kCsrFifoEmpty = 1u << 14;
inline constexpr uint64_t kCsrRevision = 0x1B;
inline constexpr uint64_t kCsrId = 0x55;

// `bytes` is 4 or 8: a 32-bit write at address + 4 is the upper half.
void writePrivileged(uint32_t address, uint64_t value, unsigned bytes);
uint64_t readPrivileged(uint32_t address, unsigned bytes);

}  // namespace gs
