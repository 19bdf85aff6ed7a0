// iconexport OUTDIR SIZE...
// Writes OUTDIR/hicolor/<N>x<N>/apps/torvenka.png for every size given,
// laid out as the freedesktop icon theme wants it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "screen/icon.h"
#include "devkit/png_writer.h"

static bool writeIcon(const std::string& path, const RgbaImage& img) {
    return writeRgbaPng(path, img.px.data(), img.w, img.h, img.w);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: iconexport OUTDIR SIZE...\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (*end != '\0' || size < 16 || size > 1024) {
            std::fprintf(stderr, "iconexport: bad size '%s'\n", argv[i]);
            return 2;
        }
        const std::string n = std::to_string(size);
        const std::filesystem::path dir = out / "hicolor" / (n + "x" + n) / "apps";
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        const std::filesystem::path file = dir / "torvenka.png";
        if (ec || !writeIcon(file.string(), iconAt(static_cast<int>(size)))) {
            std::fprintf(stderr, "iconexport: cannot write %s\n", file.string().c_str());
            return 1;
        }
    }
    return 0;
}
