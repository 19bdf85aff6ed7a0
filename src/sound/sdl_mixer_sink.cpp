#include "sound/sdl_mixer_sink.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

// Only one sink drives the mixer at a time.
std::atomic<bool> g_mixerHeld{false};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Splits a command into words; a word in double quotes may hold spaces.
// Returns false for an unterminated quote or a quote inside a word.
bool splitWords(const std::string& s, std::vector<std::string>& out) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (c == '"') {
            const size_t end = s.find('"', i + 1);
            if (end == std::string::npos) return false;
            if (end + 1 < s.size() && !std::isspace(static_cast<unsigned char>(s[end + 1]))) return false;
            out.push_back(s.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < s.size() && !std::isspace(static_cast<unsigned char>(s[end]))) {
                if (s[end] == '"') return false;
                ++end;
            }
            out.push_back(s.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

// A position in milliseconds: decimal digits only.
bool parsePosition(const std::string& w, uint32_t& ms) {
    if (w.empty() || w.size() > 10) return false;
    uint64_t v = 0;
    for (char c : w) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > std::numeric_limits<int32_t>::max()) return false;
    ms = static_cast<uint32_t>(v);
    return true;
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    // SDL reads memory through an int-sized window.
    if (std::filesystem::file_size(path, ec) > static_cast<uintmax_t>(std::numeric_limits<int>::max()) || ec)
        return false;
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return !f.bad();
}

uint32_t be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// A standard MIDI file: the "MThd" header chunk, then chunks that all fit in
// the file, at least one of them an "MTrk" track. FluidSynth would accept
// anything here and only fail (and complain) once playing, so a file that
// is not a MIDI file is turned away at the door.
bool looksLikeMidi(const std::vector<uint8_t>& b) {
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) return false;
    const uint32_t headLen = be32(b.data() + 4);
    if (headLen < 6 || headLen > b.size() - 8) return false;
    const unsigned tracks = (unsigned{b[10]} << 8) | b[11];
    if (tracks == 0) return false;
    size_t at = 8 + headLen;
    unsigned found = 0;
    while (at < b.size()) {
        if (b.size() - at < 8) return false;
        const uint32_t len = be32(b.data() + at + 4);
        if (len > b.size() - at - 8) return false;
        if (std::memcmp(b.data() + at, "MTrk", 4) == 0) ++found;
        at += 8 + len;
    }
    return found > 0;
}

// A RIFF WAVE file. SDL_mixer would otherwise try every music decoder on it.
bool looksLikeWave(const std::vector<uint8_t>& b) {
    return b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "WAVE", 4) == 0;
}

bool hasExtension(const std::string& path, const char* ext) {
    return lower(std::filesystem::path(path).extension().string()) == ext;
}

int soundFontExists(const char* path, void*) {
    std::error_code ec;
    return path && *path && std::filesystem::is_regular_file(path, ec) ? 1 : 0;
}

// FluidSynth, which SDL_mixer links for MIDI, writes its complaints to
// stderr. The game never prints, so they are dropped. FluidSynth is already
// in the process (SDL_mixer needs it); nothing is loaded here.
void silenceFluidSynth() {
    void* h = dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_NOLOAD);
    if (!h) return;
    using LogFn = void (*)(int, const char*, void*);
    using SetLogFn = LogFn (*)(int, LogFn, void*);
    if (auto set = reinterpret_cast<SetLogFn>(dlsym(h, "fluid_set_log_function"))) {
        for (int level = 0; level <= 4; ++level) set(level, [](int, const char*, void*) {}, nullptr);
    }
    dlclose(h);
}

// ALSA, when SDL chose it, reports a missing sound card on stderr before SDL
// gets to return its error. Those reports are dropped as well.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
    void* h = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!h) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(h, "snd_lib_error_set_handler"))) set(quietAlsa);
    dlclose(h);
}

}  // namespace

SdlMixerSink::SdlMixerSink() {
    bool expected = false;
    if (!g_mixerHeld.compare_exchange_strong(expected, true)) return;
    // SDL_SOUNDFONTS, when set, names the soundfonts to use even where the
    // distribution's SDL_mixer has a default of its own.
    SDL_SetHintWithPriority("SDL_FORCE_SOUNDFONTS", "1", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        g_mixerHeld = false;
        return;
    }
    silenceAlsa();
    Mix_Init(MIX_INIT_MID);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_mixerHeld = false;
        return;
    }
    int channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq_, &format, &channels);
    frameBytes_ = channels * static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8);
    if (!Mix_EachSoundFont(soundFontExists, nullptr) && soundFontExists(kFallbackSoundFont, nullptr))
        Mix_SetSoundFonts(kFallbackSoundFont);
    silenceFluidSynth();
    channelInUse_.assign(static_cast<size_t>(Mix_AllocateChannels(-1)), false);
    ready_ = true;
}

SdlMixerSink::~SdlMixerSink() {
    if (!ready_) return;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    for (auto& [alias, d] : devices_) release(d);
    devices_.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_mixerHeld = false;
}

bool SdlMixerSink::isOpen(const std::string& alias) const {
    try {
        return devices_.count(lower(alias)) != 0;
    } catch (...) {
        return false;
    }
}

int SdlMixerSink::send(const std::string& command) {
    try {
        return run(command);
    } catch (...) {
        return kLoad;  // out of memory while reading a file
    }
}

