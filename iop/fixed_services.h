// Two IOP servers whose modules need no emulation: each function has a
// fixed answer.
#pragma once

#include "iop/sif_rpc.h"

// Server 0x80000601.
void fixedAnswerServer601(const RpcCall& call);

// Server 0x0B0110C5.
void fixedAnswerServerB0110C5(const RpcCall& call);
