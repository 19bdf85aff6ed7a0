#include "web/web_audio_back_end.h"

#include "web/page.h"

WebAudioBackEnd::WebAudioBackEnd(const std::vector<std::string>& files) {
    for (const std::string& f : files) torvenka_audio_preload(f.c_str());
}

sound::Result WebAudioBackEnd::open(const sound::Open& op) {
    return static_cast<sound::Result>(torvenka_audio_open(op.file.c_str(), op.alias.c_str()));
}

sound::Result WebAudioBackEnd::play(const sound::Play& op) {
    return static_cast<sound::Result>(torvenka_audio_play(op.alias.c_str(), static_cast<double>(op.fromMs)));
}

sound::Result WebAudioBackEnd::stop(const sound::Stop& op) {
    return static_cast<sound::Result>(torvenka_audio_stop(op.alias.c_str()));
}

sound::Result WebAudioBackEnd::close(const sound::Close& op) {
    return static_cast<sound::Result>(torvenka_audio_close(op.alias.c_str()));
}
