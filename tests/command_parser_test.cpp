#include <gtest/gtest.h>

#include <set>

#include "headless/bots.h"
#include "headless/harness.h"
#include "sound/command_player.h"
#include "sound/recording_back_end.h"

namespace {

using namespace sound;

// A command player whose unparsable commands fail the test.
struct LoudPlayer {
    RecordingBackEnd backEnd;
    CommandPlayer player{backEnd, [](const std::string& command, const std::string& reason) {
                             ADD_FAILURE() << "unparsable sound command '" << command << "': " << reason;
                         }};
};

// Every command of a whole dive, from the start click through the clear to
// the window's destruction, parses, and writing its operation back gives
// the very same text.
TEST(CommandParser, ReadsEveryCommandOfADiveExactly) {
    std::vector<std::string> log;
    {
        Dive d(4242);
        GoodDiver bot;
        d.start();
        d.play(bot, d);
        ASSERT_EQ(d.game.phase(), Phase::Clear);
        d.runOut();
        // The window's destruction sends the last commands.
        d.sound.onSend = [&](const std::string& c) { log.push_back(c); };
        log = d.sound.log;
    }
    ASSERT_EQ(log.back(), "close audio1");

    LoudPlayer loud;
    for (const std::string& c : log) EXPECT_EQ(loud.player.send(c), kOk) << c;
    ASSERT_EQ(loud.backEnd.operations.size(), log.size());
    for (size_t i = 0; i < log.size(); ++i)
        EXPECT_EQ(formatCommand(loud.backEnd.operations[i]), log[i]);
    std::set<std::string> opened, aliases;
    for (const Operation& op : loud.backEnd.operations) {
        if (const auto* o = std::get_if<Open>(&op)) opened.insert(o->file + " on " + o->alias);
        std::visit([&](const auto& x) { aliases.insert(x.alias); }, op);
    }
    EXPECT_EQ(opened, (std::set<std::string>{"dat/se1.wav on se1", "dat/se2.wav on se1", "dat/se3.wav on se1",
                                             "dat/se4.wav on se1", "dat/plomvex_s01.mid on audio1",
                                             "dat/ravederu.mid on audio1"}));
    EXPECT_EQ(aliases, (std::set<std::string>{"se1", "audio1"}));
}

// Forms the game does not write but the sound layer has always accepted:
// any case in keywords and aliases, any white space, quotes around any word.
TEST(CommandParser, AcceptsLooseSpellings) {
    const std::pair<const char*, Operation> cases[] = {
        {"OPEN \"Dat/SE1.WAV\" ALIAS Se1", Open{"Dat/SE1.WAV", "se1"}},
        {"  open\tdat/se1.wav   alias \"se1\"  ", Open{"dat/se1.wav", "se1"}},
        {"open \"my sounds/a b.wav\" alias \"two words\"", Open{"my sounds/a b.wav", "two words"}},
        {"Play AUDIO1 From 14 Notify", Play{"audio1", 14, true}},
        {"play se1 from \"0\"", Play{"se1", 0, false}},
        {"\"stop\" se1", Stop{"se1"}},
        {"close\r\nAUDIO1", Close{"audio1"}},
    };
    for (const auto& [text, want] : cases) {
        const Parsed p = parseCommand(text);
        ASSERT_TRUE(p) << text << ": " << p.error;
        EXPECT_EQ(*p.operation, want) << text;
        EXPECT_EQ(parseCommand(formatCommand(*p.operation)).operation, p.operation) << text;
    }
    EXPECT_EQ(parseCommand("play se1 from 2147483647").operation, (Operation{Play{"se1", 2147483647, false}}));
    // Quoting is written back only where a word needs it.
    EXPECT_EQ(formatCommand(Open{"my sounds/a b.wav", "two words"}), "open \"my sounds/a b.wav\" alias \"two words\"");
    EXPECT_EQ(formatCommand(Stop{""}), "stop \"\"");
    EXPECT_EQ(parseCommand("stop \"\"").operation, Operation{Stop{""}});
}

TEST(CommandParser, RejectsWithAReason) {
    for (const char* bad : {"", "   ", "seek se1 to 0", "play se1", "play se1 from", "play se1 from -3",
                            "play se1 from +3", "play se1 from 1.5", "play se1 from 2147483648",
                            "play se1 from 12345678901", "play se1 from 00000000001", "play se1 from 0 wait",
                            "play se1 from 0 notify now",
                            "play se1 at 0", "stop", "stop se1 now", "close", "close se1 now", "open",
                            "open \"\" alias a", "open x.wav alias", "open x.wav a", "open \"x.wav alias a",
                            "open \"x.wav\" as a", "open \"x.wav\"alias a", "open x\"y\".wav alias a",
                            "open x.wav alias a b"}) {
        const Parsed p = parseCommand(bad);
        EXPECT_FALSE(p) << "'" << bad << "' parsed";
        EXPECT_FALSE(p.error.empty()) << "'" << bad << "' fails without a reason";
    }
}

// The player hands each operation to its back end and gives back the back
// end's result; a command that does not parse reaches no back end and is
// reported only to whoever asked to hear of it.
TEST(CommandPlayer, HandsOperationsOnAndReportsOnlyWhenAsked) {
    struct Refusing : RecordingBackEnd {
        Result play(const Play& op) override {
            RecordingBackEnd::play(op);
            return kPlay;
        }
    } backEnd;
    std::vector<std::string> reported;
    CommandPlayer told(backEnd,
                       [&](const std::string& c, const std::string& why) { reported.push_back(c + ": " + why); });
    CommandPlayer silent(backEnd);
    EXPECT_EQ(told.send("open \"dat/se3.wav\" alias se1"), kOk);
    EXPECT_EQ(silent.send("play se1 from 0 notify"), kPlay);
    EXPECT_EQ(silent.send("rewind se1"), kSyntax);
    EXPECT_EQ(told.send("play se1 from soon"), kSyntax);
    EXPECT_EQ(backEnd.operations, (std::vector<Operation>{Open{"dat/se3.wav", "se1"}, Play{"se1", 0, true}}));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].rfind("play se1 from soon: ", 0), 0u) << reported[0];
}

}  // namespace
