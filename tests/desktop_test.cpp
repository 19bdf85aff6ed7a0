// The desktop's side of the game: the command line, the arithmetic of
// scaled windows (where the scale comes from, pointer positions back to game
// pixels, the frame in blocks), and the dives it keeps.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/command_line.h"
#include "app/dive_archive.h"
#include "app/scaling.h"

namespace {

CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "torvenka");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, OptionsAndTheirMistakes) {
    EXPECT_TRUE(parse({}).error.empty());
    EXPECT_FALSE(parse({}).scale);
    EXPECT_EQ(parse({"--scale", "3"}).scale, 3);
    const std::string largest = "--scale=" + std::to_string(kMaxScale);
    EXPECT_EQ(parse({largest.c_str()}).scale, kMaxScale);
    const std::string tooLarge = std::to_string(kMaxScale + 1);
    EXPECT_EQ(parse({"--scale", "1"}).scale, 1);
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    EXPECT_EQ(parse({"--replay", "last"}).replay, "last");
    EXPECT_EQ(parse({"--replay=dive.tvk", "--scale", "2"}).replay, "dive.tvk");
    for (auto bad : std::vector<std::vector<const char*>>{
             {"--scale"}, {"--scale", "0"}, {"--scale", tooLarge.c_str()}, {"--scale", "-2"}, {"--scale", "2.5"},
             {"--scale", "02x"}, {"--scale="}, {"--scale", "100"}, {"--scale", "99999999999"}, {"--Scale", "2"}, {"-s"}, {"dive"},
             {"--replay"}, {"--replay="}}) {
        const CommandLine c = parse(bad);
        EXPECT_FALSE(c.error.empty()) << bad[0];
    }
}

// The newest ten dives are kept, numbered in the order they came, each file
// whole; what a crash left half written goes, and a damaged file is one line.
TEST(DiveArchive, TheNewestTenWholeFiles) {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("torvenka-archive-" + std::to_string(::getpid()));
    fs::remove_all(home);
    setenv("XDG_STATE_HOME", home.c_str(), 1);
    const std::string folder = diveFolder();
    EXPECT_EQ(folder, (home / "torvenka").string());
    setenv("XDG_STATE_HOME", "relative/is/ignored", 1);
    EXPECT_NE(diveFolder(), "relative/is/ignored/torvenka");
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(newestDive(folder), "");

    DiveRecord r;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        r.seed = seed;
        ASSERT_TRUE(keepDive(folder, writeRecord(r)));
        if (seed == 11) std::ofstream(fs::path(folder) / ".dive-crashed") << "half";
    }
    std::vector<std::string> names;
    for (const auto& f : fs::directory_iterator(folder)) names.push_back(f.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names.front(), "dive-00000003.tvk");
    EXPECT_EQ(names.back(), "dive-00000012.tvk");
    const RecordRead newest = readReplayFile(newestDive(folder));
    ASSERT_TRUE(newest.record) << newest.error;
    EXPECT_EQ(newest.record->seed, 12u);

    fs::resize_file(newestDive(folder), 9);
    EXPECT_EQ(readReplayFile(newestDive(folder)).error, "the replay is damaged: cut short or altered");
    EXPECT_EQ(readReplayFile(folder).error, folder + " is not a file");
    fs::remove_all(home);
}

TEST(Scaling, WhereTheScaleComesFrom) {
    auto scale = [](std::optional<double> dpi, std::optional<double> gdk, bool xwayland = false) {
        return scaleFromDesktop({dpi, gdk, xwayland});
    };
    EXPECT_EQ(scale({}, {}), 1);
    EXPECT_EQ(scale(96.0, {}), 1);
    EXPECT_EQ(scale(192.0, {}), 2);
    EXPECT_EQ(scale(144.0, {}), 2);  // 150 % rounds up
    EXPECT_EQ(scale(120.0, {}), 1);  // 125 % rounds down
    EXPECT_EQ(scale(2000.0, {}), kMaxScale);
    EXPECT_EQ(scale({}, 2.0), 2);
    EXPECT_EQ(scale(96.0, 3.0), 1);  // Xft.dpi comes first
    // Under Xwayland the session's Xft.dpi decides, never GDK_SCALE.
    EXPECT_EQ(scale({}, 2.0, true), 1);
    EXPECT_EQ(scale(192.0, {}, true), 2);

    EXPECT_EQ(xftDpiFromResources("Xcursor.size:\t24\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_EQ(xftDpiFromResources("Xft.dpi: 144"), 144.0);
    EXPECT_FALSE(xftDpiFromResources("Xft.dpi:\tlarge\n"));
    EXPECT_FALSE(xftDpiFromResources("*dpi:\t192\n"));
    EXPECT_FALSE(xftDpiFromResources(nullptr));
    EXPECT_EQ(gdkScaleFrom("2"), 2.0);
    EXPECT_FALSE(gdkScaleFrom("0"));
    EXPECT_FALSE(gdkScaleFrom("two"));
    EXPECT_FALSE(gdkScaleFrom(""));

    // A desktop-given scale never makes a window larger than the screen.
    EXPECT_EQ(fitScale(4, 1024, 768, 194, 215), 3);
    EXPECT_EQ(fitScale(2, 3840, 2160, 194, 215), 2);
    EXPECT_EQ(fitScale(3, 100, 100, 194, 215), 1);
}

TEST(Scaling, PointerBackToGamePixelsAndTheFrameInBlocks) {
    // Each block of n window pixels is one game pixel; left of or above
    // the window is still left of or above it.
    EXPECT_EQ(floorDiv(0, 3), 0);
    EXPECT_EQ(floorDiv(5, 3), 1);
    EXPECT_EQ(floorDiv(6, 3), 2);
    EXPECT_EQ(floorDiv(-1, 3), -1);
    EXPECT_EQ(floorDiv(-3, 3), -1);
    EXPECT_EQ(floorDiv(-4, 3), -2);

    const uint32_t src[2 * 3] = {1, 2, 3, 4, 5, 6};  // 3 wide, 2 high
    const int n = 3, pitch = (3 * n + 1) * 4;           // a pitch wider than the row
    std::vector<uint32_t> dst(static_cast<size_t>(pitch / 4) * 2 * n, 0xDEAD);
    scaleFrame(src, 3, 2, n, reinterpret_cast<uint8_t*>(dst.data()), pitch);
    for (int y = 0; y < 2 * n; ++y)
        for (int x = 0; x < 3 * n; ++x) EXPECT_EQ(dst[static_cast<size_t>(y) * (pitch / 4) + x], src[(y / n) * 3 + x / n]);
    EXPECT_EQ(dst[static_cast<size_t>(pitch / 4) - 1], 0xDEADu);  // the pitch's spare pixel is left alone
}

}  // namespace
