// The machine's subsystems as sections of a saved state. A state is read
// into a MachineImage, off the machine, and checked whole before anything
// of it is applied, so that a file that fails leaves the machine as it was.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/types.h"
#include "state/state_stream.h"

struct MachineImage;

struct MachineImageDeleter {
    void operator()(MachineImage* image) const;
};
using MachineImagePointer = std::unique_ptr<MachineImage, MachineImageDeleter>;

MachineImagePointer newMachineImage();

// One section: a four-character tag, the machine's part written out, and
// the same part read into an image. A read fails (reader.failed()) on a
// short section or a value out of its range.
struct MachineSection {
    u32 tag;
    const char* name;
    void (*save)(StateWriter& writer);
    void (*load)(StateReader& reader, MachineImage& image);
};

const std::vector<MachineSection>& machineSections();

// Puts a complete, checked image into the machine. The guest's host files
// open now are closed; the image's are opened again by path below the host
// root and moved to their saved offsets (a file that cannot be opened any
// more answers -1 until the guest closes it).
void applyMachineImage(const MachineImage& image);

constexpr u32 sectionTag(const char (&name)[5]) {
    return u32(u8(name[0])) | u32(u8(name[1])) << 8 | u32(u8(name[2])) << 16 | u32(u8(name[3])) << 24;
}
