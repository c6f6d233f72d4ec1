#include <string>

#include "disc/iso9660.h"
#include "iop/file_device.h"

namespace {

// Disc files open read-only whatever flags the guest gives.
s32 discOpen(const std::string& path, u32) { return isoOpen(path, 1); }

s32 discRead(s32 slot, u8* destination, u32 size) { return isoRead(slot, destination, size); }

}  // namespace

const FileDevice discFileDevice = {discOpen, isoClose, discRead, refuseWrite, isoSeek};
