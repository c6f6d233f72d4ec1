// The IOP module loader (server 0x80000006). No module is run: every load
// succeeds with a module id of its own, 0x10 for the first load after the
// machine or the IOP was reset, then 0x11, ... (the console's loader, like
// the SDK's, takes an id of 0 or less for a failure). Loading the
// data-archive module SJDATA.IRX records the archive path it is given,
// which the file I/O server reads archive files from.
#pragma once

#include <string>

#include "iop/sif_rpc.h"

// The argument text of the last SJDATA.IRX load, at most 255 characters;
// kept across machine resets.
extern std::string archivePath;

// The id the next load answers.
inline constexpr u32 kFirstModuleId = 0x10;
extern u32 nextModuleId;

void moduleLoaderServer(const RpcCall& call);

// Module ids start again at 0x10 (machine initialisation, IOP reset).
void resetModuleIds();
