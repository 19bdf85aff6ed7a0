// The input is a dive's record as a file, or as a link's text when it starts
// with '#': read it, and play what reads to its end in the headless window.
// Whatever the bytes, reading gives a record or one line, and a replay ends
// over or with one line; anything else aborts, which libFuzzer reports with
// the input that did it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "headless/replay.h"
#include "record/record_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RecordRead r = size > 0 && data[0] == '#'
                             ? readLinkText(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1))
                             : readRecord(data, size);
    if (r.record.has_value() == !r.error.empty() || r.error.find('\n') != std::string::npos) std::abort();
    if (!r.record) return 0;
    Dive d(r.record->seed);
    playRecordIn(d, *r.record, [] {});
    if (!d.loop.playbackOver() && d.loop.playbackProblem().empty()) std::abort();
    return 0;
}
