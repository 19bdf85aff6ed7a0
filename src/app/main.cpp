// Torvenka: one run of the program plays one dive.
#include <cstdio>

#include "app/lock.h"
#include "app/scheduler.h"
#include "app/sdl_window.h"
#include "game/form.h"
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
    Screen screen(*font);
    Scheduler loop(platform);
    TForm1 form(screen, sound, loop);
    loop.attach(form, screen);
    form.FormCreate(utcTimeOfDayMs());
    platform.show();
    loop.run();
    form.FormDestroy();
    return 0;
}
