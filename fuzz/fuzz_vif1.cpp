// A VIF1 command stream, handed over in pieces as a DMA chain hands it:
// the first byte sets the piece length in words, so that payloads are cut
// at every place. The commands load and start VU1 micro-programs, which run
// on whatever micro memory holds, under one guest instruction's budget.
#include <algorithm>
#include <vector>

#include "core/work_budget.h"
#include "fuzz/fuzz_machine.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    fuzzMachineUp();
    FuzzInput input(data, size);
    const u32 pieceWords = input.take<u8>() % 64 + 1;
    const u32 words = static_cast<u32>(input.restSize() / 4);
    std::vector<u32> stream(words);
    if (words != 0) std::memcpy(stream.data(), input.rest(), 4 * std::size_t{words});
    vuReset();
    vifReset();
    WorkScope oneStore;
    for (u32 at = 0; at < words; at += pieceWords) {
        vifCommandStream(stream.data() + at, std::min(pieceWords, words - at));
    }
    return 0;
}
