#include "kernel/syscalls.h"

#include <cstring>

#include "cop/cop0.h"
#include "core/diagnostics.h"
#include "core/ee_state.h"
#include "core/machine_calls.h"
#include "devices/hw_registers.h"
#include "iop/sif_rpc.h"
#include "kernel/alarms.h"
#include "kernel/call_registers.h"
#include "kernel/objects.h"
#include "kernel/scheduler.h"
#include "kernel/semaphores.h"
#include "kernel/threads.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"
#include "memory/host_access.h"

KernelCallState kernelCalls;

void kernelCallsPowerOn() { kernelCalls = KernelCallState{}; }

namespace {

constexpr u32 kIntcMaskAddress = kHwStart + kHwIntcMask;
constexpr u32 kDStatAddress = kHwStart + kHwDStat;
constexpr u32 kSif0Chcr = kHwStart + dmaRegisterOffset(kDmaSif0, DmaRegister::Chcr);
constexpr u32 kSif0Qwc = kHwStart + dmaRegisterOffset(kDmaSif0, DmaRegister::Qwc);
constexpr u32 kSif0ChainStart = 0x184;  // STR, TIE and chain mode
constexpr u32 kSif0ChainStartNoTie = 0x84;

// The GS privileged registers that SetGsCrt programs.
constexpr u32 kGsSmode1 = 0x12000010;
constexpr u32 kGsSmode2 = 0x12000020;
constexpr u32 kGsSrfsh = 0x12000030;
constexpr u32 kGsSynch1 = 0x12000040;
constexpr u32 kGsSynch2 = 0x12000050;
constexpr u32 kGsSyncv = 0x12000060;
constexpr u32 kGsImr = 0x12001010;

// The kernel's display-mode bookkeeping that SetGsCrt touches.
constexpr u32 kRamCrtByte = 0x2F344;
constexpr u32 kRomCrtHalfword0 = 0x1470;
constexpr u32 kRomCrtHalfword1 = 0x1472;

constexpr u32 kSifReg4Toggle = 0x40000;  // bit 18
constexpr u32 kSifReg4Ready = 0x20000;   // bit 17, always reported set

u32 stackPointer() { return ee.gpr[kGprSp].w[0]; }

void writeGsRegister(u32 address, u64 value) {
    memWrite64(static_cast<u32>(value), static_cast<u32>(value >> 32), address);
}

// A cause past bit 31 of INTC_MASK, or a channel whose mask bit would fall
// past bit 31 of D_STAT, names no bit: the calls below change nothing for
// it and answer 0, as for a bit that is already in the wanted state.
u32 intcCauseBit(u32 cause) { return cause < 32 ? 1u << cause : 0; }
u32 dmacMaskBit(u32 channel) { return channel < 16 ? 0x10000u << channel : 0; }

u32 readCop0(u32 index) { return index < 32 ? cop0.r[index] : 0; }

}  // namespace

// The program ends: the run stops, with a0 as the exit code.
void SYSCALL_Exit() { endRun(KernelEnd::Exit, static_cast<s32>(argA0())); }

// The CRT set-up: the display registers are written in the order the
// console's kernel writes them, SMODE1 twice around the rest.
void SYSCALL_SetGsCrt() {
    const bool interlace = argA0Full() != 0;
    setRamByte(kRamCrtByte, 0);
    writeGsRegister(kGsSmode1, 0x0000000740834504);
    writeGsRegister(kGsSynch1, 0x0007F5B61F06F040);
    writeGsRegister(kGsSynch2, 0x000000000033A4D8);
    writeGsRegister(kGsSyncv, interlace ? 0x00C7800601A01801 : 0x00C7800601A01802);
    writeGsRegister(kGsSmode2, interlace ? 1 : 0);
    writeGsRegister(kGsSrfsh, 8);
    writeGsRegister(kGsSmode1, 0x0000000740814504);
    hostStore<u16>(memory.rom + kRomCrtHalfword0, 0);
    hostStore<u16>(memory.rom + kRomCrtHalfword1, 1);
}

