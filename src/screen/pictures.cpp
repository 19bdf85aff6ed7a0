// Placeholder pictures of the right sizes and key colours; the real art
// replaces this file.
#include "screen/pictures.h"

#include <array>

namespace {

struct Spec {
    const char* name;
    int w, h;
    uint32_t fill, line;
};

const Spec kSpecs[static_cast<int>(Pic::Count)] = {
    {"card", 50, 51, kKeyBlue, kRed},     {"cardox", 50, 51, kKeyBlue, kRed},
    {"cardb", 50, 51, kKeyBlue, kRed},    {"cardwp", 50, 51, kKeyBlue, kRed},
    {"cardsk", 50, 51, kKeyBlue, kRed},   {"back", 66, 1056, 0x3040A0, 0x3040A0},
    {"taco", 43, 49, kKeyBlue, kWhite},   {"taco2", 43, 49, kKeyBlue, kCyan},
    {"taco3", 43, 49, kKeyBlue, kRed},    {"cani", 106, 92, kKeyBlue, kWhite},
    {"cani2", 106, 92, kKeyBlue, kCyan},  {"cani3", 106, 92, kKeyBlue, kRed},
    {"utsu", 173, 119, kKeyBlue, kWhite}, {"utsu2", 173, 119, kKeyBlue, kCyan},
    {"utsu3", 173, 119, kKeyBlue, kRed},  {"velmo", 200, 116, kKeyBlue, kWhite},
    {"velmo2", 200, 116, kKeyBlue, kCyan}, {"velmo3", 200, 116, kKeyBlue, kRed},
    {"spear", 23, 23, kKeyBlue, kWhite},  {"spear2", 23, 23, kKeyBlue, kCyan},
    {"spear3", 23, 23, kKeyBlue, kRed},   {"ring", 19, 19, kKeyBlue, kWhite},
    {"waku", 6, 6, kBlack, kBlack},       {"ikayaki", 136, 85, kBlack, kWhite},
    {"mes1", 121, 44, kBlack, kWhite},    {"mes2", 98, 32, kBlack, kWhite},
    {"over", 103, 17, kBlack, kWhite},    {"awa", 4, 4, kKeyBlue, kWhite},
};

Picture make(const Spec& s) {
    Picture p;
    p.w = s.w;
    p.h = s.h;
    p.px.assign(static_cast<size_t>(s.w) * s.h, s.fill);
    for (int x = 1; x < s.w - 1; ++x) {
        p.px[static_cast<size_t>(1) * s.w + x] = s.line;
        p.px[static_cast<size_t>(s.h - 2) * s.w + x] = s.line;
    }
    return p;
}

}  // namespace

const Picture& picture(Pic p) {
    static const std::array<Picture, static_cast<size_t>(Pic::Count)> all = [] {
        std::array<Picture, static_cast<size_t>(Pic::Count)> a;
        for (size_t i = 0; i < a.size(); ++i) a[i] = make(kSpecs[i]);
        return a;
    }();
    return all[static_cast<size_t>(p)];
}

const char* pictureName(Pic p) { return kSpecs[static_cast<int>(p)].name; }
