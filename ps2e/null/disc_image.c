#include "disc_image.h"

#include <stdlib.h>
#include <string.h>

int discImageOpenFromEnvironment(DiscImage* image) {
    discImageClose(image);
    const char* path = getenv("CORVANE_CDVD_IMAGE");
    if (path == NULL || path[0] == '\0') return 0;
    FILE* file = fopen(path, "rb");
    if (file == NULL) return 0;
    if (fseek(file, 0, SEEK_END) != 0) {
        fclose(file);
        return 0;
    }
    const long size = ftell(file);
    if (size < 0) {
        fclose(file);
        return 0;
    }
    /* A raw image is a whole number of 2352-byte sectors that is not also a
       whole number of 2048-byte ones; anything else is read as an ISO image. */
    const int raw = size % DISC_RAW_SECTOR_SIZE == 0 && size % DISC_USER_SECTOR_SIZE != 0;
    image->file = file;
    image->sectorSize = raw ? DISC_RAW_SECTOR_SIZE : DISC_USER_SECTOR_SIZE;
    image->sectorCount = (uint32_t)(size / image->sectorSize);
    return 1;
}

void discImageClose(DiscImage* image) {
    if (image->file != NULL) fclose(image->file);
    image->file = NULL;
    image->sectorSize = 0;
    image->sectorCount = 0;
}

int64_t discLogicalSector(uint8_t minute, uint8_t second, uint8_t frame) {
    return (int64_t)minute * 4500 + (int64_t)second * 75 + frame - DISC_LEAD_IN_SECTORS;
}

int discImageRead(DiscImage* image, uint32_t lsn, uint8_t raw[DISC_RAW_SECTOR_SIZE]) {
    if (image->file == NULL || lsn >= image->sectorCount) return 0;
    if (fseek(image->file, (long)lsn * image->sectorSize, SEEK_SET) != 0) return 0;
    memset(raw, 0, DISC_RAW_SECTOR_SIZE);
    uint8_t* target = image->sectorSize == DISC_RAW_SECTOR_SIZE ? raw : raw + DISC_USER_DATA_OFFSET;
    return fread(target, 1, image->sectorSize, image->file) == image->sectorSize;
}
