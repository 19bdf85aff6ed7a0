// The sound back end of the page: the parsed sound commands carried out on
// WebAudio with the desktop's rules and results. Everything that decides
// lives here, in C++: the channels by alias, the file kinds and the one
// music stream (sound/channel_rules.h, as on the desktop), the order the
// files are fetched in, a start that waits for its file, and what the status
// line says about the sounds. The page's JavaScript (web/library_audio.js)
// only fetches and decodes files into buffers, starts and stops buffers and
// reports back (web_audio_arrived, _decoded, _failed, _ended).
//
// The themes are played from the .ogg files the build renders beside each
// .mid file; the effects are the .wav files as they are.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "sound/back_end.h"
#include "sound/channel_rules.h"

class WebAudioBackEnd : public sound::BackEnd {
public:
    // Starts fetching the files the game will play, one at a time in the
    // order given (first what the dive needs first), so that the link is
    // not split between them. Only one back end may live at a time: the
    // page's reports go to it.
    explicit WebAudioBackEnd(const std::vector<std::string>& files);
    ~WebAudioBackEnd() override;
    WebAudioBackEnd(const WebAudioBackEnd&) = delete;
    WebAudioBackEnd& operator=(const WebAudioBackEnd&) = delete;

    sound::Result open(const sound::Open& op) override;
    sound::Result play(const sound::Play& op) override;
    sound::Result stop(const sound::Stop& op) override;
    sound::Result close(const sound::Close& op) override;

    // What the page reports. A file's bytes are in (the next may be
    // fetched), it is decoded (`durationMs` long), or it could not be
    // fetched or decoded; a started buffer played to its end.
    void arrived(int sound);
    void decoded(int sound, double durationMs);
    void failed(int sound);
    void ended(int voice);

private:
    enum class Load { kWaiting, kFetching, kDecoding, kReady, kFailed };
    struct Sound {
        std::string url;
        Load load = Load::kWaiting;
        double durationMs = 0;
    };
    struct Channel {
        sound::FileKind kind = sound::FileKind::kUnknown;
        int sound = -1;
        int voice = 0;            // the buffer playing, 0 for none
        bool pending = false;     // asked to play before its file was decoded
        double pendingFromMs = 0;
        double askedAtMs = 0;     // the audio clock when it was asked
    };

    int soundFor(const std::string& gameName);
    void fetchNext();
    void fetchSoon(int sound);
    void halt(Channel& ch);
    sound::Result start(const std::string& alias, Channel& ch, double fromMs);
    void tell();
    sound::Result report(const char* op, const std::string& alias, const std::string& detail, double number,
                         sound::Result result);

    bool audio_ = false;
    std::vector<Sound> sounds_;
    std::deque<int> queue_;  // sounds still to fetch, the next first
    bool fetching_ = false;
    std::map<std::string, Channel> channels_;  // by alias
    sound::MusicStream music_;
    int lastVoice_ = 0;
    std::vector<std::string> missing_;
    std::string said_;
};
