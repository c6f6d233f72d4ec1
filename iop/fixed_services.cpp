#include "iop/fixed_services.h"

void fixedAnswerServer601(const RpcCall& call) {
    switch (call.function()) {
        case 14: call.answer(call.sendWord(1) == 1 ? 1 : 0); break;
        case 16: call.answer(call.sendWord(1)); break;
        case 17:
        case 18:
        case 256:
        case 257:
        case 0x5005: call.answer(1); break;
        default: rpcUnanswered(call); break;
    }
}

// Functions 1 and 3-8 are left unanswered; every number not listed,
// negative ones included, answers -1.
void fixedAnswerServerB0110C5(const RpcCall& call) {
    const s32 function = static_cast<s32>(call.function());
    if (function == 2) {
        call.answer(1);
    } else if (function == 9 || function == 16) {
        call.answer(0);
    } else if (function == 1 || (function >= 3 && function <= 8)) {
        return;
    } else {
        call.answer(static_cast<u32>(-1));
    }
}
