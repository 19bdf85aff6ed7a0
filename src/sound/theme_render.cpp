#include "sound/theme_render.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "sound/channel_rules.h"
#include "sound/command_parser.h"

namespace sound {

namespace {

uint32_t be16(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }
uint32_t be32(const uint8_t* p) { return (be16(p) << 16) | be16(p + 2); }
uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint64_t le64(const uint8_t* p) { return uint64_t{le32(p)} | (uint64_t{le32(p + 4)} << 32); }

// --- SHA-256 (FIPS 180-4) ---------------------------------------------------

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void sha256Block(uint32_t h[8], const uint8_t* block) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) w[i] = be32(block + 4 * i);
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 = k + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const uint32_t out[8] = {a, b, c, d, e, f, g, k};
    for (int i = 0; i < 8; ++i) h[i] += out[i];
}

// --- MIDI -------------------------------------------------------------------

// A variable-length number of at most four bytes, read at `at` and moved
// past; false when it runs past `end`.
bool varLen(const std::vector<uint8_t>& b, size_t& at, size_t end, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4 && at < end; ++i) {
        const uint8_t c = b[at++];
        value = (value << 7) | (c & 0x7F);
        if (!(c & 0x80)) return true;
    }
    return false;
}

// The ticks of one track, and its tempo changes; false when it does not parse.
bool readTrack(const std::vector<uint8_t>& b, size_t at, size_t end, uint64_t& ticks,
               std::vector<std::pair<uint64_t, uint32_t>>& tempos) {
    uint64_t tick = 0;
    uint8_t status = 0;
    while (at < end) {
        uint32_t delta = 0, length = 0;
        if (!varLen(b, at, end, delta) || at >= end) return false;
        tick += delta;
        const uint8_t c = b[at];
        if (c == 0xFF) {
            if (end - at < 2) return false;
            const uint8_t type = b[at + 1];
            at += 2;
            if (!varLen(b, at, end, length) || length > end - at) return false;
            if (type == 0x51 && length == 3) tempos.emplace_back(tick, (be16(&b[at]) << 8) | b[at + 2]);
            at += length;
            if (type == 0x2F) break;  // the end of the track
        } else if (c == 0xF0 || c == 0xF7) {
            ++at;
            if (!varLen(b, at, end, length) || length > end - at) return false;
            at += length;
            status = 0;
        } else {
            if (c & 0x80) {
                status = c;
                ++at;
            } else if (!status) {
                return false;
            }
            const unsigned kind = status & 0xF0u;
            const size_t data = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
            if (data > end - at) return false;
            at += data;
        }
    }
    ticks = tick;
    return true;
}

// --- Ogg --------------------------------------------------------------------

// The Ogg pages' checksum: CRC-32 with the polynomial 0x04C11DB7, most
// significant bit first, starting from 0.
const std::array<uint32_t, 256>& oggCrcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    return table;
}

uint32_t oggCrc(uint32_t crc, const uint8_t* p, size_t n) {
    const auto& table = oggCrcTable();
    for (size_t i = 0; i < n; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ p[i]) & 0xFF];
    return crc;
}

// A page's checksum is taken with its own checksum field as zeros.
uint32_t pageChecksum(const uint8_t* page, size_t size) {
    static const uint8_t zeros[4] = {};
    uint32_t crc = oggCrc(0, page, 22);
    crc = oggCrc(crc, zeros, 4);
    return oggCrc(crc, page + 26, size - 26);
}

bool pageChecksumRight(const uint8_t* page, size_t size) { return pageChecksum(page, size) == le32(page + 22); }

bool isVorbisHeader(const std::vector<uint8_t>& packet, uint8_t type) {
    return packet.size() >= 7 && packet[0] == type && std::memcmp(packet.data() + 1, "vorbis", 6) == 0;
}

constexpr std::string_view kMidiKey = "MIDI_SHA256=";
constexpr std::string_view kOwnKey = "RENDER_SHA256=";
constexpr size_t kHexDigits = 64;

// Where the render's own hash is written: its place in the comment packet,
// then in the file.
struct OwnHashAt {
    size_t inPacket = 0;
    bool found = false;
    size_t inFile = 0;
    size_t pageStart = 0, pageSize = 0;  // the page that holds all of it
    bool placed = false;
};

