// Torvenka: one run of the program plays one dive.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/bench_watch.h"
#include "app/command_line.h"
#include "app/desktop_names.h"
#include "app/desktop_sound_files.h"
#include "app/lock.h"
#include "app/sdl_window.h"
#include "app/system_clock.h"
#include "loop/scheduler.h"
#include "screen/bitmaps.h"
#include "screen/glyph_font.h"
#include "screen/glyph_table.h"
#include "sound/command_player.h"
#include "sound/sdl_mixer_back_end.h"

int main(int argc, char** argv) {
    const CommandLine cl = parseCommandLine(argc, argv);
    if (!cl.error.empty()) {
        std::fprintf(stderr, "torvenka: %s\n%s\n", cl.error.c_str(), usageLine().c_str());
        return 2;
    }
    if (cl.help) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("torvenka %s\n", TORVENKA_VERSION);
        return 0;
    }

    // Only one copy plays at a time; a second one leaves without a word. The
    // lock is held until the program ends. The tests give their runs a lock
    // of their own (TORVENKA_LOCK_DIR, a folder), apart from a game the
    // player has open and from other runs.
    const SingleInstanceLock lock(kApplicationName, std::getenv(kLockDirVariable));
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
    SdlMixerBackEnd mixer(soundFiles);  // silent, never failing, when there is no sound device
    sound::CommandPlayer soundPlayer(mixer);  // a command that does not parse is not heard, like any failure
    Scheduler loop(platform, font, soundPlayer, utcTimeOfDayMs());
    const std::unique_ptr<LoopObserver> bench = watchForBench(loop);
    platform.show();
    loop.run();
    return 0;
}
