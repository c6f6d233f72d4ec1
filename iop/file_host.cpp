#include "iop/file_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>

#include "iop/file_device.h"
#include "iop/file_service.h"
#include "iop/host_root.h"
#include "memory/guest_ram.h"

namespace {

constexpr s32 kFailure = -1;

TtySink ttySink = nullptr;

bool isHostHandle(s32 handle) {
    return handle >= static_cast<s32>(kFirstHostHandle) && handle < static_cast<s32>(kHostHandleLimit);
}

int hostDescriptor(s32 handle) { return isHostHandle(handle) ? fileService.hostFiles[handle].descriptor : -1; }

// The resolved path has no link left in it. A file that is there is opened
// as it is; one that is not is created new (O_EXCL), so that nothing put at
// that place after the path was checked is followed or reused.
int openResolved(const std::filesystem::path& path, u32 flags) {
    const int access = hostOpenFlags(flags);
    const int descriptor = ::open(path.c_str(), access);
    if (descriptor >= 0 || errno != ENOENT || (flags & kHostOpenCreate) == 0) return descriptor;
    return ::open(path.c_str(), access | O_CREAT | O_EXCL, 0600);
}

// The path is confined to the host root; the second try with a leading
// "/" names the same file below the root, so one resolution covers both.
s32 hostOpen(const std::string& path, u32 flags) {
    auto& files = fileService.hostFiles;
    const auto slot = std::find_if(files.begin() + kFirstHostHandle, files.end(), [](const HostFile& file) { return file.isFree(); });
    if (slot == files.end()) return kFailure;
    const auto hostPath = resolveHostPath(path);
    if (!hostPath) return kFailure;
    const int descriptor = openResolved(*hostPath, flags);
    if (descriptor < 0) return kFailure;
    *slot = HostFile{descriptor, path, flags};
    return static_cast<s32>(slot - files.begin());
}

// A handle whose file could not be opened again after a state load answers
// -1 to everything; closing it frees the handle.
s32 hostClose(s32 handle) {
    if (!isHostHandle(handle) || fileService.hostFiles[handle].isFree()) return kFailure;
    const int descriptor = fileService.hostFiles[handle].descriptor;
    fileService.hostFiles[handle] = HostFile{};
    if (descriptor < 0) return kFailure;
    return ::close(descriptor) == 0 ? 0 : kFailure;
}

s32 hostRead(s32 handle, u8* destination, u32 size) {
    const int descriptor = hostDescriptor(handle);
    if (descriptor < 0) return kFailure;
    const ssize_t count = ::read(descriptor, destination, size);
    return count < 0 ? kFailure : static_cast<s32>(count);
}

// Writes to the standard output and error streams answer the size asked
// for; the tty sink, when set, receives the part that lies in RAM.
s32 hostWrite(s32 handle, u32 buffer, u32 size) {
    const u8* source = ramAt(buffer);
    const u32 available = boundedRamSize(buffer, size);
    if (handle == 1 || handle == 2) {
        if (ttySink != nullptr) ttySink(reinterpret_cast<const char*>(source), available);
        return static_cast<s32>(size);
    }
    const int descriptor = hostDescriptor(handle);
    if (descriptor < 0) return kFailure;
    const ssize_t count = ::write(descriptor, source, available);
    return count < 0 ? kFailure : static_cast<s32>(count);
}

s32 hostSeek(s32 handle, s32 offset, s32 origin) {
    const int descriptor = hostDescriptor(handle);
    if (descriptor < 0 || origin < 0 || origin > 2) return kFailure;
    constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t position = ::lseek(descriptor, offset, kWhence[origin]);
    return position < 0 || position > 0x7FFFFFFF ? kFailure : static_cast<s32>(position);
}

}  // namespace

const FileDevice hostFileDevice = {hostOpen, hostClose, hostRead, hostWrite, hostSeek};

int hostOpenFlags(u32 flags) {
    int access = O_RDONLY;
    if ((flags & 3) == 2) access = O_WRONLY;
    if ((flags & 3) == 3) access = O_RDWR;
    if (flags & kHostOpenAppend) access |= O_APPEND;
    if (flags & kHostOpenTruncate) access |= O_TRUNC;
    return access | O_CLOEXEC | O_NOFOLLOW;
}

void setTtySink(TtySink sink) { ttySink = sink; }

// A reset machine holds no host descriptor, however often it is reset.
void closeHostFiles() {
    for (HostFile& file : fileService.hostFiles) {
        if (file.descriptor >= 0) ::close(file.descriptor);
        file = HostFile{};
    }
}
