#include <cstdio>

#include "desktop/lock.h"

// FNV-1a, 64 bits, of the place.
std::string lockPlaceHash(const std::string& place) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : place) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}
