#include "sound/command_parser.h"

#include <limits>
#include <vector>

namespace sound {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

// Splits a command into words; a word in double quotes may hold spaces and
// must be followed by a space or the end. Gives the reason when the quoting
// is broken.
std::string splitWords(std::string_view s, std::vector<std::string_view>& out) {
    size_t i = 0;
    while (i < s.size()) {
        if (isSpace(s[i])) {
            ++i;
        } else if (s[i] == '"') {
            const size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos) return "a quote is not closed";
            if (end + 1 < s.size() && !isSpace(s[end + 1])) return "a closing quote is followed by more of the word";
            out.push_back(s.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < s.size() && !isSpace(s[end])) {
                if (s[end] == '"') return "a quote in the middle of a word";
                ++end;
            }
            out.push_back(s.substr(i, end - i));
            i = end;
        }
    }
    return {};
}

std::optional<uint32_t> parsePosition(std::string_view w) {
    if (w.empty() || w.size() > 10) return std::nullopt;
    uint64_t v = 0;
    for (char c : w) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
    return static_cast<uint32_t>(v);
}

Parsed failure(std::string why) { return Parsed{std::nullopt, std::move(why)}; }

// A word as the parser reads it back: quoted when it is empty or holds a
// space.
std::string word(const std::string& w) {
    for (char c : w)
        if (isSpace(c)) return '"' + w + '"';
    return w.empty() ? "\"\"" : w;
}

}  // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

Parsed parseCommand(std::string_view command) {
    std::vector<std::string_view> w;
    if (std::string why = splitWords(command, w); !why.empty()) return failure(std::move(why));
    if (w.empty()) return failure("the command is empty");
    const std::string_view verb = w[0];
    if (equalIgnoringCase(verb, "open")) {
        if (w.size() != 4 || !equalIgnoringCase(w[2], "alias")) return failure("open wants: open <file> alias <alias>");
        if (w[1].empty()) return failure("open names no file");
        return {Open{std::string(w[1]), lower(w[3])}, {}};
    }
    if (equalIgnoringCase(verb, "play")) {
        if (w.size() < 4 || w.size() > 5 || !equalIgnoringCase(w[2], "from"))
            return failure("play wants: play <alias> from <ms> [notify]");
        const std::optional<uint32_t> from = parsePosition(w[3]);
        if (!from) return failure("the position is not a whole number of milliseconds up to 2147483647");
        if (w.size() == 5 && !equalIgnoringCase(w[4], "notify"))
            return failure("play ends with a word other than notify");
        return {Play{lower(w[1]), *from, w.size() == 5}, {}};
    }
    if (equalIgnoringCase(verb, "stop") || equalIgnoringCase(verb, "close")) {
        if (w.size() != 2) return failure(std::string(verb) + " wants exactly one alias");
        if (equalIgnoringCase(verb, "stop")) return {Stop{lower(w[1])}, {}};
        return {Close{lower(w[1])}, {}};
    }
    return failure("unknown command \"" + std::string(verb) + "\"");
}

std::string formatCommand(const Operation& operation) {
    struct Format {
        std::string operator()(const Open& o) const { return "open \"" + o.file + "\" alias " + word(o.alias); }
        std::string operator()(const Play& p) const {
            return "play " + word(p.alias) + " from " + std::to_string(p.fromMs) + (p.notify ? " notify" : "");
        }
        std::string operator()(const Stop& s) const { return "stop " + word(s.alias); }
        std::string operator()(const Close& c) const { return "close " + word(c.alias); }
    };
    return std::visit(Format{}, operation);
}

}  // namespace sound
