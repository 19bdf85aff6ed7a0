#include "win32/wave_out_back_end.h"

#include <cstdio>

#include "desktop/sound_root.h"
#include "sound/theme_render.h"
#include "win32/render_source.h"

using namespace sound;

namespace {

// Voices for the effect channels (the game uses one, se1).
constexpr int kEffectChannels = 8;
// The device is kept kBuffers buffers of kBufferFrames frames ahead: 93 ms,
// which a busy machine does not run dry, and an effect starts within it.
constexpr int kBuffers = 4;
constexpr size_t kBufferFrames = 1024;
// How often a device that went away is looked for again.
constexpr DWORD kReopenMs = 1000;

bool readFile(const std::string& utf8Path, std::vector<uint8_t>& out) {
    const std::wstring path = pathFromUtf8(utf8Path).wstring();
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    out.clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// One command to the multimedia layer, its result a plain yes or no.
bool mci(const std::wstring& command) { return mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0; }

}  // namespace

WaveOutBackEnd::WaveOutBackEnd(const SoundFiles& files) : files_(files), mixer_(kEffectChannels) {
    channelInUse_.assign(kEffectChannels, false);
    bufferDone_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    quit_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!bufferDone_ || !quit_ || !openDevice()) return;
    ready_ = true;
    feeder_ = std::thread([this] { feed(); });
}

WaveOutBackEnd::~WaveOutBackEnd() {
    if (feeder_.joinable()) {
        SetEvent(quit_);
        feeder_.join();
    }
    for (auto& [alias, d] : devices_) release(d);
    if (quit_) CloseHandle(quit_);
    if (bufferDone_) CloseHandle(bufferDone_);
}

bool WaveOutBackEnd::openDevice() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = pcm::kChannels;
    format.nSamplesPerSec = pcm::kRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return waveOutOpen(&out_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone_), 0, CALLBACK_EVENT) ==
           MMSYSERR_NOERROR;
}

void WaveOutBackEnd::closeDevice() {
    if (!out_) return;
    waveOutReset(out_);
    waveOutClose(out_);
    out_ = nullptr;
}

