// The ELF loader: copies a PS2 executable into guest RAM, builds the
// argument block below it and points the EE at its entry.
//
// The loader trusts the file as the console's loader does (no magic, class
// or machine check; fixed ELF32 entry sizes), but bounds everything it says:
// at most 30 program and 30 section headers are read, addresses are masked
// to guest RAM as the bus masks data, and whatever would run past the end of
// RAM is clipped there.
#pragma once

#include <cstdio>
#include <string>

#include "core/types.h"

// The 32-bit little-endian ELF file header as read from the file.
struct ElfHeader {
    u8 ident[16];
    u16 type;
    u16 machine;
    u32 version;
    u32 entry;
    u32 phoff;
    u32 shoff;
    u32 flags;
    u16 ehsize;
    u16 phentsize;
    u16 phnum;
    u16 shentsize;
    u16 shnum;
    u16 shstrndx;
};
static_assert(sizeof(ElfHeader) == 52);

struct ElfProgramHeader {
    u32 type;
    u32 offset;
    u32 vaddr;
    u32 paddr;
    u32 filesz;
    u32 memsz;
    u32 flags;
    u32 align;
};
static_assert(sizeof(ElfProgramHeader) == 32);

struct ElfSectionHeader {
    u32 name;
    u32 type;
    u32 flags;
    u32 addr;
    u32 offset;
    u32 size;
    u32 link;
    u32 info;
    u32 addralign;
    u32 entsize;
};
static_assert(sizeof(ElfSectionHeader) == 40);

inline constexpr unsigned kElfHeaderTableCapacity = 30;
inline constexpr u32 kShfAlloc = 0x2;

// The header of the last executable loaded; its entry is the PC at every
// machine initialisation.
extern ElfHeader elfHeader;
extern ElfProgramHeader elfProgramHeaders[kElfHeaderTableCapacity];
extern ElfSectionHeader elfSectionHeaders[kElfHeaderTableCapacity];

// A 64-bit hash (FNV-1a) of every byte of the last executable loaded, 0
// before any load: it tells which program a saved machine state belongs to.
extern u64 elfProgramId;

// Forgets the last executable: the headers all zero, as at start, so the
// next initialisation starts the PC at 0.
void elfLoaderPowerOn();

// What the loader reads from: a host file, or a file on the disc.
class ElfSource {
public:
    virtual ~ElfSource() = default;
    virtual void seek(u32 offset) = 0;
    // Reads up to `size` bytes; returns how many it got (fewer at the end).
    virtual u32 read(void* destination, u32 size) = 0;
};

class HostFileSource final : public ElfSource {
public:
    explicit HostFileSource(std::FILE* file) : file_(file) {}
    void seek(u32 offset) override;
    u32 read(void* destination, u32 size) override;

private:
    std::FILE* file_;
};

// Loads the executable from `source`; `path` names it for the argument
// block. Sets the PC to its entry and programLoaded to 1.
void loadElfImage(ElfSource& source, const std::string& path);

// Builds the argument block below `lowest` (a guest RAM offset) from the
// base name of `path`, and points a0 at it.
void buildArgumentBlock(u32 lowest, const std::string& path);

// Loads the executable at the host path `path`. Answers an empty string
// once it is loaded, or, with nothing loaded, why it cannot be: the file
// cannot be opened, is a directory, or is not a loadable ELF file.
std::string loadElfFile(const std::string& path);

// True when the file at `path` starts with the ELF magic number.
bool fileHasElfMagic(const std::string& path);

// True when the last header read carries the ELF magic number.
bool elfHeaderHasMagic();

// Why the file in `source` cannot be run, or null when it can: it must be a
// 32-bit little-endian ELF file with a loadable segment or an allocated
// section that is not empty. The loader itself trusts any file; the front
// ends ask this first and refuse such a file with the reason.
const char* elfImageProblem(ElfSource& source);