// The identification header gives the rate; the comment header the hashes.
bool readHeader(const std::vector<uint8_t>& packet, int index, RenderInfo& info, OwnHashAt& own) {
    if (index == 0) {
        if (!isVorbisHeader(packet, 1) || packet.size() < 30) return false;
        info.rate = le32(packet.data() + 12);
        return info.rate > 0;
    }
    if (!isVorbisHeader(packet, 3)) return false;
    const size_t n = packet.size();
    size_t at = 7;
    const uint8_t* p = packet.data();
    if (n - at < 4 || le32(p + at) > n - at - 4) return false;
    at += 4 + le32(p + at);  // the encoder's name
    if (n - at < 4) return false;
    const uint32_t comments = le32(p + at);
    at += 4;
    for (uint32_t i = 0; i < comments; ++i) {
        if (n - at < 4 || le32(p + at) > n - at - 4) return false;
        const size_t length = le32(p + at);
        const std::string_view comment(reinterpret_cast<const char*>(p + at + 4), length);
        if (comment.size() > kMidiKey.size() && equalIgnoringCase(comment.substr(0, kMidiKey.size()), kMidiKey))
            info.midiSha256 = std::string(comment.substr(kMidiKey.size()));
        if (comment.size() == kOwnKey.size() + kHexDigits && comment.substr(0, kOwnKey.size()) == kOwnKey) {
            if (own.found) return false;  // a render has one hash of its own
            own.found = true;
            own.inPacket = at + 4 + kOwnKey.size();
        }
        at += 4 + length;
    }
    return true;
}

}  // namespace

std::string renderOf(const std::string& gameName) {
    if (fileKind(gameName) != FileKind::kMusic) return {};
    return gameName.substr(0, gameName.size() - 4) + ".ogg";
}

std::string sha256Hex(const uint8_t* bytes, size_t size) {
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    size_t done = 0;
    for (; size - done >= 64; done += 64) sha256Block(h, bytes + done);
    // The rest, a 1 bit, zeros, and the length in bits: one or two blocks.
    uint8_t tail[128] = {};
    const size_t rest = size - done;
    if (rest) std::memcpy(tail, bytes + done, rest);
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = uint64_t{size} * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    for (size_t at = 0; at < tailSize; at += 64) sha256Block(h, tail + at);
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (uint32_t word : h)
        for (int shift = 28; shift >= 0; shift -= 4) hex += digits[(word >> shift) & 0xF];
    return hex;
}

std::optional<double> midiPlayingTimeMs(const std::vector<uint8_t>& b) {
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) return std::nullopt;
    const uint32_t headLength = be32(b.data() + 4);
    if (headLength < 6 || headLength > b.size() - 8) return std::nullopt;
    const uint32_t division = be16(b.data() + 12);
    if ((division & 0x7FFF) == 0 || ((division & 0x8000) && (division & 0xFF) == 0)) return std::nullopt;
    std::vector<std::pair<uint64_t, uint32_t>> tempos;  // at which tick, how many µs a quarter note
    uint64_t endTick = 0;
    bool anyTrack = false;
    for (size_t at = 8 + headLength; at < b.size();) {
        if (b.size() - at < 8) return std::nullopt;
        const uint32_t length = be32(b.data() + at + 4);
        if (length > b.size() - at - 8) return std::nullopt;
        if (std::memcmp(b.data() + at, "MTrk", 4) == 0) {
            uint64_t ticks = 0;
            if (!readTrack(b, at + 8, at + 8 + length, ticks, tempos)) return std::nullopt;
            endTick = std::max(endTick, ticks);
            anyTrack = true;
        }
        at += 8 + length;
    }
    if (!anyTrack) return std::nullopt;
    if (division & 0x8000) {
        // Time code: frames a second (29 stands for 29.97) and ticks a frame.
        const int fps = 256 - static_cast<int>(division >> 8);
        const double framesPerSecond = fps == 29 ? 29.97 : fps;
        return static_cast<double>(endTick) * 1000.0 / (framesPerSecond * (division & 0xFF));
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    double ms = 0;
    uint64_t from = 0;
    uint32_t quarterUs = 500000;  // 120 beats a minute until a tempo is set
    for (const auto& [tick, us] : tempos) {
        if (tick >= endTick) break;
        ms += static_cast<double>(tick - from) * quarterUs / (1000.0 * division);
        from = tick;
        quarterUs = us;
    }
    return ms + static_cast<double>(endTick - from) * quarterUs / (1000.0 * division);
}