int SdlMixerSink::run(const std::string& command) {
    if (!ready_) return kNoAudio;
    std::vector<std::string> w;
    if (!splitWords(command, w) || w.empty()) return kSyntax;
    const std::string verb = lower(w[0]);
    if (verb == "open") {
        // open "<path>" alias <name>
        if (w.size() != 4 || lower(w[2]) != "alias" || w[1].empty()) return kSyntax;
        return open(w[1], lower(w[3]));
    }
    if (verb == "play") {
        // play <alias> from <ms> [notify]
        uint32_t ms = 0;
        if (w.size() < 4 || w.size() > 5 || lower(w[2]) != "from" || !parsePosition(w[3], ms)) return kSyntax;
        if (w.size() == 5 && lower(w[4]) != "notify") return kSyntax;
        return play(lower(w[1]), ms);
    }
    if (verb == "stop" || verb == "close") {
        if (w.size() != 2) return kSyntax;
        return verb == "stop" ? stop(lower(w[1])) : close(lower(w[1]));
    }
    return kSyntax;
}

int SdlMixerSink::open(const std::string& path, const std::string& alias) {
    if (devices_.count(alias)) return kAlias;
    const bool music = hasExtension(path, ".mid");
    if (!music && !hasExtension(path, ".wav")) return kLoad;
    Device d;
    d.music = music;
    std::vector<uint8_t> bytes;
    if (!readFile(path, bytes)) return kLoad;
    if (music) {
        if (!looksLikeMidi(bytes)) return kLoad;
        d.bytes = std::move(bytes);
        SDL_RWops* rw = SDL_RWFromConstMem(d.bytes.data(), static_cast<int>(d.bytes.size()));
        if (!rw) return kLoad;
        d.mus = Mix_LoadMUSType_RW(rw, MUS_MID, SDL_TRUE);
        if (!d.mus) return kLoad;
    } else {
        if (!looksLikeWave(bytes)) return kLoad;
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        if (!rw) return kLoad;
        d.chunk = Mix_LoadWAV_RW(rw, 1);  // the chunk keeps its own converted copy
        if (!d.chunk) return kLoad;
        d.channel = takeChannel();
        if (d.channel < 0) {
            release(d);
            return kLoad;
        }
    }
    devices_.emplace(alias, std::move(d));
    return kOk;
}

int SdlMixerSink::takeChannel() {
    for (size_t i = 0; i < channelInUse_.size(); ++i) {
        if (!channelInUse_[i]) {
            channelInUse_[i] = true;
            return static_cast<int>(i);
        }
    }
    const int n = static_cast<int>(channelInUse_.size());
    if (Mix_AllocateChannels(n + 1) != n + 1) return -1;
    channelInUse_.push_back(true);
    return n;
}

int SdlMixerSink::play(const std::string& alias, uint32_t fromMs) {
    auto it = devices_.find(alias);
    if (it == devices_.end()) return kAlias;
    Device& d = it->second;
    if (d.music) {
        if (Mix_PlayMusic(d.mus, 0) != 0) return kPlay;
        musicOwner_ = alias;
        // Where the decoder can seek, start later; the MIDI decoder cannot
        // and starts at the beginning.
        if (fromMs > 0) Mix_SetMusicPosition(fromMs / 1000.0);
        return kOk;
    }
    const uint64_t offset =
        static_cast<uint64_t>(fromMs) * static_cast<uint64_t>(freq_) / 1000u * static_cast<uint64_t>(frameBytes_);
    if (fromMs > 0 && offset >= d.chunk->alen) return kPlay;
    Mix_HaltChannel(d.channel);
    if (d.tail) {
        Mix_FreeChunk(d.tail);
        d.tail = nullptr;
    }
    Mix_Chunk* what = d.chunk;
    if (fromMs > 0) {
        d.tail = Mix_QuickLoad_RAW(d.chunk->abuf + offset, static_cast<Uint32>(d.chunk->alen - offset));
        if (!d.tail) return kPlay;
        what = d.tail;
    }
    return Mix_PlayChannel(d.channel, what, 0) == d.channel ? kOk : kPlay;
}

int SdlMixerSink::stop(const std::string& alias) {
    auto it = devices_.find(alias);
    if (it == devices_.end()) return kAlias;
    Device& d = it->second;
    if (d.music) {
        if (musicOwner_ == alias) {
            Mix_HaltMusic();
            musicOwner_.clear();
        }
    } else {
        Mix_HaltChannel(d.channel);
    }
    return kOk;
}

int SdlMixerSink::close(const std::string& alias) {
    auto it = devices_.find(alias);
    if (it == devices_.end()) return kAlias;
    if (musicOwner_ == alias) musicOwner_.clear();
    release(it->second);
    devices_.erase(it);
    return kOk;
}

void SdlMixerSink::release(Device& d) {
    if (d.mus) Mix_FreeMusic(d.mus);  // halts it first if it is playing
    d.mus = nullptr;
    if (d.channel >= 0) {
        Mix_HaltChannel(d.channel);
        channelInUse_[static_cast<size_t>(d.channel)] = false;
        d.channel = -1;
    }
    if (d.tail) Mix_FreeChunk(d.tail);
    d.tail = nullptr;
    if (d.chunk) Mix_FreeChunk(d.chunk);
    d.chunk = nullptr;
    d.bytes.clear();
}
