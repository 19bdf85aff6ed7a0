#include <cstdio>

#include "desktop/lock.h"

std::string lockPlaceHash(const std::string& place) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : place) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}
