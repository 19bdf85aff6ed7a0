// Reading a sound file whole, after a look at what it is: only a regular
// file no larger than the bound for its kind is read, so a huge file, a
// FIFO or a device (/dev/zero) in place of a sound costs neither time nor
// memory, and fails like a missing one. Every back end reads its files so.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sound {

// The bounds, each far above what the game ships (the MIDI files are 7 and
// 27 kB, the effects 37 to 84 kB, the renders 1.2 and 1.8 MB).
inline constexpr size_t kLargestMidiBytes = size_t{1} << 20;     // a MIDI file: 1 MiB
inline constexpr size_t kLargestEffectBytes = size_t{16} << 20;  // a WAV file: 16 MiB, 95 s of CD sound
inline constexpr size_t kLargestRenderBytes = size_t{16} << 20;  // a theme's render: 16 MiB

// The bytes of the file at `path` into `out`, when it is a regular file of
// at most `limit` bytes that can be read; false, and `out` left alone,
// otherwise.
bool readSoundFile(const std::string& path, size_t limit, std::vector<uint8_t>& out);

}  // namespace sound
