// Writes the starting corpus of every fuzz target into one folder per
// target: guest programs built for the tests as ELF files, disc images made
// by xorriso from the same kind of tree the disc tests use, SJDF archives
// packed as the archive tests pack them, and the VIF1 streams, DMA chains
// and RPC requests that the tests send.
//
//   corvane-fuzz-seeds CORPUS_DIR GUEST_PROGRAMS_DIR
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_machine.h"
#include "iop/sjdf_archive.h"

namespace fs = std::filesystem;

namespace {

fs::path corpus;

using Bytes = std::string;

void appendWord(Bytes& bytes, u32 word) { bytes.append(reinterpret_cast<const char*>(&word), 4); }
Bytes words(std::initializer_list<u32> list) {
    Bytes bytes;
    for (u32 word : list) appendWord(bytes, word);
    return bytes;
}

void writeSeed(const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(corpus / target);
    std::ofstream(corpus / target / name, std::ios::binary) << bytes;
}

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The smallest few guest programs: whole ELF files as the linker made them.
std::vector<fs::path> smallestPrograms(const fs::path& folder, std::size_t count) {
    std::vector<fs::path> programs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".elf") programs.push_back(entry.path());
    }
    std::sort(programs.begin(), programs.end(), [](const fs::path& a, const fs::path& b) { return fs::file_size(a) < fs::file_size(b); });
    if (programs.size() > count) programs.resize(count);
    return programs;
}

// A disc made by xorriso, without the 32 KB system area the fuzz targets
// leave out; empty when xorriso is missing or fails.
Bytes xorrisoDisc(const std::vector<std::pair<std::string, Bytes>>& files, bool joliet) {
    const fs::path tree = corpus / "disc.tree";
    const fs::path image = corpus / "disc.iso";
    fs::remove_all(tree);
    for (const auto& [path, contents] : files) {
        fs::create_directories((tree / path).parent_path());
        std::ofstream(tree / path, std::ios::binary) << contents;
    }
    const std::string command = std::string("xorriso -as mkisofs -quiet -no-pad ") + (joliet ? "-J " : "") + "-o '" +
                                image.string() + "' '" + tree.string() + "' >/dev/null 2>&1";
    const bool made = std::system(command.c_str()) == 0;
    fs::remove_all(tree);
    if (!made) return {};
    const Bytes bytes = readBytes(image);
    fs::remove(image);
    return bytes.size() > 16 * 2048 ? bytes.substr(16 * 2048) : Bytes();
}

void discSeeds(const Bytes& program) {
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"SYSTEM.CNF", "BOOT2 = cdrom0:\\BOOT.ELF;1\r\nVER = 1.00\r\n"},
        {"BOOT.ELF", program},
        {"DATA/X.TXT", Bytes(3000, 'x')},
        {"DATA/SUB/DEEP.TXT", "deep file"},
    };
    for (bool joliet : {false, true}) {
        const Bytes disc = xorrisoDisc(files, joliet);
        if (!disc.empty()) writeSeed("disc", joliet ? "joliet" : "plain", disc);
    }
    const Bytes cnf = "BOOT2 = cdrom0:\\SYSTEM.CNF;1\n";
    const std::vector<u8> tiny = fuzzOneFileDisc("SYSTEM.CNF;1", reinterpret_cast<const u8*>(cnf.data()), cnf.size());
    writeSeed("disc", "one-file", Bytes(tiny.begin(), tiny.end()));
}

// Control values (first read, seek offset, origin, second read), then the
// archive.
void sjdfSeeds() {
    const Bytes small = packSjdfArchive({{"a.bin", "abcdefghij"}, {"b.bin", Bytes(40, 'b')}});
    const Bytes large = packSjdfArchive({{"large.bin", Bytes(40000, 'L')}});
    writeSeed("sjdf_archive", "small", words({10, 3}) + Bytes(1, '\0') + words({100}) + small);
    writeSeed("sjdf_archive", "chunked", words({20000, 16383}) + Bytes(1, '\0') + words({40000}) + large);
}

enum : u32 { Nop = 0x00, Stcycl = 0x01, Offset = 0x02, Base = 0x03, Itop = 0x04, Mark = 0x07, Mscal = 0x14,
             Mscnt = 0x17, Stmask = 0x20, Strow = 0x30, Mpg = 0x4A, Direct = 0x50 };
constexpr u32 vif(u32 command, u32 num = 0, u32 imm16 = 0) { return command << 24 | num << 16 | imm16; }
constexpr u32 unpack(u32 vn, u32 vl, u32 num, u32 address) { return vif(0x60 | vn << 2 | vl, num, address); }

// The VU1 program of the micro-program test: I = 2.0, a vertex scaled,
// converted and XGKICKed, then the end bit.
const Bytes kMicroProgram = words({0x40000000, 0x8000002B, 0x01E10001, 0x0000002B, 0x10000000, 0x01E0089E,
                                   0x10000000, 0x01E3117D, 0x03E01802, 0x0000002B, 0x800006FC, 0x4000002B,
                                   0x10000000, 0x0000002B});

