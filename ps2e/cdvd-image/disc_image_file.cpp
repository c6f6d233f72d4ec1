#include "ps2e/cdvd-image/disc_image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace {

constexpr uint32_t kVolumeDescriptorSector = 16;
constexpr std::array<uint8_t, 12> kSync = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr uint32_t kHeaderOffset = 12;  // minute, second, frame, mode
constexpr uint32_t kModeByte = 15;
constexpr uint32_t kMode1UserDataOffset = 16;
// Mode 2 form 1 subheader, given twice: file 0, channel 0, submode "data",
// coding 0.
constexpr std::array<uint8_t, 8> kDataSubheader = {0, 0, 0x08, 0, 0, 0, 0x08, 0};

bool readAt(int descriptor, uint64_t offset, void* target, std::size_t size) {
    uint8_t* bytes = static_cast<uint8_t*>(target);
    while (size > 0) {
        const ssize_t count = pread(descriptor, bytes, size, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        bytes += count;
        offset += static_cast<uint64_t>(count);
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

bool hasVolumeSignature(const uint8_t* userData) { return std::memcmp(userData + 1, "CD001", 5) == 0; }

uint64_t digestOf(const uint8_t* bytes, std::size_t size) {
    uint64_t hash = 0xCBF29CE484222325u;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3u;
    return hash;
}

uint8_t toBcd(uint32_t value) { return static_cast<uint8_t>((value / 10) << 4 | (value % 10)); }

// Where the user data of a raw sector with this mode byte starts; 0 for a
// mode that carries none this reader knows.
uint32_t rawUserDataOffset(uint8_t mode) {
    if (mode == 1) return kMode1UserDataOffset;
    if (mode == 2) return kRawUserDataOffset;
    return 0;
}

void writeSyncAndHeader(uint32_t lsn, uint8_t raw[kRawSectorSize]) {
    std::memcpy(raw, kSync.data(), kSync.size());
    sectorHeaderAddress(lsn, raw + kHeaderOffset);
    raw[kModeByte] = 2;
    std::memcpy(raw + kModeByte + 1, kDataSubheader.data(), kDataSubheader.size());
}

}  // namespace

void sectorHeaderAddress(uint32_t lsn, uint8_t bcd[3]) {
    const uint32_t absolute = lsn + kLeadInSectors;
    bcd[0] = toBcd(absolute / 4500 % 100);
    bcd[1] = toBcd(absolute / 75 % 60);
    bcd[2] = toBcd(absolute % 75);
}

int64_t logicalSectorOf(uint8_t minute, uint8_t second, uint8_t frame) {
    if (second >= 60 || frame >= 75) return -1;
    const int64_t absolute = int64_t{minute} * 4500 + int64_t{second} * 75 + frame;
    return absolute < kLeadInSectors ? -1 : absolute - kLeadInSectors;
}

bool DiscImageFile::open(const std::string& path, std::string& error) {
    close();
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot open disc image '" + path + "': " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = "cannot read disc image '" + path + "': it is not a regular file";
        ::close(descriptor);
        return false;
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);

    uint8_t raw[kRawSectorSize];
    const uint64_t rawDescriptor = uint64_t{kVolumeDescriptorSector} * kRawSectorSize;
    if (size >= rawDescriptor + kRawSectorSize && readAt(descriptor, rawDescriptor, raw, kRawSectorSize) &&
        std::memcmp(raw, kSync.data(), kSync.size()) == 0 && rawUserDataOffset(raw[kModeByte]) != 0 &&
        hasVolumeSignature(raw + rawUserDataOffset(raw[kModeByte]))) {
        layout_ = ImageLayout::RawSectors2352;
        dataMode_ = raw[kModeByte];
        volumeDigest_ = digestOf(raw + rawUserDataOffset(raw[kModeByte]), kUserSectorSize);
    } else {
        uint8_t user[kUserSectorSize];
        const uint64_t userDescriptor = uint64_t{kVolumeDescriptorSector} * kUserSectorSize;
        if (size < userDescriptor + kUserSectorSize || !readAt(descriptor, userDescriptor, user, kUserSectorSize) ||
            !hasVolumeSignature(user)) {
            error = "'" + path + "' is not a disc image: no ISO 9660 volume descriptor at sector 16, neither in " +
                    "2048-byte (.iso) nor in 2352-byte raw (.bin) sectors";
            ::close(descriptor);
            return false;
        }
        layout_ = ImageLayout::UserSectors2048;
        dataMode_ = 1;
        volumeDigest_ = digestOf(user, kUserSectorSize);
    }
    const uint32_t sectorSize = layout_ == ImageLayout::RawSectors2352 ? kRawSectorSize : kUserSectorSize;
    const uint64_t sectors = size / sectorSize;
    sectorCount_ = sectors > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(sectors);
    descriptor_ = descriptor;
    path_ = path;
    return true;
}

void DiscImageFile::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    sectorCount_ = 0;
    path_.clear();
    volumeDigest_ = 0;
}

bool DiscImageFile::readSector(uint32_t lsn, uint8_t raw[kRawSectorSize]) const {
    if (descriptor_ < 0 || lsn >= sectorCount_) return false;
    if (layout_ == ImageLayout::UserSectors2048) {
        std::memset(raw, 0, kRawSectorSize);
        writeSyncAndHeader(lsn, raw);
        return readAt(descriptor_, uint64_t{lsn} * kUserSectorSize, raw + kRawUserDataOffset, kUserSectorSize);
    }
    if (!readAt(descriptor_, uint64_t{lsn} * kRawSectorSize, raw, kRawSectorSize)) return false;
    // A mode 2 sector is handed out as it is; a mode 1 sector has its user
    // data moved behind a form 1 subheader, where the host reads it.
    if (raw[kModeByte] == 1) {
        uint8_t user[kUserSectorSize];
        std::memcpy(user, raw + kMode1UserDataOffset, kUserSectorSize);
        std::memset(raw + kMode1UserDataOffset, 0, kRawSectorSize - kMode1UserDataOffset);
        raw[kModeByte] = 2;
        std::memcpy(raw + kModeByte + 1, kDataSubheader.data(), kDataSubheader.size());
        std::memcpy(raw + kRawUserDataOffset, user, kUserSectorSize);
    }
    return true;
}
