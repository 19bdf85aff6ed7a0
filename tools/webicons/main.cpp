// webicons OUTDIR
// Writes the web page's icons into OUTDIR, all drawn from iconAt, the
// octopus the game shows on its window:
//   icon-192.png            the icon at 192 x 192 (the corners see-through)
//   icon-512.png            the icon at 512 x 512
//   icon-maskable-512.png   512 x 512 on black, the icon at half the size in
//                           the middle, so that any mask a launcher cuts
//                           (the safe zone is the middle circle of 80% of
//                           the width) leaves the whole octopus
//   apple-touch-icon.png    180 x 180 on black: iOS shows no see-through
//                           pixels and rounds the corners itself
// The page's manifest.webmanifest and index.html name these files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "screen/icon.h"
#include "devkit/png_writer.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000u;

// size x size of black with the icon at iconSize in the middle; the icon's
// see-through corners show the black.
RgbaImage onBlack(int size, int iconSize) {
    const RgbaImage icon = iconAt(iconSize);
    RgbaImage out{size, size, std::vector<uint32_t>(static_cast<size_t>(size) * size, kBlack)};
    const int at = (size - iconSize) / 2;
    for (int y = 0; y < iconSize; ++y)
        for (int x = 0; x < iconSize; ++x) {
            const uint32_t c = icon.px[static_cast<size_t>(y) * iconSize + x];
            if (c >> 24) out.px[static_cast<size_t>(y + at) * size + x + at] = c;
        }
    return out;
}

bool write(const std::filesystem::path& file, const RgbaImage& img) {
    if (writeRgbaPng(file.string(), img.px.data(), img.w, img.h, img.w)) return true;
    std::fprintf(stderr, "webicons: cannot write %s\n", file.string().c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: webicons OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    // The maskable icon at half its size: the icon's rounded square, corners
    // and all, then reaches 0.5 * 512 / 2 * sqrt(2) = 181 pixels from the
    // middle at most, inside the safe circle's 205, and each of the icon's
    // design pixels stays a crisp block of 4 x 4.
    const bool ok = write(out / "icon-192.png", iconAt(192)) &&
                    write(out / "icon-512.png", iconAt(512)) &&
                    write(out / "icon-maskable-512.png", onBlack(512, 256)) &&
                    write(out / "apple-touch-icon.png", onBlack(180, 180));
    return ok ? 0 : 1;
}
