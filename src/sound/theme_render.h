// The themes' renders, in plain C++. The build plays each theme's MIDI file
// once through FluidSynth with the TimGM6mb soundfont and keeps the sound as
// an Ogg Vorbis file beside it (cmake/theme_renders.cmake). The page plays
// nothing else; the desktop plays a render in place of synthesising its MIDI
// file live, but only when the render was made from that very file and is
// the very file the build made: each render carries the SHA-256 of the MIDI
// bytes it was made from as a Vorbis comment, MIDI_SHA256=<64 hex digits>,
// and its own, RENDER_SHA256=<64 hex digits>: the SHA-256 of the render as
// it is with those digits written as zeros (and the checksum of their page
// taken again), which the build encodes first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sound {

// Where the render of a theme lies, by the name the game gives the theme:
// "dat/plomvex_s01.mid" is rendered to "dat/plomvex_s01.ogg" (the extension
// replaced, whatever its case). Empty for a file that is no theme.
std::string renderOf(const std::string& gameName);

// The SHA-256 of `size` bytes as 64 lower-case hex digits, as CMake's
// file(SHA256) writes it.
std::string sha256Hex(const uint8_t* bytes, size_t size);

// How long a standard MIDI file plays, in milliseconds: from its start to
// the end of its longest track, through its tempo changes. Nothing when the
// file does not parse.
std::optional<double> midiPlayingTimeMs(const std::vector<uint8_t>& midi);

// What a render says of itself, read from its Ogg pages.
struct RenderInfo {
    std::string midiSha256;  // its MIDI_SHA256 comment, empty when it has none
    uint32_t rate = 0;       // sample frames a second
    uint64_t frames = 0;     // its length in sample frames
};
// Nothing unless `ogg` is one whole Vorbis stream: every page in place with
// its checksum right, the last one marked as the end; and unless it holds
// its own RENDER_SHA256, on one page, and the file hashes to it. So a render
// cut short, with a damaged byte, or with other sound in well-formed pages
// is no render.
std::optional<RenderInfo> inspectRender(const std::vector<uint8_t>& ogg);

// The longest a render may sound after its MIDI file's last event: the
// synthesiser lets the last notes ring out (the boss theme's for 7 s).
inline constexpr double kLongestRingOutMs = 15000;

// Whether a render may be played for these MIDI bytes: it was made from
// them, and it ends where they do when synthesised, no earlier than their
// playing time and at most kLongestRingOutMs after it.
bool renderStandsFor(const RenderInfo& render, const std::vector<uint8_t>& midi);

// The first sample frame of a render that "play … from <ms>" sounds: the
// frame at that many milliseconds, rounded down (from 14 at 44.1 kHz is
// frame 617), where the page's WebAudio starts the same file.
uint64_t renderFrameAt(uint32_t fromMs, uint32_t rate);

}  // namespace sound
