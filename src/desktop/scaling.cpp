#include "desktop/scaling.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int wholeScale(double s) {
    const long n = std::lround(s);
    return n < 1 ? 1 : n > kMaxScale ? kMaxScale : static_cast<int>(n);
}

}  // namespace

int scaleFromDesktop(const DesktopScale& d) {
    double s = 1;
    if (d.xftDpi && *d.xftDpi > 0)
        s = *d.xftDpi / 96.0;
    else if (!d.xwayland && d.gdkScale)
        s = *d.gdkScale;
    return wholeScale(s);
}

int scaleFromDpi(int dpi) { return dpi > 0 ? wholeScale(dpi / 96.0) : 1; }

std::optional<double> xftDpiFromResources(const char* resources) {
    if (!resources) return std::nullopt;
    // One resource a line: "Xft.dpi:\t192".
    const char* p = resources;
    while (*p) {
        const char* end = std::strchr(p, '\n');
        const size_t len = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (len > 8 && std::strncmp(p, "Xft.dpi:", 8) == 0) {
            const std::string value(p + 8, len - 8);
            char* stop = nullptr;
            const double v = std::strtod(value.c_str(), &stop);
            if (stop != value.c_str() && std::isfinite(v) && v > 0) return v;
        }
        if (!end) break;
        p = end + 1;
    }
    return std::nullopt;
}

std::optional<double> gdkScaleFrom(const char* value) {
    if (!value || !*value) return std::nullopt;
    char* stop = nullptr;
    const double v = std::strtod(value, &stop);
    if (*stop != '\0' || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

PointerEvent pointerEventAt(MouseKind kind, Button button, int x, int y, int scale, int originX, int originY) {
    const int gx = floorDiv(x, scale), gy = floorDiv(y, scale);
    return {kind, button, gx, gy, originX + gx, originY + gy, originX, originY};
}

int fitScale(int wanted, int usableW, int usableH, int clientW, int clientH) {
    int n = wanted;
    while (n > 1 && (clientW * n > usableW || clientH * n > usableH)) --n;
    return n < 1 ? 1 : n;
}

namespace {

// One row of the frame, each pixel n times over. The common scales get a
// loop of their own, which the compiler unrolls.
template <int N>
void widen(const uint32_t* s, int w, uint32_t* d) {
    for (int x = 0; x < w; ++x, d += N)
        for (int k = 0; k < N; ++k) d[k] = s[x];
}

void widen(const uint32_t* s, int w, int n, uint32_t* d) {
    switch (n) {
        case 2: widen<2>(s, w, d); return;
        case 3: widen<3>(s, w, d); return;
        case 4: widen<4>(s, w, d); return;
        default:
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < n; ++k) *d++ = s[x];
    }
}

}  // namespace

void scaleFrame(const uint32_t* src, int w, int h, int n, uint8_t* dst, int dstPitch) {
    const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(n) * sizeof(uint32_t);
    for (int y = 0; y < h; ++y) {
        const uint32_t* s = src + static_cast<size_t>(y) * w;
        uint8_t* first = dst + static_cast<size_t>(y) * n * dstPitch;
        if (n == 1) {
            std::memcpy(first, s, rowBytes);
            continue;
        }
        // Widen one row, then repeat it n - 1 times below.
        widen(s, w, n, reinterpret_cast<uint32_t*>(first));
        for (int k = 1; k < n; ++k) std::memcpy(first + static_cast<size_t>(k) * dstPitch, first, rowBytes);
    }
}
