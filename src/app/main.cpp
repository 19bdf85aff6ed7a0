// Torvenka: one run of the program plays one dive.
#include <cstdio>

#include "app/bench_watch.h"
#include "app/lock.h"
#include "app/sdl_window.h"
#include "core/game.h"
#include "loop/scheduler.h"
#include "screen/sdl_font.h"
#include "sound/sdl_mixer_sink.h"

int main() {
    // Only one copy plays at a time; a second one leaves without a word.
    if (!takeSingleInstanceLock("velmo")) return 0;

    SdlPlatform platform;
    if (!platform.open("Torvenka")) {
        std::fprintf(stderr, "torvenka: %s\n", platform.error().c_str());
        return 1;
    }
    std::string fontError;
    std::unique_ptr<SdlFont> font = SdlFont::open(&fontError);
    if (!font) {
        std::fprintf(stderr, "torvenka: %s\n", fontError.c_str());
        return 1;
    }
    platform.setFont(*font);
    SdlMixerSink sound;  // silent, never failing, when there is no sound device
    Scheduler loop(platform);
    Game game(*font, sound, loop, utcTimeOfDayMs());
    loop.attach(game);
    const std::unique_ptr<LoopObserver> bench = watchForBench(loop);
    platform.show();
    loop.run();
    game.shutDown();
    return 0;
}
