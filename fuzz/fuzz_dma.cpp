// DMA channel starts as a guest store makes them: the input gives the
// channel, its registers and the CHCR value, then the memory the transfer
// reads (tags and data at 0x00100000, and the scratchpad). Chains may point
// anywhere in RAM or the scratchpad, loop, call and return.
#include <algorithm>

#include "devices/dma.h"
#include "fuzz/fuzz_machine.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kWindow = 0x00100000;
constexpr u32 kWindowBytes = 0x10000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    fuzzMachineUp();
    FuzzInput input(data, size);
    const u32 channel = input.take<u8>() % kDmaChannelCount;
    const bool doublewordStore = input.take<u8>() & 1;
    const u32 chcr = input.take<u32>();
    const u32 madr = input.take<u32>();
    const u32 qwc = input.take<u32>();
    const u32 tadr = input.take<u32>();
    const u32 sadr = input.take<u32>();

    std::memset(memory.ram + kWindow, 0, kWindowBytes);
    std::memset(memory.scratchpad, 0, kScratchpadSize);
    const std::size_t toRam = std::min<std::size_t>(input.restSize(), kWindowBytes);
    if (toRam != 0) std::memcpy(memory.ram + kWindow, input.rest(), toRam);
    const std::size_t toScratchpad = std::min<std::size_t>(input.restSize() - toRam, kScratchpadSize);
    if (toScratchpad != 0) std::memcpy(memory.scratchpad, input.rest() + toRam, toScratchpad);
    vuReset();
    vifReset();

    const u32 base = kHwStart + dmaRegisterOffset(channel, DmaRegister::Chcr);
    hostStore<u32>(memory.hw + dmaRegisterOffset(channel, DmaRegister::Madr), madr);
    hostStore<u32>(memory.hw + dmaRegisterOffset(channel, DmaRegister::Qwc), qwc);
    hostStore<u32>(memory.hw + dmaRegisterOffset(channel, DmaRegister::Tadr), tadr);
    hostStore<u32>(memory.hw + dmaRegisterOffset(channel, DmaRegister::Sadr), sadr);
    if (doublewordStore) memWrite64(chcr, 0, base);
    else memWrite32(chcr, base);
    return 0;
}