void vifSeeds() {
    writeSeed("vif1", "settings", Bytes(1, 3) + words({vif(Stcycl, 0, 0x0404), vif(Offset, 0, 8), vif(Base, 0, 4),
                                                       vif(Itop, 0, 9), vif(Mark, 0, 0x2222), vif(Stmask), 0xE4E4E4E4,
                                                       vif(Strow), 1, 2, 3, 4, vif(Nop)}));
    Bytes unpacks = Bytes(1, 5);
    for (u32 vn = 0; vn < 4; ++vn) {
        for (u32 vl = 0; vl < 4; ++vl) {
            appendWord(unpacks, unpack(vn, vl, 2, 3));
            for (u32 i = 0; i < 8; ++i) appendWord(unpacks, 0x01020304 * (i + 1));
        }
    }
    writeSeed("vif1", "unpacks", unpacks);
    writeSeed("vif1", "program", Bytes(1, 7) + words({vif(Mpg, 7, 0)}) + kMicroProgram +
                                     words({unpack(3, 0, 2, 0), 0x00008002, 0x10000000, 0x5, 0, 0x3FC00000, 0xC0100000,
                                            0x42C80000, 0x3F800000, vif(Mscal, 0, 0), vif(Mscnt), vif(Direct, 0, 1), 41,
                                            42, 43, 44}));
}

// Channel, doubleword store, CHCR, MADR, QWC, TADR, SADR, then the window
// at 0x00100000 and the scratchpad.
Bytes dmaSeed(u8 channel, u32 chcr, u32 madr, u32 qwc, u32 tadr, const Bytes& window) {
    return Bytes(1, static_cast<char>(channel)) + Bytes(1, '\0') + words({chcr, madr, qwc, tadr, 0}) + window;
}

void dmaSeeds() {
    constexpr u32 kWindow = 0x00100000;
    auto tag = [](u32 id, u32 qwc, u32 addr, u32 upper0 = 0, u32 upper1 = 0) { return words({id << 28 | qwc, addr, upper0, upper1}); };
    const Bytes vifChain = tag(1, 1, 0, vif(Nop), unpack(3, 0, 2, 7)) + words({1, 2, 3, 4}) +
                           tag(2, 1, kWindow + 0x40, vif(Mark, 0, 1), vif(Direct, 0, 1)) + words({5, 6, 7, 8}) +
                           tag(5, 0, kWindow + 0x60) + words({0, 0, 0, 0}) + tag(7, 1, 0) + words({9, 9, 9, 9}) +
                           tag(6, 0, 0) + words({0, 0, 0, 0});
    writeSeed("dma", "vif1-chain", dmaSeed(1, 0x105, 0, 0, kWindow, vifChain));
    const Bytes program = tag(7, 6, 0, 0, vif(Mpg, 7, 0)) + kMicroProgram + words({vif(Nop), vif(Mscal), 0, 0});
    writeSeed("dma", "vif1-program", dmaSeed(1, 0x105, 0, 0, kWindow, program));
    const Bytes gifPacket = words({0x00008001, 0x10000000, 0x0E, 0, 0x11111111, 0x22222222, 0x33333333, 0x44444444});
    writeSeed("dma", "gif-normal", dmaSeed(2, 0x101, kWindow, 2, 0, gifPacket));
    writeSeed("dma", "gif-chain", dmaSeed(2, 0x105, 0, 0, kWindow, tag(3, 2, kWindow + 0x40) + tag(7, 0, 0) + gifPacket));
    writeSeed("dma", "gif-doubleword", dmaSeed(2, 0x105, 0, 0, kWindow, tag(7, 2, 0) + gifPacket));
    writeSeed("dma", "sif1-loop", dmaSeed(6, 0x185, 0, 0, kWindow, tag(2, 1, kWindow) + words({0, 0, 0, 0})));
    writeSeed("dma", "spr-from", dmaSeed(8, 0x100, kWindow, 4, 0, Bytes(64, 's')));
    writeSeed("dma", "spr-to-scratchpad", dmaSeed(9, 0x105, 0, 0, 0x80000000, Bytes(0x10000, '\0') + tag(7, 1, 0)));
}

// Mode (bit 0: through kernel call 119), server index, function, send
// size, command index, then the send buffer.
Bytes rpcSeed(u8 mode, u8 server, u32 function, u32 sendSize, u8 command, const Bytes& send) {
    return Bytes{static_cast<char>(mode), static_cast<char>(server)} + words({function, sendSize}) +
           Bytes(1, static_cast<char>(command)) + send;
}

Bytes padded(const Bytes& bytes, std::size_t size) { return bytes + Bytes(size > bytes.size() ? size - bytes.size() : 0, '\0'); }

