// The desktop's side of the game, shared by SDL's front end and Windows'
// own: the command line, the arithmetic of scaled windows (where the scale
// comes from, pointer positions back to game pixels, the frame in blocks),
// where the sound files are looked for, and the dives it keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "desktop/dive_archive.h"
#include "desktop/command_line.h"
#include "desktop/scaling.h"
#include "desktop/sound_root.h"

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
    const fs::path home = fs::temp_directory_path() / ("torvenka-archive-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::remove_all(home);
    const std::string folder = utf8FromPath(home / "torvenka");
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

    // A monitor's dots per inch, 96 a step (Windows' scale settings).
    EXPECT_EQ(scaleFromDpi(96), 1);
    EXPECT_EQ(scaleFromDpi(120), 1);   // 125 %
    EXPECT_EQ(scaleFromDpi(144), 2);   // 150 %: whole blocks, rounded
    EXPECT_EQ(scaleFromDpi(192), 2);
    EXPECT_EQ(scaleFromDpi(288), 3);
    EXPECT_EQ(scaleFromDpi(96 * 20), kMaxScale);
    EXPECT_EQ(scaleFromDpi(0), 1);
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

    // A drag past the window's top left at scale 2: the game sees its own
    // pixels, and screen positions counted from the client area's corner in
    // those pixels, as at scale 1 where the window stands.
    const PointerEvent e = pointerEventAt(MouseKind::Up, Button::Right, -3, 431, 2, 300, 200);
    EXPECT_EQ(e.kind, MouseKind::Up);
    EXPECT_EQ(e.button, Button::Right);
    EXPECT_EQ(e.x, -2);
    EXPECT_EQ(e.y, 215);
    EXPECT_EQ(e.screenX, 298);
    EXPECT_EQ(e.screenY, 415);
    EXPECT_EQ(e.originX, 300);
    EXPECT_EQ(e.originY, 200);

    const uint32_t src[2 * 3] = {1, 2, 3, 4, 5, 6};  // 3 wide, 2 high
    const int n = 3, pitch = (3 * n + 1) * 4;           // a pitch wider than the row
    std::vector<uint32_t> dst(static_cast<size_t>(pitch / 4) * 2 * n, 0xDEAD);
    scaleFrame(src, 3, 2, n, reinterpret_cast<uint8_t*>(dst.data()), pitch);
    for (int y = 0; y < 2 * n; ++y)
        for (int x = 0; x < 3 * n; ++x) EXPECT_EQ(dst[static_cast<size_t>(y) * (pitch / 4) + x], src[(y / n) * 3 + x / n]);
    EXPECT_EQ(dst[static_cast<size_t>(pitch / 4) - 1], 0xDEADu);  // the pitch's spare pixel is left alone
}

// The sounds are found from the current folder, as the game always read
// them, and else beside the program (a shortcut, a double click, a start
// from another folder), whatever characters the folders' names hold.
TEST(SoundRoot, CurrentFolderFirstThenTheProgramsOwn) {
    namespace fs = std::filesystem;
    const fs::path base = fs::path(testing::TempDir()) / pathFromUtf8("torvenka sound root 山田");
    fs::remove_all(base);
    const fs::path here = base / "here", program = base / pathFromUtf8("Programs/トルヴェンカ game");
    fs::create_directories(here);
    fs::create_directories(program / "dat");
    std::ofstream(program / "dat" / "se1.wav") << "RIFF";

    // Only the program's folder has the sounds.
    EXPECT_EQ(soundRoot(here, program), program);
    const RootedSoundFiles files(soundRoot(here, program));
    const fs::path found = pathFromUtf8(files.locate("dat/se1.wav"));
    EXPECT_TRUE(fs::equivalent(found, program / "dat" / "se1.wav")) << utf8FromPath(found);

    // The current folder's own dat/ comes first.
    fs::create_directories(here / "dat");
    EXPECT_EQ(soundRoot(here, program), here);
    // A file named dat is no folder of sounds; without any the current
    // folder stays, and the game plays silently.
    fs::remove_all(here / "dat");
    fs::remove_all(program / "dat");
    std::ofstream(program / "dat") << "";
    EXPECT_EQ(soundRoot(here, program), here);
    EXPECT_EQ(soundRoot(here, fs::path()), here);
    fs::remove_all(base);
}

}  // namespace