// INTC_MASK toggles the bits written to it, so writing a clear bit sets it.
// A newly unmasked cause may already be pending: deliver at once.
void SYSCALL__EnableIntc() {
    const u32 bit = intcCauseBit(argA0());
    if (bit == 0 || (memRead32(kIntcMaskAddress) & bit) != 0) {
        returnValue64(0);
        return;
    }
    memWrite32(bit, kIntcMaskAddress);
    returnValue64(1);
    deliverInterrupts();
}

void SYSCALL__DisableIntc() {
    const u32 bit = intcCauseBit(argA0());
    if ((memRead32(kIntcMaskAddress) & bit) == 0) {
        returnValue64(0);
        return;
    }
    memWrite32(bit, kIntcMaskAddress);
    returnValue64(1);
}

// The DMAC mask bits are the upper half of D_STAT, which toggles them on a
// write as INTC_MASK does.
void SYSCALL__EnableDmac() {
    const u32 bit = dmacMaskBit(argA0());
    if (bit == 0 || (memRead32(kDStatAddress) & bit) != 0) {
        returnValue64(0);
        return;
    }
    memWrite32(bit, kDStatAddress);
    returnValue64(1);
}

void SYSCALL__DisableDmac() {
    const u32 bit = dmacMaskBit(argA0());
    if ((memRead32(kDStatAddress) & bit) == 0) {
        returnValue64(0);
        return;
    }
    memWrite32(bit, kDStatAddress);
    returnValue64(1);
}

void SYSCALL_RFU060() { returnValue64(ee.gpr[kGprSp].d[0]); }

void SYSCALL_RFU061() { returnValue64(argA0Full() + argA1Full()); }

void SYSCALL_EndOfHeap() { returnUnsigned32(0x80000000); }

void SYSCALL_RFU063() { returnUnsigned32(readCop0(argA0())); }

// These two change the D_STAT mask bit in the register block itself,
// without the write rules of a guest store.
void SYSCALL_EnableDmacHandler() {
    const u32 bit = dmacMaskBit(argA0());
    u8* dStat = memory.hw + kHwDStat;
    const u32 value = hostLoad<u32>(dStat);
    if (bit == 0 || (value & bit) != 0) {
        returnValue64(0);
        return;
    }
    hostStore<u32>(dStat, value | bit);
    returnValue64(1);
}

void SYSCALL_DisableDmacHandler() {
    const u32 bit = dmacMaskBit(argA0());
    u8* dStat = memory.hw + kHwDStat;
    const u32 value = hostLoad<u32>(dStat);
    if ((value & bit) == 0) {
        returnValue64(0);
        return;
    }
    hostStore<u32>(dStat, value & ~bit);
    returnValue64(1);
}

void SYSCALL_GsGetIMR() { returnValue64(memRead64(kGsImr)); }

void SYSCALL_GsPutIMR() { writeGsRegister(kGsImr, argA0Full()); }

// Every SIF transfer has finished by the time the guest asks.
void SYSCALL_sceSifDmaStat() { returnSigned32(0xFFFFFFFF); }

// Starts SIF0 in chain mode and leaves the control value it reads back in
// the word 16 bytes below sp.
void SYSCALL_sceSifSetDChain() {
    memWrite32(kSif0ChainStart, kSif0Chcr);
    memWrite32(memRead32(kSif0Chcr), stackPointer() - 16);
}

void SYSCALL_isceSifSetDChain() {
    memWrite32(0, kSif0Qwc);
    memWrite32(kSif0ChainStart, kSif0Chcr);
    memWrite32(kSif0ChainStartNoTie, stackPointer() - 16);
}

// Register 4 is kept; the two command-flag registers make the kernel mark
// the guest's request done by storing 1 at the address that the guest's
// record holds at offset 0x1C. Other registers are ignored.
void SYSCALL_sceSifSetReg() {
    const u32 reg = argA0();
    if (reg == 4) {
        kernelCalls.sifReg4 = argA1();
    } else if (reg == 0x80000001 || reg == 0x08000001) {
        memWrite32(1, memRead32(argA1() + 0x1C));
    }
}

