#include "web/web_audio_back_end.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "sound/theme_render.h"
#include "web/page.h"

using sound::FileKind;
using sound::Result;

namespace {

// The one back end the page's reports go to.
WebAudioBackEnd* g_reportsTo = nullptr;

const double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// Where the page finds a file the game names: a theme as its render, the
// .ogg the build makes beside its .mid file, an effect as it is.
std::string urlOf(const std::string& gameName) {
    if (sound::fileKind(gameName) == FileKind::kMusic) return sound::renderOf(gameName);
    return gameName;
}

}  // namespace

WebAudioBackEnd::WebAudioBackEnd(const std::vector<std::string>& files) {
    g_reportsTo = this;
    audio_ = torvenka_audio_init() != 0;
    if (!audio_) {
        torvenka_audio_say("This browser gives the page no audio: Torvenka plays silent.");
        return;
    }
    for (const std::string& f : files)
        if (sound::fileKind(f) != FileKind::kUnknown) soundFor(f);
    tell();
    fetchNext();
}

WebAudioBackEnd::~WebAudioBackEnd() {
    if (g_reportsTo == this) g_reportsTo = nullptr;
}

// The sound of a file, added to the end of the queue when it is new.
int WebAudioBackEnd::soundFor(const std::string& gameName) {
    const std::string url = urlOf(gameName);
    for (size_t i = 0; i < sounds_.size(); ++i)
        if (sounds_[i].url == url) return static_cast<int>(i);
    sounds_.push_back(Sound{url});
    const int id = static_cast<int>(sounds_.size() - 1);
    queue_.push_back(id);
    return id;
}

// One file at a time: the whole link goes to what is needed first.
void WebAudioBackEnd::fetchNext() {
    if (fetching_ || queue_.empty()) return;
    const int id = queue_.front();
    queue_.pop_front();
    fetching_ = true;
    sounds_[static_cast<size_t>(id)].load = Load::kFetching;
    torvenka_audio_fetch(id, sounds_[static_cast<size_t>(id)].url.c_str());
}

// A file the game asks for now goes before the others still waiting.
void WebAudioBackEnd::fetchSoon(int sound) {
    const auto at = std::find(queue_.begin(), queue_.end(), sound);
    if (at == queue_.end()) return;
    queue_.erase(at);
    queue_.push_front(sound);
    fetchNext();
}

void WebAudioBackEnd::arrived(int sound) {
    if (sound < 0 || static_cast<size_t>(sound) >= sounds_.size()) return;
    Sound& s = sounds_[static_cast<size_t>(sound)];
    if (s.load != Load::kFetching) return;
    s.load = Load::kDecoding;
    fetching_ = false;
    fetchNext();
}

void WebAudioBackEnd::decoded(int sound, double durationMs) {
    if (sound < 0 || static_cast<size_t>(sound) >= sounds_.size()) return;
    Sound& s = sounds_[static_cast<size_t>(sound)];
    if (s.load == Load::kFetching) fetching_ = false;
    s.load = Load::kReady;
    s.durationMs = durationMs;
    // A start that waited joins at the place it would have reached by now,
    // as if it had played since it was asked for. The audio clock stands
    // still while the page is hidden (or not yet allowed to sound), so that
    // time does not count. Past its end, it is over and never starts.
    const double now = torvenka_audio_clock();
    for (auto& [alias, ch] : channels_) {
        if (ch.sound != sound || !ch.pending) continue;
        ch.pending = false;
        const double at = ch.pendingFromMs + std::max(0.0, now - ch.askedAtMs);
        if (at < s.durationMs) start(alias, ch, at);
    }
    tell();
    fetchNext();
}

void WebAudioBackEnd::failed(int sound) {
    if (sound < 0 || static_cast<size_t>(sound) >= sounds_.size()) return;
    Sound& s = sounds_[static_cast<size_t>(sound)];
    if (s.load == Load::kFetching) fetching_ = false;
    if (s.load != Load::kFailed) missing_.push_back(s.url);
    s.load = Load::kFailed;
    for (auto& [alias, ch] : channels_)
        if (ch.sound == sound) ch.pending = false;
    tell();
    fetchNext();
}

void WebAudioBackEnd::ended(int voice) {
    for (auto& [alias, ch] : channels_)
        if (ch.voice == voice) ch.voice = 0;
}

// The status line: the files that are missing win; else, while any is on
// its way, that the sounds are loading (the game plays meanwhile); else
// nothing.
void WebAudioBackEnd::tell() {
    std::string line;
    if (!missing_.empty()) {
        line = "Not on this site or not playable: ";
        for (size_t i = 0; i < missing_.size(); ++i) line += (i ? ", " : "") + missing_[i];
        line += missing_.size() > 1 ? ". The game plays on without them." : ". The game plays on without it.";
    } else {
        const auto in = std::count_if(sounds_.begin(), sounds_.end(),
                                      [](const Sound& s) { return s.load == Load::kReady; });
        if (static_cast<size_t>(in) < sounds_.size())
            line = "Loading the sounds (" + std::to_string(in) + " of " + std::to_string(sounds_.size()) +
                   "); the game plays meanwhile.";
    }
    if (line == said_) return;
    said_ = line;
    torvenka_audio_say(line.c_str());
}

