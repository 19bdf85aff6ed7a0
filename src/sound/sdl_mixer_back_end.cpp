#include "sound/sdl_mixer_back_end.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <cstring>
#include <filesystem>
#include <optional>

#include "sound/render_stream.h"
#include "sound/sound_file.h"
#include "sound/sound_font.h"
#include "sound/theme_render.h"

using namespace sound;

namespace {

// Only one back end drives the mixer at a time.
std::atomic<bool> g_mixerHeld{false};

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

// What the thread that opens the sound device and the back end share. The
// thread only opens (SDL's audio, then the mixer) and says how it went;
// everything else, closing included, happens on the back end's own thread.
struct SdlMixerBackEnd::Opening {
    enum State { kWaiting, kOpen, kFailed };
    std::atomic<int> state{kWaiting};
    bool audioStarted = false;  // SDL's audio subsystem is up (to be quit)
    int freq = 0;
    uint16_t format = 0;
    int channels = 0;
    std::mutex lock;  // taken to change the state and to wait for it
    std::condition_variable done;
};

namespace {

// Set once a sound device was left to the end of the process.
std::atomic<bool> g_leftOpen{false};

constexpr std::chrono::milliseconds kCloseWait{1000};

}  // namespace

SdlMixerBackEnd::SdlMixerBackEnd(const SoundFiles& files, std::chrono::milliseconds openWait) : files_(files) {
    bool expected = false;
    if (!g_mixerHeld.compare_exchange_strong(expected, true)) return;
    // A sound server that does not answer (stopped, or far away) holds SDL's
    // audio start for as long as it likes; the game does not wait on it
    // longer than `openWait`. The device opens when it can, and every
    // command until then is not heard.
    opening_ = std::make_shared<Opening>();
    opener_ = std::thread([o = opening_] {
        int state = Opening::kFailed;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            o->audioStarted = true;
            silenceAlsa();
            // The MIDI synthesiser waits until a MIDI file has to be
            // synthesised (readySynthesiser); the themes' renders need
            // nothing of SDL_mixer's decoders (RenderStream).
            if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0 &&
                Mix_QuerySpec(&o->freq, &o->format, &o->channels) != 0)
                state = Opening::kOpen;
        }
        // SDL keeps a little of its own for each thread that calls it (the
        // last error's text); a thread SDL did not start lets it go itself.
        SDL_TLSCleanup();
        const std::lock_guard<std::mutex> held(o->lock);
        o->state.store(state, std::memory_order_release);
        o->done.notify_all();
    });
    {
        std::unique_lock<std::mutex> held(opening_->lock);
        opening_->done.wait_for(held, openWait,
                                [&] { return opening_->state.load(std::memory_order_acquire) != Opening::kWaiting; });
    }
    usable();
}

bool SdlMixerBackEnd::ready() const {
    return opening_ && opening_->state.load(std::memory_order_acquire) == Opening::kOpen;
}

bool SdlMixerBackEnd::leftOpen() { return g_leftOpen.load(); }

// The device, once it is open: its format, and its channels. A device that
// could not be opened lets SDL's audio go at once, as it would have
// without the thread (ALSA's watch for new sound cards stops with it).
bool SdlMixerBackEnd::usable() {
    if (ready_) return true;
    if (!ready()) {
        if (!audioLetGo_ && opening_ && opening_->state.load(std::memory_order_acquire) == Opening::kFailed) {
            if (opener_.joinable()) opener_.join();
            letAudioGo();
        }
        return false;
    }
    freq_ = opening_->freq;
    format_ = opening_->format;
    channels_ = opening_->channels;
    frameBytes_ = channels_ * static_cast<int>(SDL_AUDIO_BITSIZE(format_) / 8);
    channelInUse_.assign(static_cast<size_t>(Mix_AllocateChannels(-1)), false);
    ready_ = true;
    return true;
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
    if (!readSoundFile(files_.locate(renderOf(gameName)), kLargestRenderBytes, ogg)) return nullptr;
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
    if (!opening_) return;  // another back end held the mixer
    {
        const std::lock_guard<std::mutex> held(opening_->lock);
        if (opening_->state.load(std::memory_order_acquire) == Opening::kWaiting) {
            // Still waiting for the sound server: the thread is left to the
            // end of the process, which takes whatever it opens.
            opener_.detach();
            g_leftOpen = true;
            return;
        }
    }
    if (opener_.joinable()) opener_.join();
    if (usable()) {
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        for (auto& [alias, d] : devices_) release(d);
        devices_.clear();
        // Closing waits for SDL's audio thread, which a frozen sound server
        // holds as long as it stays frozen: the close gets a second, and is
        // otherwise left to the end of the process.
        auto closed = std::make_shared<std::promise<void>>();
        std::future<void> closing = closed->get_future();
        std::thread closer([closed] {
            Mix_CloseAudio();
            SDL_TLSCleanup();
            closed->set_value();
        });
        if (closing.wait_for(kCloseWait) != std::future_status::ready) {
            closer.detach();
            g_leftOpen = true;
            return;
        }
        closer.join();
    }
    letAudioGo();
    g_mixerHeld = false;
}

void SdlMixerBackEnd::letAudioGo() {
    if (audioLetGo_) return;
    audioLetGo_ = true;
    Mix_Quit();
    if (opening_->audioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlMixerBackEnd::isOpen(const std::string& alias) const {
    for (const auto& [name, d] : devices_)
        if (equalIgnoringCase(name, alias)) return true;
    return false;
}

Result SdlMixerBackEnd::open(const Open& op) {
    if (!usable()) return kNoAudio;
    if (devices_.count(op.alias)) return kAlias;
    // The kind of device follows the file's extension, as the game names it.
    const FileKind kind = fileKind(op.file);
    if (kind == FileKind::kUnknown) return kLoad;
    const bool music = kind == FileKind::kMusic;
    Device d;
    d.music = music;
    std::vector<uint8_t> bytes;
    // Each file is looked at before it is read, and read only when it is
    // no larger than a file of its kind may be (sound/sound_file.h).
    if (!readSoundFile(files_.locate(op.file), music ? kLargestMidiBytes : kLargestEffectBytes, bytes)) return kLoad;
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
    if (const Result r = findOpen(usable(), devices_, op.alias, found); r != kOk) return r;
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
    if (const Result r = findOpen(usable(), devices_, op.alias, found); r != kOk) return r;
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
    if (const Result r = findOpen(usable(), devices_, op.alias, found); r != kOk) return r;
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
