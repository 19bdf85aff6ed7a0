// compose-bench: times compose() on a few screens with the game's font and
// prints microseconds per repaint.
//
//   compose-bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "screen/compositor.h"
#include "screen/sdl_font.h"

namespace {

void pair(Screen& s, Id a, Id b, const std::string& t) {
    s.setText(a, t);
    s.setText(b, t);
    s.show(a);
    s.show(b);
}

// A busy dive frame: sea, gauges, creature panel, a creature, cards, the
// spear, the ring, both bubbles and both markers.
void busy(Screen& s) {
    s.hide(Id::Label1);
    s.hide(Id::Label2);
    s.show(Id::back);
    s.setTop(Id::back, -1234);
    pair(s, Id::LabelHP1, Id::LabelHP2, "命：");
    pair(s, Id::LbHP1, Id::LbHP2, "200");
    pair(s, Id::LabelOX1, Id::LabelOX2, "酸素：");
    pair(s, Id::LbOX1, Id::LbOX2, "80");
    pair(s, Id::LabelBMB1, Id::LabelBMB2, "ボンベ：");
    pair(s, Id::LbBMB1, Id::LbBMB2, "9");
    pair(s, Id::LabelNM1, Id::LabelNM2, "クラボス");
    pair(s, Id::LabelHP3, Id::LabelHP4, "命：");
    pair(s, Id::LbHP3, Id::LbHP4, "400");
    pair(s, Id::LabelHT1, Id::LabelHT2, "!!");
    pair(s, Id::LabelUP1, Id::LabelUP2, "UP !!");
    for (Id c : {Id::card1, Id::card2, Id::card3}) {
        s.copyPicture(c, Id::card);
        s.show(c);
    }
    s.move(Id::cani2, 48, 54);
    s.show(Id::cani2);
    s.show(Id::spear3);
    s.show(Id::ring);
    s.show(Id::awa1);
    s.show(Id::awa2);
}

// Everything that can be in view at once, each creature lane included.
void everything(Screen& s) {
    busy(s);
    const struct { Id ids[3]; int l, t; } sets[] = {
        {{Id::taco, Id::taco2, Id::taco3}, 88, 75},
        {{Id::cani, Id::cani2, Id::cani3}, 48, 54},
        {{Id::utsu, Id::utsu2, Id::utsu3}, 20, 41},
        {{Id::velmo, Id::velmo2, Id::velmo3}, 0, 42},
    };
    for (const auto& set : sets)
        for (Id id : set.ids) {
            s.move(id, set.l, set.t);
            s.show(id);
        }
    s.show(Id::spear);
    s.show(Id::spear2);
    s.setTop(Id::waku, 120);
    s.show(Id::over);
}

void time(const char* name, const Screen& s, TextRaster& font, int rounds) {
    std::vector<uint32_t> buf(static_cast<size_t>(kClientW) * kClientH);
    using clock = std::chrono::steady_clock;
    auto t0 = clock::now();
    compose(s, font, buf.data(), kClientW);  // first: the font rasterises
    const double first = std::chrono::duration<double, std::micro>(clock::now() - t0).count();
    double best = 1e30, total = 0;
    for (int i = 0; i < rounds; ++i) {
        t0 = clock::now();
        compose(s, font, buf.data(), kClientW);
        const double us = std::chrono::duration<double, std::micro>(clock::now() - t0).count();
        best = std::min(best, us);
        total += us;
    }
    std::printf("%-11s first %8.1f us   mean %6.1f us   best %6.1f us   (%d rounds)\n", name, first,
                total / rounds, best, rounds);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    std::string err;
    auto font = SdlFont::open(&err);
    if (!font) {
        std::fprintf(stderr, "compose-bench: %s\n", err.c_str());
        return 1;
    }
    std::printf("font %s, style %s\n", font->face().family.c_str(), textStyleName(font->style()));
    Screen title(*font);
    time("title", title, *font, rounds);
    Screen dive(*font);
    busy(dive);
    time("dive", dive, *font, rounds);
    Screen all(*font);
    everything(all);
    time("everything", all, *font, rounds);
    return 0;
}