// The feeding thread: every buffer the device has finished is mixed again
// and handed back. A device that refuses a buffer (unplugged) is closed and
// looked for again now and then; the mixer plays on meanwhile, unheard.
void WaveOutBackEnd::feed() {
    std::vector<std::vector<int16_t>> data(kBuffers, std::vector<int16_t>(kBufferFrames * pcm::kChannels));
    std::vector<WAVEHDR> headers(kBuffers);
    std::vector<int16_t> unheard(kBufferFrames * pcm::kChannels);
    auto prepare = [&] {
        for (int i = 0; i < kBuffers; ++i) {
            headers[i] = WAVEHDR{};
            headers[i].lpData = reinterpret_cast<LPSTR>(data[i].data());
            headers[i].dwBufferLength = static_cast<DWORD>(data[i].size() * sizeof(int16_t));
            if (waveOutPrepareHeader(out_, &headers[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
        }
        return true;
    };
    auto unprepare = [&] {
        for (WAVEHDR& h : headers)
            if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out_, &h, sizeof(WAVEHDR));
    };
    bool playing = prepare();
    if (!playing) {
        unprepare();
        closeDevice();
    }
    for (;;) {
        if (playing) {
            for (WAVEHDR& h : headers) {
                if (h.dwFlags & WHDR_INQUEUE) continue;
                mixer_.mix(reinterpret_cast<int16_t*>(h.lpData), kBufferFrames);
                if (waveOutWrite(out_, &h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
                    playing = false;
                    break;
                }
            }
            if (!playing) {
                waveOutReset(out_);
                unprepare();
                closeDevice();
            }
        }
        if (playing) {
            const HANDLE waitFor[2] = {quit_, bufferDone_};
            if (WaitForMultipleObjects(2, waitFor, FALSE, INFINITE) == WAIT_OBJECT_0) break;
        } else {
            // Without a device the sound goes on unheard, at its own pace,
            // so that a device that comes back takes it up where it is.
            if (WaitForSingleObject(quit_, kReopenMs) == WAIT_OBJECT_0) break;
            for (size_t done = 0; done < pcm::kRate * kReopenMs / 1000; done += kBufferFrames)
                mixer_.mix(unheard.data(), kBufferFrames);
            playing = openDevice() && prepare();
            if (!playing) {
                unprepare();
                closeDevice();
            }
        }
    }
    if (out_) {
        waveOutReset(out_);
        unprepare();
        closeDevice();
    }
}

int WaveOutBackEnd::takeChannel() {
    for (size_t i = 0; i < channelInUse_.size(); ++i) {
        if (!channelInUse_[i]) {
            channelInUse_[i] = true;
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Silences the one music stream, whichever piece is on it: a render in the
// mixer, or a MIDI file on the sequencer.
void WaveOutBackEnd::silenceMusic() {
    mixer_.stopMusic();
    for (auto& [alias, d] : devices_)
        if (!d.sequencer.empty()) mci(L"stop " + d.sequencer);
}

Result WaveOutBackEnd::open(const Open& op) {
    if (!ready_) return kNoAudio;
    if (devices_.count(op.alias)) return kAlias;
    // The kind of device follows the file's extension, as the game names it.
    const FileKind kind = fileKind(op.file);
    if (kind == FileKind::kUnknown) return kLoad;
    Device d;
    d.music = kind == FileKind::kMusic;
    const std::string path = files_.locate(op.file);
    std::vector<uint8_t> bytes;
    if (!readFile(path, bytes)) return kLoad;
    if (d.music) {
        if (!looksLikeMidi(bytes)) return kLoad;
        // The render when it was made from this very MIDI file...
        std::vector<uint8_t> ogg;
        if (readFile(files_.locate(renderOf(op.file)), ogg)) {
            const std::optional<RenderInfo> render = inspectRender(ogg);
            if (render && renderStandsFor(*render, bytes)) {
                d.renderRate = render->rate;
                d.render = std::make_shared<const std::vector<uint8_t>>(std::move(ogg));
            }
        }
        // ...else the MIDI file on Windows' own sequencer.
        if (!d.render) {
            d.sequencer = L"torvenka_" + pathFromUtf8(op.alias).wstring();
            if (!mci(L"open \"" + pathFromUtf8(path).wstring() + L"\" type sequencer alias " + d.sequencer))
                return kLoad;
        }
    } else {
        std::optional<pcm::Samples> samples = pcm::decodeWave(bytes);
        if (!samples) return kLoad;
        d.effect = std::make_shared<const pcm::Samples>(std::move(*samples));
        d.channel = takeChannel();
        if (d.channel < 0) return kLoad;
    }
    devices_.emplace(op.alias, std::move(d));
    return kOk;
}

Result WaveOutBackEnd::play(const Play& op) {
    Device* found = nullptr;
    if (const Result r = findOpen(ready_, devices_, op.alias, found); r != kOk) return r;
    Device& d = *found;
    // `notify` is not looked at: nobody receives the report.
    if (d.music) {
        // The one music stream: a piece cuts off whatever played on it.
        silenceMusic();
        if (d.render) {
            // A render starts at the frame of the position, as on Linux and
            // the page; a position at or past its end fails.
            std::unique_ptr<RenderSource> source = RenderSource::open(d.render, renderFrameAt(op.fromMs, d.renderRate));
            if (!source) return kPlay;
            mixer_.playMusic(std::move(source));
        } else if (!mci(L"play " + d.sequencer + L" from " + std::to_wstring(op.fromMs))) {
            return kPlay;
        }
        musicStream_.take(op.alias);
        return kOk;
    }
    const size_t frames = d.effect->size() / pcm::kChannels;
    const size_t frame = static_cast<size_t>(uint64_t{op.fromMs} * pcm::kRate / 1000u);
    if (op.fromMs > 0 && frame >= frames) return kPlay;
    mixer_.playEffect(d.channel, d.effect, frame);
    return kOk;
}

Result WaveOutBackEnd::stop(const Stop& op) {
    Device* found = nullptr;
    if (const Result r = findOpen(ready_, devices_, op.alias, found); r != kOk) return r;
    Device& d = *found;
    if (d.music) {
        if (musicStream_.release(op.alias)) silenceMusic();
    } else {
        mixer_.stopEffect(d.channel);
    }
    return kOk;
}

Result WaveOutBackEnd::close(const Close& op) {
    Device* found = nullptr;
    if (const Result r = findOpen(ready_, devices_, op.alias, found); r != kOk) return r;
    if (musicStream_.heldBy(op.alias)) mixer_.stopMusic();
    musicStream_.release(op.alias);
    release(*found);
    devices_.erase(op.alias);
    return kOk;
}

void WaveOutBackEnd::release(Device& d) {
    if (!d.sequencer.empty()) {
        mci(L"stop " + d.sequencer);
        mci(L"close " + d.sequencer);
        d.sequencer.clear();
    }
    if (d.channel >= 0) {
        mixer_.stopEffect(d.channel);
        channelInUse_[static_cast<size_t>(d.channel)] = false;
        d.channel = -1;
    }
    d.effect.reset();
    d.render.reset();
}
