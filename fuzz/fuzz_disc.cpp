// A whole disc image (from sector 16 on) through the ISO 9660 reader: the
// disc boot with its SYSTEM.CNF;1 and BOOT2 executable, then a lookup, an
// open, reads and seeks of a file in a folder.
#include "disc/disc_boot.h"
#include "disc/iso9660.h"
#include "fuzz/fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    fuzzMachineUp();
    fuzzServeDisc(data, size, kFuzzDiscFirstSector);
    discFiles = {};
    isoPrepare();
    bootFromDisc();

    IsoEntry entry{};
    isoFind("\\DATA\\SUB\\DEEP.TXT;1", entry);
    const s32 slot = isoOpen("\\DATA\\X.TXT;1", 1);
    if (slot >= 0) {
        static u8 buffer[3 * kIsoSectorSize];
        isoRead(slot, buffer, 100);
        isoSeek(slot, -10, 2);
        isoRead(slot, buffer, sizeof buffer);
        isoSeek(slot, 2047, 0);
        isoRead(slot, buffer, sizeof buffer);
        isoClose(slot);
    }
    return 0;
}
