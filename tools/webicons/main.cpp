// webicons OUTDIR
// webicons --check DIR
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
// The page's manifest.webmanifest and index.html name these files. They are
// committed in src/web/icons/, so that the site is built with nothing but
// Emscripten and the sound tools; `cmake --build build --target web_icons`
// draws them again there, and --check (a test) says whether the committed
// ones are what the game's icon makes now.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

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

const char* const kIcons[] = {"icon-192.png", "icon-512.png", "icon-maskable-512.png", "apple-touch-icon.png"};

bool writeAll(const std::filesystem::path& out) {
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    // The maskable icon at half its size: the icon's rounded square, corners
    // and all, then reaches 0.5 * 512 / 2 * sqrt(2) = 181 pixels from the
    // middle at most, inside the safe circle's 205, and each of the icon's
    // design pixels stays a crisp block of 4 x 4.
    return write(out / kIcons[0], iconAt(192)) && write(out / kIcons[1], iconAt(512)) &&
           write(out / kIcons[2], onBlack(512, 256)) && write(out / kIcons[3], onBlack(180, 180));
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The committed icons in `dir` against the ones drawn now, byte for byte.
int check(const std::filesystem::path& dir) {
    const std::filesystem::path fresh =
        std::filesystem::temp_directory_path() / ("webicons-" + std::to_string(::getpid()));
    if (!writeAll(fresh)) return 1;
    int stale = 0;
    for (const char* name : kIcons) {
        if (bytesOf(dir / name) != bytesOf(fresh / name)) {
            std::fprintf(stderr, "webicons: %s is not what the game's icon draws now "
                         "(cmake --build build --target web_icons draws it again)\n", (dir / name).string().c_str());
            ++stale;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(fresh, ec);
    if (stale == 0) std::printf("webicons: the %zu icons in %s are what the game's icon draws\n", std::size(kIcons),
                                dir.string().c_str());
    return stale == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--check") return check(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: webicons OUTDIR | webicons --check DIR\n");
        return 2;
    }
    return writeAll(argv[1]) ? 0 : 1;
}
