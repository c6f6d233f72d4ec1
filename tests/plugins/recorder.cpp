#include <deque>
#include <map>

#include "plugin_record.h"
#include "recording.h"

namespace {

struct Recording {
    std::vector<RecordedCall> calls;
    std::map<std::string, std::deque<std::pair<u32, u32>>> keyEvents;
    std::map<std::string, std::deque<u8>> pollAnswers;
    std::map<u32, u64> gsReadAnswers;
    std::function<void(const RecordedCall&)> afterCall;
};

// Never destroyed: plugins still loaded at exit record their "unload" from
// their own destructors, which may run after this library's static objects
// are gone.
Recording& recording() {
    static Recording* const state = new Recording;
    return *state;
}

}  // namespace

extern "C" void recorderCall(const char* library, const char* entry, const uint64_t* args, unsigned argCount,
                             const char* text) {
    recording().calls.push_back({library, entry, std::vector<u64>(args, args + argCount), text ? text : "", {}});
    if (recording().afterCall) recording().afterCall(recording().calls.back());
}

extern "C" void recorderData(const uint32_t* words, uint32_t count) {
    if (!recording().calls.empty()) recording().calls.back().data.assign(words, words + count);
}

extern "C" int recorderNextKeyEvent(const char* library, uint32_t* key, uint32_t* event) {
    auto& queue = recording().keyEvents[library];
    if (queue.empty()) return 0;
    *key = queue.front().first;
    *event = queue.front().second;
    queue.pop_front();
    return 1;
}

extern "C" int recorderNextPollAnswer(const char* library, uint8_t* answer) {
    auto& queue = recording().pollAnswers[library];
    if (queue.empty()) return 0;
    *answer = queue.front();
    queue.pop_front();
    return 1;
}

extern "C" int recorderGsReadAnswer(uint32_t address, uint64_t* value) {
    const auto found = recording().gsReadAnswers.find(address);
    if (found == recording().gsReadAnswers.end()) return 0;
    *value = found->second;
    return 1;
}

std::vector<RecordedCall> recordedCalls() { return recording().calls; }

std::vector<std::string> recordedEntries(const std::string& library) {
    std::vector<std::string> entries;
    for (const RecordedCall& call : recording().calls) {
        if (library.empty() || call.library == library) entries.push_back(call.library + ":" + call.entry);
    }
    return entries;
}

void clearRecording() {
    recording().calls.clear();
    recording().keyEvents.clear();
    recording().pollAnswers.clear();
    recording().gsReadAnswers.clear();
    recording().afterCall = nullptr;
}

void scriptKeyEvents(const std::string& library, const std::vector<std::pair<u32, u32>>& keyAndEvent) {
    recording().keyEvents[library].assign(keyAndEvent.begin(), keyAndEvent.end());
}

void scriptPollAnswers(const std::string& library, const std::vector<u8>& answers) {
    recording().pollAnswers[library].assign(answers.begin(), answers.end());
}

void scriptGsRead(u32 address, u64 value) { recording().gsReadAnswers[address] = value; }

void onRecordedCall(std::function<void(const RecordedCall&)> action) { recording().afterCall = std::move(action); }
