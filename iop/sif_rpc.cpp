#include "iop/sif_rpc.h"

#include "core/ee_state.h"

// No IOP server answers yet: the transfer is reported as queued (1) and
// nothing is read from the descriptors. The IOP reset, RPC bind and RPC call
// commands that these transfers carry are answered here once the IOP
// services exist.
void SYSCALL_sceSifSetDma() { ee.gpr[kGprV0].d[0] = 1; }
