// The emulated IOP as a whole: what a machine reset does to its services,
// and the state they start with when the emulator starts.
#pragma once

// Closes the guest's host files and forgets the archive (file service) and
// numbers modules from the first id again (module loader). The controller
// service is reset with the vertical blank it is polled from (vblankInit).
void iopServicesReset();

// Also what lasts across machine resets: the IOP version, the archive
// path, the disc type and the tray flag, back to their values at start.
void iopServicesPowerOn();
