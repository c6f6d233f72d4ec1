// Loads and stores, each one bus call per access (two for the
// read-modify-write forms), at EA = rs.w0 + the sign-extended offset.
#pragma once

void opLb();
void opLh();
void opLw();
void opLbu();
void opLhu();
void opLwu();
void opLd();
void opLq();
void opLwl();
void opLwr();
void opLdl();
void opLdr();

void opSb();
void opSh();
void opSw();
void opSd();
void opSq();
void opSwl();
void opSwr();
void opSdl();
void opSdr();

void opLwc1();
void opSwc1();
void opLqc2();
void opSqc2();
