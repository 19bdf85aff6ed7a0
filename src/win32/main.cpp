// Torvenka on Windows: one run of the program plays one dive.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/bench_watch.h"
#include "desktop/command_line.h"
#include "desktop/desktop_names.h"
#include "desktop/dive_archive.h"
#include "desktop/lock.h"
#include "desktop/sound_root.h"
#include "desktop/system_clock.h"
#include "loop/scheduler.h"
#include "screen/bitmaps.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "sound/command_player.h"
#include "win32/wave_out_back_end.h"
#include "desktop/wide.h"
#include "win32/win32_window.h"

namespace {

// The folder the program lies in.
std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

// A program for the window system has no console of its own: what the
// command line prints goes to the one it was started from, if any, unless
// its output was sent elsewhere.
void speakToConsole() {
    if (GetStdHandle(STD_OUTPUT_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

int wmain(int argc, wchar_t** wargv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(utf8FromWide(wargv[i]));
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    const CommandLine cl = parseCommandLine(argc, argv.data());
    if (!cl.error.empty() || cl.help || cl.version) {
        speakToConsole();
        return *answerCommandLine(cl, TORVENKA_VERSION);
    }
    // A dive to watch again is read first: one that cannot be played is one
    // line, and nothing opens.
    std::optional<DiveRecord> replay;
    if (cl.replay) {
        const RecordRead r = readReplayArgument(*cl.replay);
        if (!r.record) {
            speakToConsole();
            std::fprintf(stderr, "torvenka: %s\n", r.error.c_str());
            return 1;
        }
        replay = r.record;
    }

    // Only one copy plays at a time; a second one leaves without a word. The
    // lock is held until the program ends. The tests give their runs a lock
    // of their own (TORVENKA_LOCK_DIR, a folder), apart from a game the
    // player has open and from other runs.
    const wchar_t* lockDir = _wgetenv(wideFromUtf8(kLockDirVariable).c_str());
    const std::string lockPlace = lockDir ? utf8FromWide(lockDir) : std::string();
    const SingleInstanceLock lock(kApplicationName, lockPlace.c_str());
    if (!lock.held()) return 0;

    // Each object gets what it needs when it is made, and they go in the
    // reverse order: the game (inside the loop) silences both sound channels
    // as it goes, before the sound device, the window and the font. The font
    // is the glyph table built into the game: no font file is read.
    GlyphFont font(kBakedGlyphs);
    drawEveryPicture();  // before the dive, so that no step waits for one
    Win32Platform platform(font);
    if (!platform.open(cl.scale)) {
        speakToConsole();
        std::fprintf(stderr, "torvenka: %s\n", platform.error().c_str());
        return 1;
    }
    std::error_code ec;
    RootedSoundFiles soundFiles(soundRoot(std::filesystem::current_path(ec), programFolder()));
    WaveOutBackEnd sound(soundFiles);  // silent, never failing, when there is no sound device
    sound::CommandPlayer soundPlayer(sound);  // a command that does not parse is not heard, like any failure
    Scheduler loop(platform, font, soundPlayer, replay ? replay->seed : utcTimeOfDayMs());
    if (replay) loop.playBack(*replay);  // the player's pointer steers nothing
    const std::unique_ptr<LoopObserver> bench = watchForBench(loop);
    platform.show();
    loop.run();
    if (const std::string problem = afterDive(loop, replay.has_value()); !problem.empty()) {
        speakToConsole();
        std::fprintf(stderr, "torvenka: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}
