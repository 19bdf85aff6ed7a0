// Dives watched again in the page: the dive just played, a shared dive's
// link (the address's fragment) and a replay file dropped on the page or
// picked. The page shows what can be done with a dive when it ends (watch
// it again, share its link, save its file: library_replays.js); a shared
// dive waits on its title for the player's press, which the browser needs
// before the page may sound, and is then played at its own pace, the
// player's pointer steering nothing. What cannot be played is one line.
#pragma once
#include <optional>
#include <string>

#include "loop/scheduler.h"
#include "record/record_format.h"

// The dive in the address's fragment: none (no fragment), a record, or the
// line that says why it cannot be played. At most one character more than
// a record's link may have is read, so a fragment of megabytes is refused
// before anything of it is decoded.
RecordRead sharedDive();

class Replays {
public:
    // A dive to watch, waiting on its title for the player's press.
    void offer(const DiveRecord& r);
    bool waiting() const { return state_ == State::Waiting; }
    // The player pressed: the dive offered, to be played from its start.
    const DiveRecord* start() { return record_ ? &*record_ : nullptr; }
    // The dive (record()) is being played back.
    void playing();
    // What cannot be watched, in one line.
    void refuse(const std::string& line);
    // After the loop's turns: the player's dive over, or a replay over or
    // gone wrong.
    void after(const Scheduler& loop);
    // The dive to watch again, once a dive is over.
    const DiveRecord* last() const { return state_ == State::Over && record_ ? &*record_ : nullptr; }

private:
    enum class State { Playing, Waiting, Watching, Over } state_ = State::Playing;
    void over(bool watched);
    std::optional<DiveRecord> record_;
};
