// Torvenka: one run of the program plays one dive.
#include <cstdio>

#include "app/lock.h"
#include "app/scheduler.h"
#include "app/sdl_window.h"
#include "game/form.h"
#include "screen/fixed_font.h"

namespace {
class SilentSink : public CommandSink {
public:
    int send(const std::string&) override { return 1; }
};
}  // namespace

int main() {
    // Only one copy plays at a time; a second one leaves without a word.
    if (!takeSingleInstanceLock("velmo")) return 0;

    SdlPlatform platform;
    if (!platform.open("Torvenka")) {
        std::fprintf(stderr, "torvenka: %s\n", platform.error().c_str());
        return 1;
    }
    FixedFont font;
    platform.setFont(font);
    SilentSink sound;
    Screen screen(font);
    Scheduler loop(platform);
    TForm1 form(screen, sound, loop);
    loop.attach(form, screen);
    form.FormCreate(utcTimeOfDayMs());
    platform.show();
    loop.run();
    form.FormDestroy();
    return 0;
}
