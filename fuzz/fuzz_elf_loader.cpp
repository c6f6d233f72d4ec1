// The ELF loader on any file: the front ends' check, then the load itself,
// which trusts the file and must still keep every byte inside guest RAM.
#include <algorithm>
#include <cstring>

#include "disc/elf_loader.h"
#include "fuzz/fuzz_machine.h"

namespace {

class MemorySource final : public ElfSource {
public:
    MemorySource(const u8* data, std::size_t size) : data_(data), size_(size) {}
    void seek(u32 offset) override { position_ = std::min<std::size_t>(offset, size_); }
    u32 read(void* destination, u32 size) override {
        const std::size_t count = std::min<std::size_t>(size, size_ - position_);
        if (count != 0) std::memcpy(destination, data_ + position_, count);
        position_ += count;
        return static_cast<u32>(count);
    }

private:
    const u8* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    fuzzMachineUp();
    MemorySource source(data, size);
    elfImageProblem(source);
    loadElfImage(source, "cdrom0:\\FUZZ.ELF;1");
    return 0;
}