void WebAudioBackEnd::halt(Channel& ch) {
    ch.pending = false;
    if (ch.voice) torvenka_audio_halt(ch.voice);
    ch.voice = 0;
}

Result WebAudioBackEnd::start(const std::string& alias, Channel& ch, double fromMs) {
    const Sound& s = sounds_[static_cast<size_t>(ch.sound)];
    const int voice = ++lastVoice_;
    if (!torvenka_audio_start(voice, ch.sound, fromMs)) return sound::kPlay;
    ch.voice = voice;
    report("sounding", alias, s.url, fromMs, sound::kOk);
    return sound::kOk;
}

Result WebAudioBackEnd::report(const char* op, const std::string& alias, const std::string& detail, double number,
                               Result result) {
    torvenka_audio_report(op, alias.c_str(), detail.c_str(), number, result);
    return result;
}

Result WebAudioBackEnd::open(const sound::Open& op) {
    const auto answer = [&](Result r) { return report("open", op.alias, op.file, kNoNumber, r); };
    if (!audio_) return answer(sound::kNoAudio);
    if (channels_.count(op.alias)) return answer(sound::kAlias);
    const FileKind kind = sound::fileKind(op.file);
    if (kind == FileKind::kUnknown) return answer(sound::kLoad);
    const int id = soundFor(op.file);
    if (sounds_[static_cast<size_t>(id)].load == Load::kFailed) return answer(sound::kLoad);
    Channel ch;
    ch.kind = kind;
    ch.sound = id;
    channels_.emplace(op.alias, ch);
    fetchSoon(id);
    tell();
    return answer(sound::kOk);
}

Result WebAudioBackEnd::play(const sound::Play& op) {
    const double from = static_cast<double>(op.fromMs);
    const auto answer = [&](Result r) { return report("play", op.alias, "", from, r); };
    if (!audio_) return answer(sound::kNoAudio);
    const auto it = channels_.find(op.alias);
    if (it == channels_.end()) return answer(sound::kAlias);
    Channel& ch = it->second;
    halt(ch);
    if (ch.kind == FileKind::kMusic) {
        const std::string cut = music_.take(op.alias);
        if (!cut.empty()) {
            const auto other = channels_.find(cut);
            if (other != channels_.end()) halt(other->second);
        }
    }
    const Sound& s = sounds_[static_cast<size_t>(ch.sound)];
    switch (s.load) {
        case Load::kReady:
            if (from >= s.durationMs) return answer(sound::kPlay);
            return answer(start(op.alias, ch, from));
        case Load::kFailed: return answer(sound::kLoad);
        default:
            // Still on its way: it starts when it is decoded, unless stopped,
            // closed or cut off first.
            ch.pending = true;
            ch.pendingFromMs = from;
            ch.askedAtMs = torvenka_audio_clock();
            fetchSoon(ch.sound);
            return answer(sound::kOk);
    }
}

Result WebAudioBackEnd::stop(const sound::Stop& op) {
    const auto answer = [&](Result r) { return report("stop", op.alias, "", kNoNumber, r); };
    if (!audio_) return answer(sound::kNoAudio);
    const auto it = channels_.find(op.alias);
    if (it == channels_.end()) return answer(sound::kAlias);
    halt(it->second);
    music_.release(op.alias);
    return answer(sound::kOk);
}

Result WebAudioBackEnd::close(const sound::Close& op) {
    const auto answer = [&](Result r) { return report("close", op.alias, "", kNoNumber, r); };
    if (!audio_) return answer(sound::kNoAudio);
    const auto it = channels_.find(op.alias);
    if (it == channels_.end()) return answer(sound::kAlias);
    halt(it->second);
    music_.release(op.alias);
    channels_.erase(it);
    return answer(sound::kOk);
}

// What the page's JavaScript reports back.
extern "C" {
EMSCRIPTEN_KEEPALIVE void web_audio_arrived(int sound) {
    if (g_reportsTo) g_reportsTo->arrived(sound);
}
EMSCRIPTEN_KEEPALIVE void web_audio_decoded(int sound, double durationMs) {
    if (g_reportsTo) g_reportsTo->decoded(sound, durationMs);
}
EMSCRIPTEN_KEEPALIVE void web_audio_failed(int sound) {
    if (g_reportsTo) g_reportsTo->failed(sound);
}
EMSCRIPTEN_KEEPALIVE void web_audio_ended(int voice) {
    if (g_reportsTo) g_reportsTo->ended(voice);
}
}
