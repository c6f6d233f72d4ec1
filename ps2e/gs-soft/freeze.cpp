#include "ps2e/gs-soft/freeze.h"

#include <memory>

#include "ps2e/gs-soft/gs_state.h"
#include "state/state_stream.h"

namespace gs {

namespace {

constexpr uint32_t kStateFormat = 1;

template <typename Io>
void fieldsOf(Io& io, Vertex& vertex) {
    io.field(vertex.x);
    io.field(vertex.y);
    io.field(vertex.z);
    io.field(vertex.rgba);
    io.field(vertex.q);
    io.field(vertex.s);
    io.field(vertex.t);
    io.field(vertex.u);
    io.field(vertex.v);
    io.field(vertex.fog);
}

template <typename Io>
void fieldsOf(Io& io, TransferArea& area) {
    io.field(area.active);
    io.field(area.psm);
    io.field(area.bp);
    io.field(area.bw);
    io.field(area.left);
    io.field(area.width);
    io.field(area.bottom);
    io.field(area.x);
    io.field(area.y);
}

template <typename Io>
void fieldsOf(Io& io, HostTransfer& transfer) {
    fieldsOf(io, static_cast<TransferArea&>(transfer));
    io.field(transfer.pendingBits);
    io.field(transfer.pendingCount);
}

template <typename Io>
void fieldsOf(Io& io, LocalTransfer& readback) {
    fieldsOf(io, static_cast<TransferArea&>(readback));
    io.field(readback.pendingBits);
    io.field(readback.pendingCount);
}

// Everything but local memory, which goes as one block.
template <typename Io>
void fieldsOf(Io& io, GsState& gs) {
    io.field(gs.reg);
    io.field(gs.packedQ);
    for (Vertex& vertex : gs.queue) fieldsOf(io, vertex);
    io.field(gs.queued);
    io.field(gs.clut);
    io.field(gs.cbp0);
    io.field(gs.cbp1);
    fieldsOf(io, gs.transfer);
    fieldsOf(io, gs.readback);
    io.field(gs.privileged.display);
    io.field(gs.privileged.csr);
    io.field(gs.privileged.imr);
    io.field(gs.privileged.busdir);
    io.field(gs.privileged.siglblid);
    io.field(gs.generation);
}

}  // namespace

std::vector<uint8_t> saveState(GifParser& path3) {
    StateWriter writer;
    writer.field(kStateFormat);
    fieldsOf(writer, state);
    path3.fields(writer);
    writer.bytes(state.memory.words(), kLocalMemoryBytes);
    return std::move(writer.data());
}

bool loadState(const uint8_t* bytes, size_t size, GifParser& path3) {
    StateReader reader(bytes, size);
    uint32_t format = 0;
    reader.field(format);
    reader.require(format == kStateFormat);
    // The registers are checked in a copy; local memory is large and goes
    // straight in once everything before it has been read.
    auto loaded = std::make_unique<GsState>();
    fieldsOf(reader, *loaded);
    GifParser parser;
    parser.fields(reader);
    reader.require(loaded->queued < loaded->queue.size() && loaded->transfer.pendingCount < 4 &&
                   loaded->readback.pendingCount < 64 && parser.plausible());
    if (reader.failed() || reader.left() != kLocalMemoryBytes) return false;
    reader.bytes(loaded->memory.words(), kLocalMemoryBytes);
    state = *loaded;
    path3 = parser;
    return true;
}

}  // namespace gs
