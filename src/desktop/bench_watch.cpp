// The bench build's watcher, for scripts/bench:
//  - TORVENKA_BENCH_TRACE names a file that gets a line "S <µs> <phase>
//    <work ns>" for every step (its start on CLOCK_MONOTONIC; phase D dive,
//    O game over, C clear; the processor time the step itself took, the
//    loop's part in it included, but not the millisecond it sleeps) and one line "F <µs>" on CLOCK_REALTIME once the first frame
//    has been put on the screen;
//  - TORVENKA_BENCH_SPIN=1 makes the loop poll between steps instead of
//    sleeping, to measure the cadence against a busy loop;
//  - TORVENKA_BENCH_RECORD=0 leaves the dive unrecorded (and nothing kept),
//    to measure what recording costs.
#include "desktop/bench_watch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

unsigned long long nanos(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000000000ull + static_cast<unsigned long long>(ts.tv_nsec);
}
unsigned long long micros(clockid_t clock) { return nanos(clock) / 1000u; }

class StepTrace : public LoopObserver {
public:
    explicit StepTrace(FILE* f) : f_(f) {}
    ~StepTrace() override { std::fclose(f_); }
    void beforeStep(Phase) override {
        start_ = micros(CLOCK_MONOTONIC);
        work_ = nanos(CLOCK_THREAD_CPUTIME_ID);
    }
    void afterStep(Phase p, bool ran) override {
        if (ran) std::fprintf(f_, "S %llu %s %llu\n", start_, phaseLetter(p), nanos(CLOCK_THREAD_CPUTIME_ID) - work_);
    }
    void afterPresent() override {
        if (framed_) return;
        framed_ = true;
        std::fprintf(f_, "F %llu\n", micros(CLOCK_REALTIME));
        std::fflush(f_);
    }

private:
    FILE* f_;
    unsigned long long start_ = 0;
    unsigned long long work_ = 0;
    bool framed_ = false;
};

}  // namespace

std::unique_ptr<LoopObserver> watchForBench(Scheduler& loop) {
    if (const char* spin = std::getenv("TORVENKA_BENCH_SPIN"); spin && std::strcmp(spin, "1") == 0)
        loop.setSpinning(true);
    if (const char* record = std::getenv("TORVENKA_BENCH_RECORD"); record && std::strcmp(record, "0") == 0)
        loop.setRecording(false);
    const char* path = std::getenv("TORVENKA_BENCH_TRACE");
    if (!path || !*path) return nullptr;
    FILE* f = std::fopen(path, "w");
    if (!f) return nullptr;
    auto trace = std::make_unique<StepTrace>(f);
    loop.setObserver(trace.get());
    return trace;
}
