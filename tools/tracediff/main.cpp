// tracediff: compares two full whole-state traces, one line a step, and
// prints the first line and the first field, by name, in which they differ.
// Fields only one of them holds (an item one build has and the other not)
// are named first and not compared.
//
//   TORVENKA_TRACE_DIR=/tmp/a build/tests/torvenka_tests --gtest_filter='Trace*'
//   (change the code, build, run again into /tmp/b)
//   tracediff /tmp/a/corners.full /tmp/b/corners.full
//
// Exit status: 0 when they agree, 1 when they differ, 2 when a file cannot
// be read. They agree when every field both hold agrees.
#include <algorithm>
#include <cstdio>
#include <fstream>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tracediff EXPECTED.full ACTUAL.full\n");
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
