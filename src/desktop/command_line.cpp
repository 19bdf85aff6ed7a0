#include "desktop/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "desktop/scaling.h"

namespace {

// A whole number from 1 to kMaxScale, digits only.
std::optional<int> parseScale(const char* s) {
    if (!s || !*s) return std::nullopt;
    int v = 0;
    for (const char* p = s; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        v = v * 10 + (*p - '0');
        if (v > kMaxScale) return std::nullopt;
    }
    if (v < 1) return std::nullopt;
    return v;
}

std::string scaleRange() { return "from 1 to " + std::to_string(kMaxScale); }

}  // namespace

std::string usageLine() { return "usage: torvenka [--scale N] [--replay FILE|last] | --help | --version"; }

std::string helpText() {
    return usageLine() +
           "\n\n"
           "Torvenka: sink through the sea as a diver, turn cards for oxygen, tanks,\n"
           "a spear or a ring, and fight its creatures with the mouse.\n\n"
           "  --scale N   draw every pixel of the game as an N x N block, N " + scaleRange() + "\n"
           "              (default: the desktop's own scale, 1 if it declares none)\n"
           "  --replay FILE  watch a dive again from its file; 'last' is the newest of the\n"
           "              dives kept in ~/.local/state/torvenka ($XDG_STATE_HOME/torvenka)\n"
           "  --help      show this help and exit\n"
           "  --version   show the version and exit\n\n"
           "For tests: TORVENKA_LOCK_DIR=FOLDER gives the run a single-instance lock of its\n"
           "own in FOLDER, a folder of yours that no one else may write to.\n";
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            c.help = true;
        } else if (std::strcmp(a, "--version") == 0) {
            c.version = true;
        } else if (std::strcmp(a, "--scale") == 0 || std::strncmp(a, "--scale=", 8) == 0) {
            const char* value = a[7] == '=' ? a + 8 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!value) {
                c.error = "--scale needs a value";
                return c;
            }
            c.scale = parseScale(value);
            if (!c.scale) {
                c.error = "--scale must be a whole number " + scaleRange() + ", not '" + value + "'";
                return c;
            }
        } else if (std::strcmp(a, "--replay") == 0 || std::strncmp(a, "--replay=", 9) == 0) {
            const char* value = a[8] == '=' ? a + 9 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!value || !*value) {
                c.error = "--replay needs a file, or 'last'";
                return c;
            }
            c.replay = value;
        } else {
            c.error = std::string(a[0] == '-' ? "unknown option '" : "unexpected argument '") + a + "'";
            return c;
        }
    }
    return c;
}

namespace {

// The answer to --help or --version on standard output, or a failed write
// reported (a full disk, a closed pipe) with exit status 1.
int answer(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) == EOF || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "torvenka: cannot write the answer: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace

std::optional<int> answerCommandLine(const CommandLine& line, const char* version) {
    if (!line.error.empty()) {
        std::fprintf(stderr, "torvenka: %s\n%s\n", line.error.c_str(), usageLine().c_str());
        return 2;
    }
    if (line.help) return answer(helpText());
    if (line.version) return answer(std::string("torvenka ") + version + "\n");
    return std::nullopt;
}
