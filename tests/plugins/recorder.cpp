#include <deque>
#include <map>

#include "plugin_record.h"
#include "recording.h"

namespace {

std::vector<RecordedCall> calls;
std::map<std::string, std::deque<std::pair<u32, u32>>> keyEvents;
std::map<std::string, std::deque<u8>> pollAnswers;
std::map<u32, u64> gsReadAnswers;

}  // namespace

extern "C" void recorderCall(const char* library, const char* entry, const uint64_t* args, unsigned argCount,
                             const char* text) {
    calls.push_back({library, entry, std::vector<u64>(args, args + argCount), text ? text : "", {}});
}

extern "C" void recorderData(const uint32_t* words, uint32_t count) {
    if (!calls.empty()) calls.back().data.assign(words, words + count);
}

extern "C" int recorderNextKeyEvent(const char* library, uint32_t* key, uint32_t* event) {
    auto& queue = keyEvents[library];
    if (queue.empty()) return 0;
    *key = queue.front().first;
    *event = queue.front().second;
    queue.pop_front();
    return 1;
}

extern "C" int recorderNextPollAnswer(const char* library, uint8_t* answer) {
    auto& queue = pollAnswers[library];
    if (queue.empty()) return 0;
    *answer = queue.front();
    queue.pop_front();
    return 1;
}

extern "C" int recorderGsReadAnswer(uint32_t address, uint64_t* value) {
    const auto found = gsReadAnswers.find(address);
    if (found == gsReadAnswers.end()) return 0;
    *value = found->second;
    return 1;
}

std::vector<RecordedCall> recordedCalls() { return calls; }

std::vector<std::string> recordedEntries(const std::string& library) {
    std::vector<std::string> entries;
    for (const RecordedCall& call : calls) {
        if (library.empty() || call.library == library) entries.push_back(call.library + ":" + call.entry);
    }
    return entries;
}

void clearRecording() {
    calls.clear();
    keyEvents.clear();
    pollAnswers.clear();
    gsReadAnswers.clear();
}

void scriptKeyEvents(const std::string& library, const std::vector<std::pair<u32, u32>>& keyAndEvent) {
    keyEvents[library].assign(keyAndEvent.begin(), keyAndEvent.end());
}

void scriptPollAnswers(const std::string& library, const std::vector<u8>& answers) {
    pollAnswers[library].assign(answers.begin(), answers.end());
}

void scriptGsRead(u32 address, u64 value) { gsReadAnswers[address] = value; }
