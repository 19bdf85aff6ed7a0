// tracediff: compares two full whole-state traces, one line a step, and
// prints the first line and the first field, by name, in which they differ.
// Fields only one of them holds (an item one build has and the other not)
// are named first and not compared.
//
//   TORVENKA_TRACE_DIR=/tmp/a build/tests/torvenka_tests --gtest_filter='Trace*'
//   (change the code, build, run again into /tmp/b)
//   tracediff /tmp/a/corners.full /tmp/b/corners.full
//
// With --summary, it reads the whole of both and prints one paragraph: the
// first line that differs, every field that differs on some line (with the
// number of lines it differs on), and whether the last lines agree, which is
// how tools/tracediff/retrace.sh reports a re-recording:
//
//   tracediff --summary corners /tmp/a/corners.full /tmp/b/corners.full
//
// Exit status: 0 when they agree, 1 when they differ, 2 when a file cannot
// be read. They agree when every field both hold agrees.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "headless/trace.h"

namespace {

bool readLines(const char* path, std::vector<std::string>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return true;
}

std::string labelOf(const std::string& line) {
    const trace::Fields f = trace::split(line);
    return f.empty() ? "" : f[0].second;
}

// The fields both lines hold whose values differ, by name.
std::vector<std::string> movedFields(const std::string& a, const std::string& b) {
    const trace::Fields fa = trace::split(a), fb = trace::split(b);
    std::map<std::string, const std::string*> inB;
    for (const auto& [name, value] : fb) inB[name] = &value;
    std::vector<std::string> moved;
    for (const auto& [name, value] : fa)
        if (const auto it = inB.find(name); it != inB.end() && *it->second != value) moved.push_back(name);
    return moved;
}

int summary(const char* title, const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::map<std::string, int> moved;  // field -> lines it differs on
    std::vector<std::string> order;
    size_t first = 0;
    bool differs = false;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] == b[i]) continue;
        const std::vector<std::string> names = movedFields(a[i], b[i]);
        if (names.empty()) continue;
        if (!differs) first = i;
        differs = true;
        for (const std::string& n : names)
            if (moved[n]++ == 0) order.push_back(n);
    }
    if (!differs && a.size() == b.size()) {
        std::printf("%s: the same, %zu lines\n", title, a.size());
        return 0;
    }
    std::printf("%s: %zu lines, were %zu", title, b.size(), a.size());
    if (differs) {
        std::printf("; first moved at line %zu (%s): ", first + 1, labelOf(a[first]).c_str());
        const std::vector<std::string> there = movedFields(a[first], b[first]);
        for (size_t k = 0; k < there.size(); ++k) std::printf("%s%s", k ? " " : "", there[k].c_str());
        std::printf("\n  fields that moved (lines):");
        for (const std::string& n : order) std::printf(" %s(%d)", n.c_str(), moved[n]);
    }
    std::printf("\n");
    // How the dive ends: its last line's state record, clock, phase, seed,
    // caption and sound apart from its items' boxes.
    if (!a.empty() && !b.empty()) {
        std::set<std::string> dive = {"line", "clock", "sleeps", "phase", "seed", "caption", "sound"};
        for (const auto& [name, value] : trace::stateFields(GameState{})) dive.insert(name);
        std::string state, items;
        for (const std::string& n : movedFields(a.back(), b.back())) (dive.count(n) ? state : items) += " " + n;
        std::printf("  last line: the dive %s; items%s\n", state.empty() ? "ends the same" : ("differs in" + state).c_str(),
                    items.empty() ? " the same" : (" moved:" + items).c_str());
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--summary") {
        std::vector<std::string> a, b;
        for (int i : {3, 4})
            if (!readLines(argv[i], i == 3 ? a : b)) {
                std::fprintf(stderr, "tracediff: cannot read %s\n", argv[i]);
                return 2;
            }
        return summary(argv[2], a, b);
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: tracediff EXPECTED.full ACTUAL.full\n       tracediff --summary TITLE EXPECTED.full ACTUAL.full\n");
        return 2;
    }
    std::vector<std::string> a, b;
    for (int i : {1, 2})
        if (!readLines(argv[i], i == 1 ? a : b)) {
            std::fprintf(stderr, "tracediff: cannot read %s\n", argv[i]);
            return 2;
        }
    if (!a.empty() && !b.empty())
        for (int i : {1, 2}) {
            std::string names;
            for (const std::string& n : i == 1 ? trace::fieldsOnlyIn(a[0], b[0]) : trace::fieldsOnlyIn(b[0], a[0]))
                names += " " + n;
            if (!names.empty()) std::printf("only in %s:%s\n", argv[i], names.c_str());
        }
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] == b[i]) continue;
        const std::string diff = trace::firstDifference(a[i], b[i]);
        if (diff.empty()) continue;  // they differ only in fields one of them lacks
        std::printf("line %zu (%s): %s\n", i + 1, labelOf(a[i]).c_str(), diff.c_str());
        return 1;
    }
    if (a.size() != b.size()) {
        std::printf("the traces agree for %zu lines; then only %s goes on\n", std::min(a.size(), b.size()),
                    a.size() > b.size() ? argv[1] : argv[2]);
        return 1;
    }
    std::printf("the traces agree, %zu lines\n", a.size());
    return 0;
}
