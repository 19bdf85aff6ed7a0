#include "web/replays.h"

#include <algorithm>
#include <vector>

#include "web/page.h"

RecordRead sharedDive() {
    const int length = torvenka_replay_fragment(nullptr, 0);
    if (length < 0) return {};
    std::string text(std::min<size_t>(static_cast<size_t>(length), kMostRecordLinkChars + 1), '\0');
    text.resize(static_cast<size_t>(torvenka_replay_fragment(text.data(), static_cast<int>(text.size()))));
    return readLinkText(text);
}

void Replays::offer(const DiveRecord& r) {
    record_ = r;
    state_ = State::Waiting;
    torvenka_replays_show(kReplayWaits, nullptr, 0, "");
}

void Replays::playing() {
    state_ = State::Watching;
    torvenka_replays_show(kReplayPlays, nullptr, 0, "");
}

void Replays::refuse(const std::string& line) { torvenka_replays_say(line.c_str()); }

void Replays::after(const Scheduler& loop) {
    switch (state_) {
        case State::Playing:
            // Every dive that began is kept when it ends, for the page's
            // actions; one whose record outgrew its bounds is not.
            if (loop.recorder().closed() && loop.recorder().position().steps > 0) {
                record_ = loop.record();
                over(false);
            }
            break;
        case State::Watching:
            if (!loop.playbackProblem().empty()) {
                state_ = State::Over;
                record_.reset();
                refuse(loop.playbackProblem());
            } else if (loop.playbackOver()) {
                over(true);
            }
            break;
        case State::Waiting:
        case State::Over: break;
    }
}

void Replays::over(bool watched) {
    state_ = State::Over;
    const std::vector<uint8_t> bytes = writeRecord(*record_);
    const std::string link = linkText(bytes);
    torvenka_replays_show(watched ? kReplayWatched : kReplayPlayed, bytes.data(), static_cast<int>(bytes.size()),
                          link.c_str());
}
