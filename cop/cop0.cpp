#include "cop/cop0.h"

#include "core/ee_state.h"

Cop0State cop0;

void opMfc0() { rtReg().d[0] = cop0.r[fieldRd()]; }
void opMtc0() { cop0.r[fieldRd()] = rtReg().w[0]; }
void opEi() { cop0.r[kCop0Status] |= kStatusEIE; }
void opDi() { cop0.r[kCop0Status] &= ~kStatusEIE; }
