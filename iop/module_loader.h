// The IOP module loader (server 0x80000006). No module is run: every load
// succeeds. Loading the data-archive module SJDATA.IRX records the archive
// path it is given, which the file I/O server reads archive files from.
#pragma once

#include <string>

#include "iop/sif_rpc.h"

// The argument text of the last SJDATA.IRX load, at most 255 characters;
// kept across machine resets.
extern std::string archivePath;

void moduleLoaderServer(const RpcCall& call);