// Reading register 4 alternates bit 18 between 0 and 1, so a guest polling
// for the IOP's answer sees it change.
void SYSCALL_sceSifGetReg() {
    const u32 reg = argA0();
    if (reg == 4) {
        returnUnsigned32((kernelCalls.sifReg4 & ~kSifReg4Toggle) | kSifReg4Ready | kernelCalls.sifToggle);
        kernelCalls.sifToggle ^= kSifReg4Toggle;
    } else if (reg == 0x80000000 || reg == 0x80000002 || reg == 0x08000000) {
        returnValue64(0);
    } else {
        returnUnsigned32(0x60000);
    }
}

// Debug-channel calls answer as a host with no debugger attached. Call 3
// without a registered buffer has nothing to clear and only answers 1.
void SYSCALL_Deci2Call() {
    const s32 call = static_cast<s32>(argA0());
    Deci2Registration& deci2 = kernelCalls.deci2;
    switch (call) {
    case 1:
        deci2.buffer = memRead32(argA1() + 4);
        deci2.extra = memRead32(argA1() + 8);
        deci2.registered = 1;
        returnValue64(1);
        return;
    case 3:
        if (deci2.registered) memWrite32(0, deci2.buffer + 12);
        returnValue64(1);
        return;
    case -6:
    case 2:
    case 4:
    case 16:
        returnValue64(1);
        return;
    default:
        return;
    }
}

