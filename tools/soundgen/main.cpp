// soundgen: writes the game's sound effects and music into a folder.
//   soundgen <dir>             write se1..se4.wav, plomvex_s01.mid, ravederu.mid
//   soundgen --sections        print the themes' sections and their times
//   soundgen --bars            print a fingerprint of every bar of the themes
#include <cstdio>
#include <string>

#include "soundgen.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--sections") {
        std::fputs(soundgen::describeSections().c_str(), stdout);
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--bars") {
        std::fputs(soundgen::describeBars().c_str(), stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: %s <output dir> | --sections | --bars\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!soundgen::writeAll(argv[1], error)) {
        std::fprintf(stderr, "soundgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