void rpcSeeds() {
    writeSeed("sif_rpc", "file-open-create", rpcSeed(0, 0, 0, 64, 2, padded(words({0x202}) + "host:made.bin", 64)));
    writeSeed("sif_rpc", "file-open-disc", rpcSeed(0, 0, 0, 64, 2, padded(words({1}) + "cdrom0:\\DATA.SJD;1", 64)));
    writeSeed("sif_rpc", "file-open-archive", rpcSeed(0, 0, 0, 64, 2, padded(words({1}) + "sjdata:b.bin", 64)));
    writeSeed("sif_rpc", "file-open-notify", rpcSeed(0, 0, 0, 1048, 2, padded(words({5, 0x305000, 64, 1, 0, 0}) + "sjdata:a.bin", 1048)));
    writeSeed("sif_rpc", "file-read", rpcSeed(0, 0, 2, 16, 2, words({0x40, 0x310008, 100, 0x320000})));
    writeSeed("sif_rpc", "file-read-notify", rpcSeed(0, 0, 2, 32, 2, words({1, 0, 0, 0x20, 0x310000, 100, 0, 0})));
    writeSeed("sif_rpc", "file-seek", rpcSeed(0, 0, 4, 12, 2, words({0x20, 0xFFFFFFF0, 2})));
    writeSeed("sif_rpc", "file-init", rpcSeed(0, 0, 255, 8, 2, words({0x306000, 0x306100})));
    writeSeed("sif_rpc", "iop-alloc", rpcSeed(0, 1, 1, 8, 2, words({0x1000, 0})));
    writeSeed("sif_rpc", "iop-load", rpcSeed(0, 1, 3, 64, 2, padded(words({0x200000}) + "host:data.bin", 64)));
    writeSeed("sif_rpc", "module-load", rpcSeed(0, 2, 0, 300, 2, padded(words({0, 0}) + "rom0:SJDATA.IRX", 300)));
    writeSeed("sif_rpc", "pad-open", rpcSeed(0, 3, 0x80000100, 128, 2, words({0x80000100, 0, 0, 0, 0x340000})));
    writeSeed("sif_rpc", "cdvd-read", rpcSeed(0, 7, 1, 16, 2, words({16, 4, 0x350000, 0})));
    writeSeed("sif_rpc", "cdvd-search", rpcSeed(0, 9, 0, 292, 2, padded(Bytes(32, '\0') + "\\DATA.SJD;1", 292)));
    writeSeed("sif_rpc", "cdvd-drive", rpcSeed(0, 6, 3, 16, 2, words({0, 0, 0, 0})));
    writeSeed("sif_rpc", "kernel-reset", rpcSeed(3, 0, 0, 0, 0, padded(Bytes(), 0x1000) + padded(Bytes(24, '\0') + "rom0:UDNL cdrom0:\\IOPRP241.IMG;1", 128)));
    writeSeed("sif_rpc", "kernel-bind", rpcSeed(3, 0, 0, 0, 1, Bytes()));
    writeSeed("sif_rpc", "kernel-call", rpcSeed(5, 0, 0, 64, 2, padded(words({1}) + "cdrom0:\\DATA.SJD;1", 64)));
}

// Piece length, then the packet: a sprite through PACKED registers, and a
// host-to-local transfer set up through A+D and sent as IMAGE data.
void gifSeeds() {
    const Bytes sprite = words({0x00008003, 0x30000000, 0x510, 0,            // NLOOP 3, EOP, PACKED: PRIM RGBAQ XYZ2
                                6, 0, 0, 0, 255, 128, 0, 128, 0x100, 0x100, 0, 0,
                                6, 0, 0, 0, 0, 255, 0, 128, 0x400, 0x400, 0, 0,
                                6, 0, 0, 0, 0, 0, 255, 128, 0x200, 0x300, 0, 0});
    writeSeed("gs_gif", "sprite", Bytes(1, 2) + sprite);
    const Bytes upload = words({0x00000004, 0x10000000, 0xE, 0,              // NLOOP 4, PACKED, A+D
                                0, 0x00010000, 0x50, 0,                       // BITBLTBUF: to 0, width 64, PSMCT32
                                0, 0, 0x51, 0,                                // TRXPOS
                                4, 1, 0x52, 0,                                // TRXREG: 4 x 1
                                0, 0, 0x53, 0,                                // TRXDIR: host to local
                                0x00008001, 0x08000000, 0, 0,                 // NLOOP 1, EOP, IMAGE
                                0x11111111, 0x22222222, 0x33333333, 0x44444444});
    writeSeed("gs_gif", "upload", Bytes(1, 1) + upload);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvane-fuzz-seeds CORPUS_DIR GUEST_PROGRAMS_DIR\n");
        return 2;
    }
    corpus = argv[1];
    fs::create_directories(corpus);
    const std::vector<fs::path> programs = smallestPrograms(argv[2], 3);
    for (const fs::path& program : programs) writeSeed("elf_loader", program.filename().string(), readBytes(program));
    writeSeed("elf_loader", "not-elf", "BOOT2 = cdrom0:\\SLES_123.45;1\n");
    discSeeds(programs.empty() ? Bytes("\x7F" "ELF") : readBytes(programs.front()));
    sjdfSeeds();
    vifSeeds();
    dmaSeeds();
    rpcSeeds();
    gifSeeds();
    return 0;
}