namespace {

struct SyscallEntry {
    unsigned number;
    Handler handler;
    const char* name;
};

// Every number the console's kernel names, with its service or the shared
// no-op; numbers missing from this list are free ("SYSCALL_NI").
//
// The interrupt-context variants have two numbers each. Programs built with
// the SDK call them with negative numbers (iSignalSema is -67), which the
// low byte turns into 256 - n (189). The console's kernel negates a negative
// number and looks it up in its own table, where the variant sits at n
// itself, just past its plain call (SignalSema 66, iSignalSema 67), so code
// that calls SYSCALL with 67 gets iSignalSema too. Both numbers share one
// service here; the interrupt-mask variants stay no-ops under both.
constexpr std::array kSyscallEntries = {
    SyscallEntry{0, opUnassigned, "SYSCALL_RFU000_FullReset"},
    SyscallEntry{1, opUnassigned, "SYSCALL_ResetEE"},
    SyscallEntry{2, SYSCALL_SetGsCrt, "SYSCALL_SetGsCrt"},
    SyscallEntry{3, opUnassigned, "SYSCALL_RFU003"},
    SyscallEntry{4, SYSCALL_Exit, "SYSCALL_Exit"},
    SyscallEntry{5, opUnassigned, "SYSCALL_RFU005"},
    SyscallEntry{6, opUnassigned, "SYSCALL_LoadPS2Exe"},
    SyscallEntry{7, opUnassigned, "SYSCALL_ExecPS2"},
    SyscallEntry{8, opUnassigned, "SYSCALL_RFU008"},
    SyscallEntry{9, opUnassigned, "SYSCALL_RFU009"},
    SyscallEntry{10, opUnassigned, "SYSCALL_AddSbusIntcHandler"},
    SyscallEntry{11, opUnassigned, "SYSCALL_RemoveSbusIntcHandler"},
    SyscallEntry{12, opUnassigned, "SYSCALL_Interrupt2Iop"},
    SyscallEntry{13, opUnassigned, "SYSCALL_SetVTLBRefillHandler"},
    SyscallEntry{14, opUnassigned, "SYSCALL_SetVCommonHandler"},
    SyscallEntry{15, opUnassigned, "SYSCALL_SetVInterruptHandler"},
    SyscallEntry{16, SYSCALL_AddIntcHandler, "SYSCALL_AddIntcHandler"},
    SyscallEntry{17, SYSCALL_RemoveIntcHandler, "SYSCALL_RemoveIntcHandler"},
    SyscallEntry{18, SYSCALL_AddDmacHandler, "SYSCALL_AddDmacHandler"},
    SyscallEntry{19, SYSCALL_RemoveDmacHandler, "SYSCALL_RemoveDmacHandler"},
    SyscallEntry{20, SYSCALL__EnableIntc, "SYSCALL__EnableIntc"},
    SyscallEntry{21, SYSCALL__DisableIntc, "SYSCALL__DisableIntc"},
    SyscallEntry{22, SYSCALL__EnableDmac, "SYSCALL__EnableDmac"},
    SyscallEntry{23, SYSCALL__DisableDmac, "SYSCALL__DisableDmac"},
    SyscallEntry{24, SYSCALL_SetAlarm, "SYSCALL__SetAlarm"},
    SyscallEntry{25, SYSCALL_ReleaseAlarm, "SYSCALL__ReleaseAlarm"},
    SyscallEntry{26, opUnassigned, "SYSCALL__iEnableIntc"},
    SyscallEntry{27, opUnassigned, "SYSCALL__iDisableIntc"},
    SyscallEntry{28, opUnassigned, "SYSCALL__iEnableDmac"},
    SyscallEntry{29, opUnassigned, "SYSCALL__iDisableDmac"},
    SyscallEntry{30, SYSCALL_SetAlarm, "SYSCALL__iSetAlarm"},
    SyscallEntry{31, SYSCALL_ReleaseAlarm, "SYSCALL__iReleaseAlarm"},
    SyscallEntry{32, SYSCALL_CreateThread, "SYSCALL_CreateThread"},
    SyscallEntry{33, SYSCALL_DeleteThread, "SYSCALL_DeleteThread"},
    SyscallEntry{34, SYSCALL_StartThread, "SYSCALL_StartThread"},
    SyscallEntry{35, SYSCALL_ExitThread, "SYSCALL_ExitThread"},
    SyscallEntry{36, SYSCALL_ExitDeleteThread, "SYSCALL_ExitDeleteThread"},
    SyscallEntry{37, SYSCALL_TerminateThread, "SYSCALL_TerminateThread"},
    SyscallEntry{38, SYSCALL_TerminateThread, "SYSCALL_iTerminateThread"},
    SyscallEntry{39, SYSCALL_DisableDispatchThread, "SYSCALL_DisableDispatchThread"},
    SyscallEntry{40, SYSCALL_EnableDispatchThread, "SYSCALL_EnableDispatchThread"},
    SyscallEntry{41, SYSCALL_ChangeThreadPriority, "SYSCALL_ChangeThreadPriority"},
    SyscallEntry{42, SYSCALL_ChangeThreadPriority, "SYSCALL_iChangeThreadPriority"},
    SyscallEntry{43, SYSCALL_RotateThreadReadyQueue, "SYSCALL_RotateThreadReadyQueue"},
    SyscallEntry{44, SYSCALL_RotateThreadReadyQueue, "SYSCALL_iRotateThreadReadyQueue"},
    SyscallEntry{45, SYSCALL_ReleaseWaitThread, "SYSCALL_ReleaseWaitThread"},
    SyscallEntry{46, SYSCALL_ReleaseWaitThread, "SYSCALL_iReleaseWaitThread"},
    SyscallEntry{47, SYSCALL_GetThreadId, "SYSCALL_GetThreadId"},
    SyscallEntry{48, SYSCALL_ReferThreadStatus, "SYSCALL_ReferThreadStatus"},
    SyscallEntry{49, SYSCALL_ReferThreadStatus, "SYSCALL_iReferThreadStatus"},
    SyscallEntry{50, SYSCALL_SleepThread, "SYSCALL_SleepThread"},
    SyscallEntry{51, SYSCALL_WakeupThread, "SYSCALL_WakeupThread"},
    SyscallEntry{52, SYSCALL_WakeupThread, "SYSCALL_iWakeupThread"},
    SyscallEntry{53, SYSCALL_CancelWakeupThread, "SYSCALL_CancelWakeupThread"},
    SyscallEntry{54, SYSCALL_CancelWakeupThread, "SYSCALL_iCancelWakeupThread"},
    SyscallEntry{55, SYSCALL_SuspendThread, "SYSCALL_SuspendThread"},
    SyscallEntry{56, SYSCALL_SuspendThread, "SYSCALL_iSuspendThread"},
    SyscallEntry{57, SYSCALL_ResumeThread, "SYSCALL_ResumeThread"},
    SyscallEntry{58, SYSCALL_ResumeThread, "SYSCALL_iResumeThread"},
    SyscallEntry{59, opUnassigned, "SYSCALL_JoinThread"},
    SyscallEntry{60, SYSCALL_RFU060, "SYSCALL_RFU060"},
    SyscallEntry{61, SYSCALL_RFU061, "SYSCALL_RFU061"},
    SyscallEntry{62, SYSCALL_EndOfHeap, "SYSCALL_EndOfHeap"},
    SyscallEntry{63, SYSCALL_RFU063, "SYSCALL_RFU063"},
    SyscallEntry{64, SYSCALL_CreateSema, "SYSCALL_CreateSema"},
    SyscallEntry{65, SYSCALL_DeleteSema, "SYSCALL_DeleteSema"},
    SyscallEntry{66, SYSCALL_SignalSema, "SYSCALL_SignalSema"},
    SyscallEntry{67, SYSCALL_SignalSema, "SYSCALL_iSignalSema"},
    SyscallEntry{68, SYSCALL_WaitSema, "SYSCALL_WaitSema"},
    SyscallEntry{69, SYSCALL_PollSema, "SYSCALL_PollSema"},
    SyscallEntry{70, SYSCALL_PollSema, "SYSCALL_iPollSema"},
    SyscallEntry{71, SYSCALL_ReferSemaStatus, "SYSCALL_ReferSemaStatus"},
    SyscallEntry{72, SYSCALL_ReferSemaStatus, "SYSCALL_iReferSemaStatus"},
    SyscallEntry{73, SYSCALL_DeleteSema, "SYSCALL_iDeleteSema"},
    SyscallEntry{74, opUnassigned, "SYSCALL_SetOsdConfigParam"},
    SyscallEntry{75, opUnassigned, "SYSCALL_GetOsdConfigParam"},
    SyscallEntry{76, opUnassigned, "SYSCALL_GetGsHParam"},
    SyscallEntry{77, opUnassigned, "SYSCALL_GetGsVParam"},
    SyscallEntry{78, opUnassigned, "SYSCALL_SetGsHParam"},
    SyscallEntry{79, opUnassigned, "SYSCALL_SetGsVParam"},
    SyscallEntry{80, opUnassigned, "SYSCALL_RFU080_CreateEventFlag"},
    SyscallEntry{81, opUnassigned, "SYSCALL_RFU081_DeleteEventFlag"},
    SyscallEntry{82, opUnassigned, "SYSCALL_RFU082_SetEventFlag"},
    SyscallEntry{83, opUnassigned, "SYSCALL_RFU083_iSetEventFlag"},
    SyscallEntry{84, opUnassigned, "SYSCALL_RFU084_ClearEventFlag"},
    SyscallEntry{85, opUnassigned, "SYSCALL_RFU085_iClearEventFlag"},
    SyscallEntry{86, opUnassigned, "SYSCALL_RFU086_WaitEvnetFlag"},
    SyscallEntry{87, opUnassigned, "SYSCALL_RFU087_PollEvnetFlag"},
    SyscallEntry{88, opUnassigned, "SYSCALL_RFU088_iPollEvnetFlag"},
    SyscallEntry{89, opUnassigned, "SYSCALL_RFU089_ReferEventFlagStatus"},
    SyscallEntry{91, opUnassigned, "SYSCALL_RFU091"},
    SyscallEntry{92, opUnassigned, "SYSCALL_EnableIntcHandler"},
    SyscallEntry{93, opUnassigned, "SYSCALL_DisableIntcHandler"},
    SyscallEntry{94, SYSCALL_EnableDmacHandler, "SYSCALL_EnableDmacHandler"},
    SyscallEntry{95, SYSCALL_DisableDmacHandler, "SYSCALL_DisableDmacHandler"},
    SyscallEntry{96, opUnassigned, "SYSCALL_KSeg0"},
    SyscallEntry{97, opUnassigned, "SYSCALL_EnableCache"},
    SyscallEntry{98, opUnassigned, "SYSCALL_DisableCache"},
    SyscallEntry{99, SYSCALL_RFU063, "SYSCALL_GetCop0"},
    SyscallEntry{100, opUnassigned, "SYSCALL_FlushCache"},
    SyscallEntry{102, opUnassigned, "SYSCALL_CpuConfig"},
    SyscallEntry{107, opUnassigned, "SYSCALL_sceSifStopDma"},
    SyscallEntry{108, opUnassigned, "SYSCALL_SetCPUTimerHandler"},
    SyscallEntry{109, opUnassigned, "SYSCALL_SetCPUTimer"},
    SyscallEntry{110, opUnassigned, "SYSCALL_ForceRead"},
    SyscallEntry{111, opUnassigned, "SYSCALL_ForceWrite"},
    SyscallEntry{112, SYSCALL_GsGetIMR, "SYSCALL_GsGetIMR"},
    SyscallEntry{113, SYSCALL_GsPutIMR, "SYSCALL_GsPutIMR"},
    SyscallEntry{114, opUnassigned, "SYSCALL_SetPgifHandler"},
    SyscallEntry{115, opUnassigned, "SYSCALL_SetVSyncFlag"},
    SyscallEntry{116, opUnassigned, "SYSCALL_RFU116"},
    SyscallEntry{117, opUnassigned, "SYSCALL_print"},
    SyscallEntry{118, SYSCALL_sceSifDmaStat, "SYSCALL_sceSifDmaStat"},
    SyscallEntry{119, SYSCALL_sceSifSetDma, "SYSCALL_sceSifSetDma"},
    SyscallEntry{120, SYSCALL_sceSifSetDChain, "SYSCALL_sceSifSetDChain"},
    SyscallEntry{121, SYSCALL_sceSifSetReg, "SYSCALL_sceSifSetReg"},
    SyscallEntry{122, SYSCALL_sceSifGetReg, "SYSCALL_sceSifGetReg"},
    SyscallEntry{123, opUnassigned, "SYSCALL_ExecOSD"},
    SyscallEntry{124, SYSCALL_Deci2Call, "SYSCALL_Deci2Call"},
    SyscallEntry{125, opUnassigned, "SYSCALL_PSMode"},
    SyscallEntry{126, opUnassigned, "SYSCALL_MachineType"},
    SyscallEntry{127, opUnassigned, "SYSCALL_GetMemorySize"},
    SyscallEntry{136, SYSCALL_isceSifSetDChain, "SYSCALL_isceSifSetDChain"},
    SyscallEntry{137, opUnassigned, "SYSCALL_isceSifSetDma"},
    SyscallEntry{138, SYSCALL_sceSifDmaStat, "SYSCALL_isceSifDmaStat"},
    SyscallEntry{143, SYSCALL_GsPutIMR, "SYSCALL_iGsPutIMR"},
    SyscallEntry{144, SYSCALL_GsGetIMR, "SYSCALL_iGsGetIMR"},
    SyscallEntry{150, opUnassigned, "SYSCALL_iCpuConfig"},
    SyscallEntry{152, opUnassigned, "SYSCALL_iFlushCache"},
    SyscallEntry{153, SYSCALL_RFU063, "SYSCALL_iGetCop0"},
    SyscallEntry{156, opUnassigned, "SYSCALL_UKN_1"},
    SyscallEntry{161, opUnassigned, "SYSCALL_iDisableDmacHandler"},
    SyscallEntry{162, opUnassigned, "SYSCALL_iEnableDmacHandler"},
    SyscallEntry{163, opUnassigned, "SYSCALL_iDisableIntcHandler"},
    SyscallEntry{164, opUnassigned, "SYSCALL_iEnableIntcHandler"},
    SyscallEntry{166, opUnassigned, "SYSCALL_RFU090_iReferEventFlagStatus"},
    SyscallEntry{183, SYSCALL_DeleteSema, "SYSCALL_iDeleteSema"},
    SyscallEntry{184, SYSCALL_ReferSemaStatus, "SYSCALL_iReferSemaStatus"},
    SyscallEntry{186, SYSCALL_PollSema, "SYSCALL_iPollSema"},
    SyscallEntry{189, SYSCALL_SignalSema, "SYSCALL_iSignalSema"},
    SyscallEntry{198, SYSCALL_ResumeThread, "SYSCALL_iResumeThread"},
    SyscallEntry{200, SYSCALL_SuspendThread, "SYSCALL_iSuspendThread"},
    SyscallEntry{202, SYSCALL_CancelWakeupThread, "SYSCALL_iCancelWakeupThread"},
    SyscallEntry{204, SYSCALL_WakeupThread, "SYSCALL_iWakeupThread"},
    SyscallEntry{207, SYSCALL_ReferThreadStatus, "SYSCALL_iReferThreadStatus"},
    SyscallEntry{210, SYSCALL_ReleaseWaitThread, "SYSCALL_iReleaseWaitThread"},
    SyscallEntry{212, SYSCALL_RotateThreadReadyQueue, "SYSCALL_iRotateThreadReadyQueue"},
    SyscallEntry{214, SYSCALL_ChangeThreadPriority, "SYSCALL_iChangeThreadPriority"},
    SyscallEntry{218, SYSCALL_TerminateThread, "SYSCALL_iTerminateThread"},
    SyscallEntry{225, SYSCALL_ReleaseAlarm, "SYSCALL__iReleaseAlarm"},
    SyscallEntry{226, SYSCALL_SetAlarm, "SYSCALL__iSetAlarm"},
    SyscallEntry{227, opUnassigned, "SYSCALL__iDisableDmac"},
    SyscallEntry{228, opUnassigned, "SYSCALL__iEnableDmac"},
    SyscallEntry{229, opUnassigned, "SYSCALL__iDisableIntc"},
    SyscallEntry{230, opUnassigned, "SYSCALL__iEnableIntc"},
};

// Both tables come from the one list, so a number claimed twice, or one
// past 255, stops the build.
consteval std::array<const char*, 256> buildSyscallNames() {
    std::array<const char*, 256> names{};
    for (const SyscallEntry& entry : kSyscallEntries) {
        if (entry.number >= names.size() || names[entry.number] != nullptr) throw "bad system call entry";
        names[entry.number] = entry.name;
    }
    for (const char*& name : names) {
        if (name == nullptr) name = "SYSCALL_NI";
    }
    return names;
}

consteval std::array<Handler, 256> buildSyscallHandlers() {
    buildSyscallNames();  // refuses duplicate numbers for both tables
    std::array<Handler, 256> table{};
    table.fill(opUnassigned);
    for (const SyscallEntry& entry : kSyscallEntries) table[entry.number] = entry.handler;
    return table;
}

}  // namespace

constinit const std::array<Handler, 256> syscallHandlers = buildSyscallHandlers();
constinit const std::array<const char*, 256> syscallNames = buildSyscallNames();

// A free number is the program's mistake; a named call without a service
// is one the emulator does not provide. Either does nothing.
void reportUnservedCall(u32 number) {
    if (std::strcmp(syscallNames[number], "SYSCALL_NI") == 0) {
        logReport(LogCategory::Kernel, LogLevel::GuestError, "system call %u (v1 = 0x%08X) is not assigned; ignored at 0x%08X",
                  number, ee.gpr[kGprV1].w[0], ee.pc - 4);
    } else {
        logReport(LogCategory::Kernel, LogLevel::Stub, "%s is not emulated; it does nothing", syscallNames[number]);
    }
}

// A call that changed which thread should run switches as it returns;
// one made by an interrupt handler leaves that to the end of the delivery.
void syscallDispatch() {
    const u32 number = ee.gpr[kGprV1].w[0] & 0xFF;
    if (syscallHandlers[number] == opUnassigned) reportUnservedCall(number);
    syscallHandlers[number]();
    if (kernel.switchPending && !inInterruptContext()) reschedule();
}
