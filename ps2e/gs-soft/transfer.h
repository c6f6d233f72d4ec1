// Transfers between the host and local memory and inside local memory,
// set up by BITBLTBUF, TRXPOS and TRXREG and started by a TRXDIR write.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gs {

// TRXDIR written: 0 opens a host-to-local transfer that HWREG and IMAGE
// data fill, 1 opens a local-to-host transfer that readLocalToHost
// empties, 2 copies inside local memory at once, 3 cancels.
void startTransfer();

// Pixel data of the open host-to-local transfer, packed as the destination
// format's bits per pixel, first pixel in the lowest bits. Data past the
// end of the rectangle is dropped.
void transferHostData(const uint8_t* bytes, size_t count);

// The next `count` bytes of the open local-to-host transfer, packed as the
// host-to-local path unpacks them; bytes past the rectangle's end are 0.
void readLocalToHost(uint8_t* bytes, size_t count);

}  // namespace gs
