#include "soundgen.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "effects.h"
#include "themes.h"

namespace soundgen {

std::vector<OutputFile> generateAll() {
    std::vector<OutputFile> out;
    out.push_back({"se1.wav", encodeWav(tankOpened())});
    out.push_back({"se2.wav", encodeWav(creatureDefeated())});
    out.push_back({"se3.wav", encodeWav(chime())});
    out.push_back({"se4.wav", encodeWav(spearSwish())});
    for (const Song& s : {diveTheme(), bossTheme()}) out.push_back({s.file(), s.encode()});
    return out;
}

bool writeAll(const std::filesystem::path& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = "cannot create " + dir.string() + ": " + ec.message();
        return false;
    }
    for (const OutputFile& f : generateAll()) {
        const std::filesystem::path p = dir / f.name;
        std::ofstream o(p, std::ios::binary | std::ios::trunc);
        o.write(reinterpret_cast<const char*>(f.bytes.data()), static_cast<std::streamsize>(f.bytes.size()));
        o.close();
        if (!o) {
            error = "cannot write " + p.string();
            return false;
        }
    }
    return true;
}

std::string describeSections() {
    std::string out;
    char line[160];
    for (const Song& s : {diveTheme(), bossTheme()}) {
        for (const Section& sec : s.sections()) {
            std::snprintf(line, sizeof line, "%s %s %d %d %.3f %.3f\n", s.file().c_str(), sec.name.c_str(),
                          sec.firstBar, sec.endBar, s.seconds(bar(sec.firstBar)), s.seconds(bar(sec.endBar)));
            out += line;
        }
        std::snprintf(line, sizeof line, "%s total %d %.3f\n", s.file().c_str(),
                      static_cast<int>(s.endTick() / kBar), s.seconds(s.endTick()));
        out += line;
    }
    return out;
}

std::string describeBars() {
    std::string out;
    char line[200];
    for (const Song& s : {diveTheme(), bossTheme()}) {
        const int bars = static_cast<int>((s.endTick() + kBar - 1) / kBar);
        for (int b = 0; b < bars; ++b) {
            std::uint64_t h = 14695981039346656037ull;  // FNV-1a
            auto mix = [&h](std::uint64_t v) {
                for (int i = 0; i < 8; ++i) {
                    h ^= (v >> (8 * i)) & 0xFF;
                    h *= 1099511628211ull;
                }
            };
            int count = 0;
            int trackNo = 0;
            for (const Track& t : s.tracks()) {
                for (const Track::NoteEvent& n : t.notes()) {
                    if (n.tick < bar(b) || n.tick >= bar(b + 1)) continue;
                    mix(static_cast<std::uint64_t>(trackNo));
                    mix(n.tick - bar(b));
                    mix(static_cast<std::uint64_t>(n.key));
                    mix(n.length);
                    ++count;
                }
                ++trackNo;
            }
            std::string section = "-";
            for (const Section& sec : s.sections())
                if (b >= sec.firstBar && b < sec.endBar) section = sec.name;
            std::snprintf(line, sizeof line, "%s %d %s %016llx %d\n", s.file().c_str(), b, section.c_str(),
                          static_cast<unsigned long long>(count ? h : 0), count);
            out += line;
        }
    }
    return out;
}

}  // namespace soundgen
