// Torvenka: one run of the program plays one dive.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "desktop/bench_watch.h"
#include "desktop/command_line.h"
#include "desktop/desktop_names.h"
#include "desktop/dive_archive.h"
#include "app/desktop_sound_files.h"
#include "desktop/lock.h"
#include "app/sdl_window.h"
#include "desktop/system_clock.h"
#include "loop/scheduler.h"
#include "screen/bitmaps.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "sound/command_player.h"
#include "sound/sdl_mixer_back_end.h"

namespace {

// The game waits this long for its sound device at the start; a sound server
// that takes longer is not waited for, and the sound comes when it can.
constexpr std::chrono::milliseconds kSoundOpenWait{250};

// One dive, from the lock to the last object gone; the exit status.
int play(const CommandLine& cl, const std::string& lockPlace, const std::optional<DiveRecord>& replay) {
    // Only one copy plays at a time; a second one leaves without a word. The
    // lock is held until the program ends. The tests give their runs a lock
    // of their own (TORVENKA_LOCK_DIR, a folder), apart from a game the
    // player has open and from other runs.
    const SingleInstanceLock lock(kApplicationName, lockPlace.c_str());
    if (!lock.held()) return 0;

    // The name the desktop's sound panel shows for the game's sound.
    SDL_SetHint(SDL_HINT_APP_NAME, kGameName);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, kGameName);

    // Each object gets what it needs when it is made, and they go in the
    // reverse order: the game (inside the loop) silences both sound channels
    // as it goes, before the sound device, the window and the font. The font
    // is the glyph table built into the game: no font file is read.
    GlyphFont font(kBakedGlyphs);
    drawEveryPicture();  // before the dive, so that no step waits for one
    SdlPlatform platform(font);
    if (!platform.open(cl.scale)) {
        std::fprintf(stderr, "torvenka: %s\n", platform.error().c_str());
        return 1;
    }
    DesktopSoundFiles soundFiles;
    // Silent, never failing, when there is no sound device.
    SdlMixerBackEnd mixer(soundFiles, kSoundOpenWait);
    sound::CommandPlayer soundPlayer(mixer);  // a command that does not parse is not heard, like any failure
    Scheduler loop(platform, font, soundPlayer, replay ? replay->seed : utcTimeOfDayMs());
    if (replay) loop.playBack(*replay);  // the player's pointer steers nothing
    const std::unique_ptr<LoopObserver> bench = watchForBench(loop);
    platform.show();
    loop.run();
    if (const std::string problem = afterDive(loop, replay.has_value()); !problem.empty()) {
        std::fprintf(stderr, "torvenka: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine cl = parseCommandLine(argc, argv);
    if (const std::optional<int> answered = answerCommandLine(cl, TORVENKA_VERSION)) return *answered;
    // A lock place of the tests' own is checked: a place anyone could take
    // is no lock, and is refused rather than used.
    std::string lockPlace;
    if (const char* given = std::getenv(kLockDirVariable); given && *given) {
        const LockPlace place = checkLockPlace(given);
        if (!place.problem.empty()) {
            std::fprintf(stderr, "torvenka: %s=%s: %s\n", kLockDirVariable, given, place.problem.c_str());
            return 2;
        }
        lockPlace = place.folder;
    }
    // A dive to watch again is read first: one that cannot be played is one
    // line, and nothing opens.
    std::optional<DiveRecord> replay;
    if (cl.replay) {
        const RecordRead r = readReplayArgument(*cl.replay);
        if (!r.record) {
            std::fprintf(stderr, "torvenka: %s\n", r.error.c_str());
            return 1;
        }
        replay = r.record;
    }

    const int status = play(cl, lockPlace, replay);
    // The window and the lock are gone. A sound device that a frozen sound
    // server kept from closing is still in SDL's hands: the process ends
    // without running anything more into it.
    if (SdlMixerBackEnd::leftOpen()) std::_Exit(status);
    return status;
}
