// One form for a dive's record, as a file and as the text of a link.
//
// The bytes, in order (numbers little-endian, "varint" 7 bits a byte, low
// first, the top bit saying another byte follows):
//   "Tvk"                 what the file is
//   1 byte                the form's version, kRecordFormat
//   1 byte + that many    the version of the game that played it ("1.4.0")
//   4 bytes               the rules it was played under, kRulesIdentity
//   varint                the seed
//   varint                the steps run when it closed
//   1 byte                1: the dive reached its end; 0: the window closed first
//   4 bytes               stateDigest of the state it closed on
//   varint + that many    the events (record_bytes.h)
//   4 bytes               CRC-32 (the zlib one) of everything before
// The link's text is those bytes in base64url without padding, fit for the
// fragment of an address.
//
// Reading checks the size before anything else, then the CRC, then the
// version and the rules, then every event; what is wrong is one line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/dive_record.h"

inline constexpr uint8_t kRecordFormat = 1;
// The most bytes a record's file may have, and its link's text: checked
// before anything is decoded.
inline constexpr size_t kMostRecordFileBytes = kMostRecordBodyBytes + 64;
inline constexpr size_t kMostRecordLinkChars = (kMostRecordFileBytes + 2) / 3 * 4;

// The version of the game that writes records, as it names itself.
std::string gameVersion();

std::vector<uint8_t> writeRecord(const DiveRecord& r);

// A record read back, or the one line that says why not.
struct RecordRead {
    std::optional<DiveRecord> record;
    std::string error;
};
RecordRead readRecord(const uint8_t* data, size_t size);
inline RecordRead readRecord(const std::vector<uint8_t>& bytes) { return readRecord(bytes.data(), bytes.size()); }

std::string linkText(const std::vector<uint8_t>& bytes);
RecordRead readLinkText(std::string_view text);

// CRC-32 as zlib computes it, continued from crc (0 to start).
uint32_t crc32Of(const uint8_t* data, size_t size, uint32_t crc = 0);
