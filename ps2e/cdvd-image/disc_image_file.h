// A disc image file on the host, its sector size told by its contents: the
// ISO 9660 volume descriptor ("CD001" after its type byte) lies at sector
// 16 of every data disc, so it is looked for where a 2048-byte image (user
// data only, an .iso) and where a 2352-byte raw image (sync, header and
// error correction around each sector, a .bin) would hold it.
//
// Every sector read is handed out the way the host reads it: as a raw mode
// 2 form 1 sector, 2352 bytes with the 2048 user bytes at offset 24.
#pragma once

#include <cstdint>
#include <string>

inline constexpr uint32_t kRawSectorSize = 2352;
inline constexpr uint32_t kUserSectorSize = 2048;
inline constexpr uint32_t kRawUserDataOffset = 24;  // mode 2 form 1: after sync, header and subheader
// The absolute sector of logical sector 0: two seconds of lead-in.
inline constexpr uint32_t kLeadInSectors = 150;

enum class ImageLayout { UserSectors2048, RawSectors2352 };

class DiscImageFile {
public:
    DiscImageFile() = default;
    DiscImageFile(const DiscImageFile&) = delete;
    DiscImageFile& operator=(const DiscImageFile&) = delete;
    ~DiscImageFile() { close(); }

    // Opens and recognises the image; false with the reason in `error` when
    // it cannot be read or is no disc image of either layout.
    bool open(const std::string& path, std::string& error);
    void close();
    bool isOpen() const { return descriptor_ >= 0; }

    ImageLayout layout() const { return layout_; }
    // Whole sectors only: a partial sector at the end of a truncated image
    // is not counted.
    uint32_t sectorCount() const { return sectorCount_; }
    // The mode byte of the volume descriptor's raw header (1 or 2); 1 for an
    // image of user sectors, which carries none.
    uint8_t dataMode() const { return dataMode_; }

    // Reads logical sector `lsn` into `raw`; false when the image is closed,
    // the sector lies past the end or the host cannot read it.
    bool readSector(uint32_t lsn, uint8_t raw[kRawSectorSize]) const;

    const std::string& path() const { return path_; }
    // Which disc this is, whatever the file is called: a hash (FNV-1a) of
    // the volume descriptor, which carries the volume's name, size and
    // dates. 0 while closed.
    uint64_t volumeDigest() const { return volumeDigest_; }

private:
    int descriptor_ = -1;
    std::string path_;
    uint64_t volumeDigest_ = 0;
    ImageLayout layout_ = ImageLayout::UserSectors2048;
    uint32_t sectorCount_ = 0;
    uint8_t dataMode_ = 1;
};

// The raw header's minute, second and frame of logical sector `lsn`, in BCD
// as a raw sector carries them.
void sectorHeaderAddress(uint32_t lsn, uint8_t bcd[3]);

// The logical sector of a binary minute, second and frame address; -1 when
// the address is malformed or lies in the lead-in.
int64_t logicalSectorOf(uint8_t minute, uint8_t second, uint8_t frame);
