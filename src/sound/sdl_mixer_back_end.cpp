#include "sound/sdl_mixer_back_end.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

#include "sound/render_stream.h"
#include "sound/sound_font.h"
#include "sound/theme_render.h"

using namespace sound;

namespace {

// Only one back end drives the mixer at a time.
std::atomic<bool> g_mixerHeld{false};

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

SdlMixerBackEnd::SdlMixerBackEnd(const SoundFiles& files) : files_(files) {
    bool expected = false;
    if (!g_mixerHeld.compare_exchange_strong(expected, true)) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        g_mixerHeld = false;
        return;
    }
    silenceAlsa();
    // The MIDI synthesiser waits until a MIDI file has to be synthesised
    // (readySynthesiser); the themes' renders need nothing of SDL_mixer's
    // decoders (RenderStream).
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_mixerHeld = false;
        return;
    }
    Mix_QuerySpec(&freq_, &format_, &channels_);
    frameBytes_ = channels_ * static_cast<int>(SDL_AUDIO_BITSIZE(format_) / 8);
    channelInUse_.assign(static_cast<size_t>(Mix_AllocateChannels(-1)), false);
    ready_ = true;
}

// The first MIDI file to synthesise sets up SDL_mixer's synthesiser and
// chooses its soundfont, which FluidSynth then loads with the file: that is
// where its processor time and memory go, so a dive that plays renders never
// comes here.
void SdlMixerBackEnd::readySynthesiser() {
    if (synthesiserReady_) return;
    synthesiserReady_ = true;
    // SDL_SOUNDFONTS, when set, names the soundfonts to use even where the
    // distribution's SDL_mixer has a default of its own.
    SDL_SetHintWithPriority("SDL_FORCE_SOUNDFONTS", "1", SDL_HINT_DEFAULT);
    Mix_Init(MIX_INIT_MID);
    const std::optional<std::string> font = soundFontToSet(
        SDL_getenv("SDL_SOUNDFONTS"), [] { return Mix_EachSoundFont(soundFontExists, nullptr) != 0; },
        [](const char* path) { return soundFontExists(path, nullptr) != 0; });
    if (font) Mix_SetSoundFonts(font->c_str());
    silenceFluidSynth();
}

// The render of a theme, when there is one that stands for these MIDI
// bytes (sound/theme_render.h); a render that is missing, broken, made from
// another file or that the decoder cannot open is passed over.
std::unique_ptr<RenderStream> SdlMixerBackEnd::openRender(const std::string& gameName,
                                                          const std::vector<uint8_t>& midi) const {
    std::vector<uint8_t> ogg;
    if (!readFile(files_.locate(renderOf(gameName)), ogg)) return nullptr;
    const std::optional<RenderInfo> render = inspectRender(ogg);
    if (!render || !renderStandsFor(*render, midi)) return nullptr;
    return RenderStream::open(std::move(ogg), freq_, format_, channels_);
}

// Silences the one music stream, whichever piece is on it: a render on
// the music hook, or SDL_mixer's own music.
void SdlMixerBackEnd::silenceMusic() {
    RenderStream::unhook();
    Mix_HaltMusic();
}

SdlMixerBackEnd::Device::Device() = default;
SdlMixerBackEnd::Device::Device(Device&&) noexcept = default;
SdlMixerBackEnd::Device::~Device() = default;

SdlMixerBackEnd::~SdlMixerBackEnd() {
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

bool SdlMixerBackEnd::isOpen(const std::string& alias) const {
    for (const auto& [name, d] : devices_)
        if (equalIgnoringCase(name, alias)) return true;
    return false;
}

Result SdlMixerBackEnd::open(const Open& op) {
    if (!ready_) return kNoAudio;
    if (devices_.count(op.alias)) return kAlias;
    // The kind of device follows the file's extension, as the game names it.
    const FileKind kind = fileKind(op.file);
    if (kind == FileKind::kUnknown) return kLoad;
    const bool music = kind == FileKind::kMusic;
    Device d;
    d.music = music;
    std::vector<uint8_t> bytes;
    if (!readFile(files_.locate(op.file), bytes)) return kLoad;
    if (music) {
        if (!looksLikeMidi(bytes)) return kLoad;
        d.render = openRender(op.file, bytes);
        if (!d.render) {
            readySynthesiser();
            d.bytes = std::move(bytes);
            SDL_RWops* rw = SDL_RWFromConstMem(d.bytes.data(), static_cast<int>(d.bytes.size()));
            if (!rw) return kLoad;
            d.mus = Mix_LoadMUSType_RW(rw, MUS_MID, SDL_TRUE);
            if (!d.mus) return kLoad;
        }
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
    devices_.emplace(op.alias, std::move(d));
    return kOk;
}

int SdlMixerBackEnd::takeChannel() {
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

Result SdlMixerBackEnd::play(const Play& op) {
    Device* found = nullptr;
    if (const Result r = findOpen(ready_, devices_, op.alias, found); r != kOk) return r;
    Device& d = *found;
    // `notify` is not looked at: nobody receives the report.
    if (d.music) {
        // The one music stream: a piece cuts off whatever played on it.
        silenceMusic();
        if (d.render) {
            // A render starts at the frame of the position, as on the page;
            // a position at or past its end fails.
            if (!d.render->play(renderFrameAt(op.fromMs, d.render->rate()))) return kPlay;
        } else {
            // The MIDI decoder cannot seek: a synthesised piece starts at
            // its beginning.
            if (Mix_PlayMusic(d.mus, 0) != 0) return kPlay;
        }
        musicStream_.take(op.alias);
        return kOk;
    }
    const uint64_t offset = static_cast<uint64_t>(op.fromMs) * static_cast<uint64_t>(freq_) / 1000u *
                            static_cast<uint64_t>(frameBytes_);
    if (op.fromMs > 0 && offset >= d.chunk->alen) return kPlay;
    Mix_HaltChannel(d.channel);
    if (d.tail) {
        Mix_FreeChunk(d.tail);
        d.tail = nullptr;
    }
    Mix_Chunk* what = d.chunk;
    if (op.fromMs > 0) {
        d.tail = Mix_QuickLoad_RAW(d.chunk->abuf + offset, static_cast<Uint32>(d.chunk->alen - offset));
        if (!d.tail) return kPlay;
        what = d.tail;
    }
    return Mix_PlayChannel(d.channel, what, 0) == d.channel ? kOk : kPlay;
}

Result SdlMixerBackEnd::stop(const Stop& op) {
    Device* found = nullptr;
    if (const Result r = findOpen(ready_, devices_, op.alias, found); r != kOk) return r;
    Device& d = *found;
    if (d.music) {
        if (musicStream_.release(op.alias)) silenceMusic();
    } else {
        Mix_HaltChannel(d.channel);
    }
    return kOk;
}

Result SdlMixerBackEnd::close(const Close& op) {
    Device* found = nullptr;
    if (const Result r = findOpen(ready_, devices_, op.alias, found); r != kOk) return r;
    musicStream_.release(op.alias);
    release(*found);
    devices_.erase(op.alias);
    return kOk;
}

void SdlMixerBackEnd::release(Device& d) {
    d.render.reset();                 // takes it off the hook if it is on it
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
