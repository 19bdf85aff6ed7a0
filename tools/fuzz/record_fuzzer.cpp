// The input is a dive's record as a file; as a link's text after a '#'; or,
// after a '!', as a file whose CRC is made good first, so that what lies
// behind it (the header and the events) is reached. Reading gives a record
// or one line, whatever the bytes, and what reads is played in the headless
// window to its end or to one line; anything else aborts, which libFuzzer
// reports with the input that did it. Seeds: a kept dive's file, and the same
// after a '!'.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "headless/replay.h"
#include "record/record_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RecordRead r;
    if (size > 0 && data[0] == '#') {
        r = readLinkText(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    } else if (size > 0 && data[0] == '!') {
        std::vector<uint8_t> bytes(data + 1, data + size);
        if (bytes.size() > 4) {
            const uint32_t crc = crc32Of(bytes.data(), bytes.size() - 4);
            for (size_t i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
        }
        r = readRecord(bytes);
    } else {
        r = readRecord(data, size);
    }
    if (r.record.has_value() == !r.error.empty() || r.error.find('\n') != std::string::npos) std::abort();
    if (!r.record) return 0;
    Dive d(r.record->seed);
    playRecordIn(d, *r.record, [] {});
    if (!d.loop.playbackOver() && d.loop.playbackProblem().empty()) std::abort();
    return 0;
}