std::optional<RenderInfo> inspectRender(const std::vector<uint8_t>& b) {
    RenderInfo info;
    std::vector<uint8_t> packet;
    OwnHashAt own;
    // Where each piece of the packet being gathered lies: at which byte of
    // the file, how long, and on which page.
    struct Piece {
        size_t inFile, size, pageStart, pageSize;
    };
    std::vector<Piece> pieces;
    int headers = 0;
    uint32_t serial = 0, sequence = 0;
    bool ended = false;
    for (size_t at = 0; at < b.size();) {
        const uint8_t* page = b.data() + at;
        const size_t left = b.size() - at;
        if (ended || left < 27 || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0) return std::nullopt;
        const size_t segments = page[26];
        if (left - 27 < segments) return std::nullopt;
        size_t size = 27 + segments;
        for (size_t i = 0; i < segments; ++i) size += page[27 + i];
        if (size > left || !pageChecksumRight(page, size)) return std::nullopt;
        // One stream: the first page begins it, each page follows the last.
        const bool first = at == 0;
        if (first != ((page[5] & 2) != 0)) return std::nullopt;
        if (first) serial = le32(page + 14);
        if (le32(page + 14) != serial || le32(page + 18) != sequence++) return std::nullopt;
        ended = (page[5] & 4) != 0;
        // Only the two headers' packets are read; the sound is left to the decoder.
        const uint8_t* body = page + 27 + segments;
        for (size_t i = 0; i < segments && headers < 2; ++i) {
            pieces.push_back({static_cast<size_t>(body - b.data()), page[27 + i], at, size});
            packet.insert(packet.end(), body, body + page[27 + i]);
            body += page[27 + i];
            if (page[27 + i] == 255) continue;
            if (!readHeader(packet, headers++, info, own)) return std::nullopt;
            if (own.found && !own.placed) {
                // The hash's 64 digits, found in the file: all on one page,
                // where a packet's pieces follow each other.
                size_t skip = own.inPacket;
                for (const Piece& piece : pieces) {
                    if (skip < piece.size) {
                        own.inFile = piece.inFile + skip;
                        own.pageStart = piece.pageStart;
                        own.pageSize = piece.pageSize;
                        own.placed = own.inFile + kHexDigits <= own.pageStart + own.pageSize;
                        break;
                    }
                    skip -= piece.size;
                }
                if (!own.placed) return std::nullopt;
            }
            packet.clear();
            pieces.clear();
        }
        info.frames = le64(page + 6);
        at += size;
    }
    // The last page's granule position is the stream's length in frames.
    if (!ended || headers < 2 || info.frames >> 63 || !own.placed) return std::nullopt;
    // The render's bytes are the build's: its own hash is the SHA-256 of the
    // file as it was with that hash written as 64 zeros (its page's
    // checksum taken again), before the hash was known.
    std::vector<uint8_t> asHashed = b;
    std::memset(asHashed.data() + own.inFile, '0', kHexDigits);
    uint8_t* hashPage = asHashed.data() + own.pageStart;
    const uint32_t crc = pageChecksum(hashPage, own.pageSize);
    for (int i = 0; i < 4; ++i) hashPage[22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    const std::string_view written(reinterpret_cast<const char*>(b.data() + own.inFile), kHexDigits);
    if (!equalIgnoringCase(written, sha256Hex(asHashed.data(), asHashed.size()))) return std::nullopt;
    return info;
}

bool renderStandsFor(const RenderInfo& render, const std::vector<uint8_t>& midi) {
    if (render.rate == 0 || !equalIgnoringCase(render.midiSha256, sha256Hex(midi.data(), midi.size()))) return false;
    const std::optional<double> playing = midiPlayingTimeMs(midi);
    if (!playing) return false;
    const double lengthMs = static_cast<double>(render.frames) * 1000.0 / render.rate;
    return lengthMs >= *playing && lengthMs <= *playing + kLongestRingOutMs;
}

uint64_t renderFrameAt(uint32_t fromMs, uint32_t rate) { return uint64_t{fromMs} * rate / 1000; }

}  // namespace sound
