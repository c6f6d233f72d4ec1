// The machine reset and the start-up state: a guest that ran threads,
// handlers, DMA, VU1 and host files leaves nothing behind, and no reset
// leaves a host descriptor open.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ee_state.h"
#include "devices/timers.h"
#include "disc/elf_loader.h"
#include "disc/iso9660.h"
#include "iop/file_service.h"
#include "iop/iop_guest.h"
#include "kernel/objects.h"
#include "kernel/syscalls.h"
#include "machine/machine.h"
#include "machine_workout.h"
#include "memory/bus.h"
#include "support/test_plugins.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

namespace {

bool allZero(const void* bytes, size_t size) {
    const u8* at = static_cast<const u8*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        if (at[i] != 0) return false;
    }
    return true;
}

TEST(MachineReset, AGuestThatUsedEveryPartLeavesNothingBehind) {
    HostRootFolder folder;
    writeWorkoutInput(folder.path);
    useNoPlugins();
    resetMachine();
    const KernelObjects freshKernel = kernel;
    const VuState freshVu1 = vu1;
    const int descriptorsBefore = openDescriptorCount();

    ASSERT_TRUE(loadGuestProgram("machine_workout"));
    ASSERT_EQ(runFrames(6), StopReason::MaxVblanks);
    ASSERT_GE(guestWord(guestSymbol("frames")), 5u) << "the worker ran each frame";
    ASSERT_GT(guestWord(guestSymbol("timerInterrupts")), 0u);
    ASSERT_EQ(openDescriptorCount(), descriptorsBefore + 2) << "the guest holds its two host files";
    ASSERT_NE(std::memcmp(&vu1, &freshVu1, offsetof(VuState, microMem)), 0) << "VU1 ran";

    resetMachine();
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    for (const HostFile& file : fileService.hostFiles) EXPECT_TRUE(file.isFree());
    EXPECT_EQ(std::memcmp(&kernel, &freshKernel, sizeof kernel), 0) << "threads, semaphores and handlers gone";
    EXPECT_EQ(std::memcmp(&vu1, &freshVu1, offsetof(VuState, microMem)), 0);
    EXPECT_EQ(discFiles.openCount, 0u);
    EXPECT_TRUE(allZero(memory.ram, kRamSize));
    EXPECT_TRUE(allZero(memory.scratchpad, kScratchpadSize));
    EXPECT_EQ(vblankCount, 0u);
    EXPECT_EQ(ee.pc, 0u) << "the last program's entry is forgotten too";
    EXPECT_EQ(ee.hi.d[0] | ee.hi.d[1] | ee.lo.d[0] | ee.lo.d[1] | ee.sa, 0u);
    EXPECT_EQ(programLoaded, 0u);
}

// Each reset comes while the guest still holds its files open. Before the
// reset closed them, the 32 host handles and then the process's
// descriptors ran out and every open answered -1.
TEST(MachineReset, AThousandResetsOfAGuestThatOpensFilesLeaveNoDescriptorOpen) {
    HostRootFolder folder;
    writeWorkoutInput(folder.path);
    useNoPlugins();
    resetMachine();
    const int descriptorsBefore = openDescriptorCount();
    ASSERT_TRUE(loadGuestProgram("machine_workout"));
    const u32 input = guestSymbol("readBack");
    for (int reset = 0; reset < 1000; ++reset) {
        ASSERT_EQ(loadElfFile(guestProgramPath("machine_workout")), "");
        ASSERT_EQ(runFrames(1), StopReason::MaxVblanks);
        ASSERT_EQ(guestWord(input), 0x00110A03u) << "the input file was opened and read, reset " << reset;
        ASSERT_EQ(openDescriptorCount(), descriptorsBefore + 2);
        emuReset();
        ASSERT_EQ(openDescriptorCount(), descriptorsBefore) << "after reset " << reset;
    }
}

}  // namespace
