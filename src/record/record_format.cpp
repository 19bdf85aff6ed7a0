#include "record/record_format.h"

#include "record/record_bytes.h"
#include "record/rules_identity.h"

using namespace record_bytes;

namespace {

constexpr char kMagic[3] = {'T', 'v', 'k'};
constexpr size_t kMostVersionChars = 32;

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads the header's fields in turn; any read past the end fails.
struct Cursor {
    const uint8_t* p;
    size_t left;
    bool ok = true;
    uint8_t byte() {
        if (left == 0) return ok = false, 0;
        --left;
        return *p++;
    }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }
    uint32_t varint() {
        uint32_t v = 0;
        for (int shift = 0; shift < 35 && ok; shift += 7) {
            const uint8_t b = byte();
            if (shift == 28 && b > 0x0F) ok = false;
            v |= static_cast<uint32_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        ok = false;
        return 0;
    }
};

RecordRead failed(std::string why) { return {std::nullopt, std::move(why)}; }

constexpr char kDamaged[] = "the replay is damaged: cut short or altered";

}  // namespace

std::string gameVersion() { return TORVENKA_VERSION; }

uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::vector<uint8_t> writeRecord(const DiveRecord& r) {
    std::vector<uint8_t> out;
    out.reserve(64 + r.body.size());
    for (char ch : kMagic) out.push_back(static_cast<uint8_t>(ch));
    out.push_back(kRecordFormat);
    const std::string version = gameVersion().substr(0, kMostVersionChars);
    out.push_back(static_cast<uint8_t>(version.size()));
    for (char ch : version) out.push_back(static_cast<uint8_t>(ch));
    put32(out, kRulesIdentity);
    putVarint(out, r.seed);
    putVarint(out, r.endSteps);
    out.push_back(r.ended ? 1 : 0);
    put32(out, r.endDigest);
    putVarint(out, static_cast<uint32_t>(r.body.size()));
    out.insert(out.end(), r.body.begin(), r.body.end());
    put32(out, crc32Of(out.data(), out.size()));
    return out;
}

RecordRead readRecord(const uint8_t* data, size_t size) {
    if (size == 0) return failed("the replay is empty");
    if (size > kMostRecordFileBytes) return failed("the replay is too large to be a dive");
    for (size_t i = 0; i < sizeof kMagic; ++i)
        if (i >= size || data[i] != static_cast<uint8_t>(kMagic[i])) return failed("this is not a Torvenka replay");
    if (size < sizeof kMagic + 4) return failed(kDamaged);
    const size_t signedPart = size - 4;
    Cursor tail{data + signedPart, 4};
    if (crc32Of(data, signedPart) != tail.u32()) return failed(kDamaged);

    Cursor c{data + sizeof kMagic, signedPart - sizeof kMagic};
    const uint8_t format = c.byte();
    const uint8_t versionChars = c.byte();
    if (!c.ok || versionChars > kMostVersionChars || versionChars > c.left) return failed(kDamaged);
    std::string version(reinterpret_cast<const char*>(c.p), versionChars);
    for (char& ch : version)
        if (ch < 0x20 || ch > 0x7E) ch = '?';
    c.p += versionChars;
    c.left -= versionChars;
    if (format != kRecordFormat)
        return failed("recorded by Torvenka " + version + ", whose replays this version cannot read");
    if (c.u32() != kRulesIdentity || !c.ok) return failed("recorded by Torvenka " + version + ", which plays differently");

    DiveRecord r;
    r.seed = c.varint();
    r.endSteps = c.varint();
    const uint8_t flags = c.byte();
    r.endDigest = c.u32();
    const uint32_t bodySize = c.varint();
    if (!c.ok || flags > 1 || bodySize != c.left) return failed(kDamaged);
    r.ended = flags == 1;
    if (r.endSteps > kMostRecordSteps) return failed("the replay's events run past the end of its dive");
    r.body.assign(c.p, c.p + bodySize);

    // Every event must read, and the events must end where the dive did.
    RecordReader reader(r.body);
    RecordedEvent e;
    while (reader.next(e)) {
        if (e.at.steps > r.endSteps) return failed("the replay's events run past the end of its dive");
    }
    if (!reader.error().empty()) return failed("the replay is damaged: " + reader.error());
    if (reader.position().steps != r.endSteps) return failed("the replay's events run past the end of its dive");
    return {std::move(r), ""};
}

namespace {

constexpr char kBase64Url[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int base64Value(char ch) {
    if (ch >= 'A' && ch <= 'Z') return ch - 'A';
    if (ch >= 'a' && ch <= 'z') return ch - 'a' + 26;
    if (ch >= '0' && ch <= '9') return ch - '0' + 52;
    if (ch == '-') return 62;
    if (ch == '_') return 63;
    return -1;
}

}  // namespace

std::string linkText(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    uint32_t bits = 0;
    int held = 0;
    for (uint8_t b : bytes) {
        bits = (bits << 8) | b;
        held += 8;
        while (held >= 6) {
            held -= 6;
            out.push_back(kBase64Url[(bits >> held) & 63]);
        }
    }
    if (held > 0) out.push_back(kBase64Url[(bits << (6 - held)) & 63]);
    return out;
}

RecordRead readLinkText(std::string_view text) {
    if (text.empty()) return failed("the replay is empty");
    if (text.size() > kMostRecordLinkChars) return failed("the replay is too large to be a dive");
    if (text.size() % 4 == 1) return failed(kDamaged);  // no whole byte ends there
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 3 / 4);
    uint32_t bits = 0;
    int held = 0;
    for (char ch : text) {
        const int v = base64Value(ch);
        if (v < 0) return failed("this is not a Torvenka replay");
        bits = (bits << 6) | static_cast<uint32_t>(v);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<uint8_t>(bits >> held));
        }
    }
    if ((bits & ((1u << held) - 1)) != 0) return failed(kDamaged);  // stray bits past the last byte
    return readRecord(bytes);
}
