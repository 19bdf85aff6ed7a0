#include "web/web_sound.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "web/page.h"

namespace {

// Splits a command into words; a word in double quotes may hold spaces.
bool words(std::string_view s, std::vector<std::string>& out) {
    size_t i = 0;
    while (i < s.size()) {
        if (std::isspace(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == '"') {
            const size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos) return false;
            out.emplace_back(s.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        size_t end = i;
        while (end < s.size() && !std::isspace(static_cast<unsigned char>(s[end]))) ++end;
        out.emplace_back(s.substr(i, end - i));
        i = end;
    }
    return true;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A position: plain decimal digits that fit a signed 32-bit number.
bool position(const std::string& s, int& out) {
    if (s.empty() || s.size() > 10) return false;
    long long v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > 2147483647LL) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

void WebSoundSink::preload() {
    for (const char* f : {"dat/se1.wav", "dat/se2.wav", "dat/se3.wav", "dat/se4.wav", "dat/plomvex_s01.mid",
                          "dat/ravederu.mid"})
        torvenka_audio_preload(f);
}

int WebSoundSink::send(const std::string& command) {
    std::vector<std::string> w;
    if (!words(command, w) || w.empty()) return kSyntax;
    const std::string verb = lower(w[0]);
    if (verb == "open" && w.size() == 4 && lower(w[2]) == "alias")
        return torvenka_audio_open(w[1].c_str(), lower(w[3]).c_str());
    if (verb == "play" && (w.size() == 4 || (w.size() == 5 && lower(w[4]) == "notify")) && lower(w[2]) == "from") {
        int from = 0;
        if (!position(w[3], from)) return kSyntax;
        return torvenka_audio_play(lower(w[1]).c_str(), from);
    }
    if (verb == "stop" && w.size() == 2) return torvenka_audio_stop(lower(w[1]).c_str());
    if (verb == "close" && w.size() == 2) return torvenka_audio_close(lower(w[1]).c_str());
    return kSyntax;
}
