// tracediff: compares two full whole-state traces, one line a step, and
// prints the first line and the first field, by name, in which they differ.
// Fields only one of them holds (an item one build has and the other not)
// are named first and not compared.
//
//   TORVENKA_TRACE_DIR=/tmp/a build/tests/torvenka_tests --gtest_filter='Trace*'
//   (change the code, build, run again into /tmp/b)
//   tracediff /tmp/a/corners.full /tmp/b/corners.full
//
// With --summary, it reads the whole of both and prints a paragraph: the
// fields that moved, with the first line and the number of lines each moved
// on, apart for the items whose size alone moved, the items that moved
// otherwise and the dive itself, and whether the last lines hold the same
// state, which is how tools/tracediff/retrace.sh reports a re-recording:
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

// The fields both lines hold whose values differ: by name, and whether
// only an item's size differs ("left,top,WxH,visible,picture,colour,text").
struct Moved {
    std::string name;
    bool sizeOnly;
};
std::string withoutSize(const std::string& item) {
    const size_t second = item.find(',', item.find(',') + 1);
    const size_t third = second == std::string::npos ? second : item.find(',', second + 1);
    return third == std::string::npos ? item : item.substr(0, second) + item.substr(third);
}
std::vector<Moved> movedFields(const std::string& a, const std::string& b, const std::set<std::string>& dive) {
    const trace::Fields fa = trace::split(a), fb = trace::split(b);
    std::map<std::string, const std::string*> inB;
    for (const auto& [name, value] : fb) inB[name] = &value;
    std::vector<Moved> moved;
    for (const auto& [name, value] : fa)
        if (const auto it = inB.find(name); it != inB.end() && *it->second != value)
            moved.push_back({name, !dive.count(name) && withoutSize(value) == withoutSize(*it->second)});
    return moved;
}

// What moved in a whole trace, in three parts: the items whose size alone
// changed (a text measured another way), the items that changed otherwise,
// and the dive itself (its state record, clock, phase, seed, caption and
// sound), with the first line each part moved on and how it ends.
int summary(const char* title, const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::set<std::string> dive = {"line", "clock", "sleeps", "phase", "seed", "caption", "sound"};
    for (const auto& [name, value] : trace::stateFields(GameState{})) dive.insert(name);
    struct Part {
        std::map<std::string, int> lines;  // field -> lines it moved on
        std::vector<std::string> order;
        size_t first = 0;
        std::string firstFields;
    } parts[3];  // sizes, other items, the dive
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] == b[i]) continue;
        for (const Moved& m : movedFields(a[i], b[i], dive)) {
            Part& p = parts[dive.count(m.name) ? 2 : m.sizeOnly ? 0 : 1];
            if (p.order.empty() || p.first == i) {
                if (p.order.empty()) p.first = i;
                p.firstFields += " " + m.name;
            }
            if (p.lines[m.name]++ == 0) p.order.push_back(m.name);
        }
    }
    std::printf("%s: %zu lines%s\n", title, b.size(),
                a.size() == b.size() ? "" : (", were " + std::to_string(a.size())).c_str());
    const char* names[3] = {"items' sizes", "items otherwise", "the dive"};
    bool any = a.size() != b.size();
    for (int k = 0; k < 3; ++k) {
        const Part& p = parts[k];
        if (p.order.empty()) {
            std::printf("  %s: the same\n", names[k]);
            continue;
        }
        any = true;
        std::printf("  %s: from line %zu (%s), moved", names[k], p.first + 1, labelOf(a[p.first]).c_str());
        // Sizes: the items alone; the rest: each with the lines it moved on.
        std::printf(k == 0 ? " (%zu items):" : " (lines):", p.order.size());
        for (const std::string& n : p.order)
            k == 0 ? std::printf(" %s", n.c_str()) : std::printf(" %s(%d)", n.c_str(), p.lines.at(n));
        std::printf("\n");
    }
    if (!a.empty() && !b.empty()) {
        std::string end;
        for (const Moved& m : movedFields(a.back(), b.back(), dive))
            if (dive.count(m.name)) end += " " + m.name;
        std::printf("  the end: %s\n", end.empty() ? "the same state, clock and sound" : ("differs in" + end).c_str());
    }
    return any ? 1 : 0;
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
