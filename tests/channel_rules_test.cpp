// The channel rules both back ends share (sound/channel_rules.h): a file's
// kind by its extension, and which music alias the one music stream holds.
#include <gtest/gtest.h>

#include "sound/channel_rules.h"

using sound::FileKind;
using sound::fileKind;
using sound::MusicStream;

TEST(ChannelRules, FileKindGoesByTheLastPartsExtensionInAnyCase) {
    EXPECT_EQ(fileKind("dat/plomvex_s01.mid"), FileKind::kMusic);
    EXPECT_EQ(fileKind("dat/RAVEDERU.MiD"), FileKind::kMusic);
    EXPECT_EQ(fileKind("dat/se1.wav"), FileKind::kEffect);
    EXPECT_EQ(fileKind("se1.WAV"), FileKind::kEffect);
    EXPECT_EQ(fileKind("dat/a.b.c..wav"), FileKind::kEffect);
    EXPECT_EQ(fileKind("dat/.hidden.mid"), FileKind::kMusic);
    // Neither kind: another extension, none, only a leading dot, a folder.
    EXPECT_EQ(fileKind("dat/plomvex_s01.ogg"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/se1.wave"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/se1"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/se1."), FileKind::kUnknown);
    EXPECT_EQ(fileKind("dat/.wav"), FileKind::kUnknown);
    EXPECT_EQ(fileKind(".mid"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("x.wav/"), FileKind::kUnknown);
    EXPECT_EQ(fileKind("x.mid/se1"), FileKind::kUnknown);
    EXPECT_EQ(fileKind(""), FileKind::kUnknown);
}

TEST(ChannelRules, ThePieceStartedLastHoldsTheMusicStream) {
    MusicStream stream;
    EXPECT_EQ(stream.take("audio1"), "");
    EXPECT_TRUE(stream.heldBy("audio1"));
    EXPECT_EQ(stream.take("audio1"), "");  // starting again cuts nothing off
    EXPECT_EQ(stream.take("audio2"), "audio1");
    EXPECT_FALSE(stream.heldBy("audio1"));
    EXPECT_TRUE(stream.heldBy("audio2"));
    // Stopping an alias that no longer holds the stream leaves it alone.
    stream.release("audio1");
    EXPECT_TRUE(stream.heldBy("audio2"));
    stream.release("audio2");
    EXPECT_FALSE(stream.heldBy("audio2"));
    EXPECT_FALSE(stream.heldBy(""));
    EXPECT_EQ(stream.take("audio1"), "");
}
