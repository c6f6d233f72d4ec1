// What the test plugins received, and the answers a test scripts for them.
// The plugins record every call they get (and their loads and unloads, as
// the entries "load" and "unload") into one shared log, in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/types.h"

struct RecordedCall {
    std::string library;    // the plugin's tag: gs, pad, pad_b, spu2, cdvd, bare_gs, ...
    std::string entry;      // the entry point's name, or "load" / "unload"
    std::vector<u64> args;  // pointers as their values; see each plugin for extras
    std::string text;       // GSopen's title, GSmakeSnapshot's directory
    std::vector<u32> data;  // GSgifTransfer and GSgifTransfer2: the words received
};

std::vector<RecordedCall> recordedCalls();
// "library:entry" for each call, in order; only those of `library` when it is given.
std::vector<std::string> recordedEntries(const std::string& library = "");
// Empties the log and every script.
void clearRecording();

// PADkeyEvent of `library` answers these, one per call, then null.
void scriptKeyEvents(const std::string& library, const std::vector<std::pair<u32, u32>>& keyAndEvent);
// PADpoll of `library` answers these bytes, one per call, then 0xFF.
void scriptPollAnswers(const std::string& library, const std::vector<u8>& answers);
// GSread32 and GSread64 of the recording GS answer `value` at `address` (0 elsewhere).
void scriptGsRead(u32 address, u64 value);
// Runs after each call is recorded (before its data), as if the plugin did
// something of its own meanwhile; an empty function removes it.
void onRecordedCall(std::function<void(const RecordedCall&)> action);
