// iconexport OUTDIR SIZE...
// Writes OUTDIR/hicolor/<N>x<N>/apps/torvenka.png for every size given,
// laid out as the freedesktop icon theme wants it.
// iconexport --ico FILE SIZE...
// Writes one Windows icon file holding every size given (16 to 256), each
// as a PNG picture, for the resources of Windows' torvenka.exe.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "screen/icon.h"
#include "devkit/png_writer.h"

static bool writeIcon(const std::string& path, const RgbaImage& img) {
    return writeRgbaPng(path, img.px.data(), img.w, img.h, img.w);
}

static void put16(std::vector<uint8_t>& b, unsigned v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
static void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// The ICO layout: a header, one directory entry per picture, the pictures.
static bool writeIco(const char* path, const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> pictures;
    for (int size : sizes) {
        const RgbaImage img = iconAt(size);
        pictures.push_back(rgbaPngBytes(img.px.data(), img.w, img.h, img.w));
        if (pictures.back().empty()) return false;
    }
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);  // an icon
    put16(out, static_cast<unsigned>(sizes.size()));
    uint32_t at = static_cast<uint32_t>(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));  // 0 stands for 256
        out.push_back(static_cast<uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
        out.push_back(0);  // no palette
        out.push_back(0);
        put16(out, 1);   // planes
        put16(out, 32);  // bits a pixel
        put32(out, static_cast<uint32_t>(pictures[i].size()));
        put32(out, at);
        at += static_cast<uint32_t>(pictures[i].size());
    }
    for (const auto& p : pictures) out.insert(out.end(), p.begin(), p.end());
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

int main(int argc, char** argv) {
    if (argc < 3 || (std::strcmp(argv[1], "--ico") == 0 && argc < 4)) {
        std::fprintf(stderr, "usage: iconexport OUTDIR SIZE...\n       iconexport --ico FILE SIZE...\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--ico") == 0) {
        std::vector<int> sizes;
        for (int i = 3; i < argc; ++i) {
            char* end = nullptr;
            const long size = std::strtol(argv[i], &end, 10);
            if (*end != '\0' || size < 16 || size > 256) {
                std::fprintf(stderr, "iconexport: bad icon size '%s' (16 to 256)\n", argv[i]);
                return 2;
            }
            sizes.push_back(static_cast<int>(size));
        }
        if (!writeIco(argv[2], sizes)) {
            std::fprintf(stderr, "iconexport: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
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
