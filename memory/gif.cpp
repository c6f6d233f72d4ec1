#include "memory/gif.h"

#include "memory/dma.h"
#include "plugins/plugin_host.h"

void gifChannelData(const u8* data, u32 quadwords) {
    gsGifTransfer(reinterpret_cast<const u32*>(data), quadwords);
}

void gifChannelTag(u32 tagAddress) {
    if ((*dmaChannels[kDmaVif1].chcr & kVif1ChcrGifTagHalves) == 0) return;
    dmaTransfer(tagAddress + 8, 2, gifChannelData);
}
