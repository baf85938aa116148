// The real lumivane-render binary: golden pictures match exactly, runs repeat byte for byte,
// bad arguments and failed writes end with a one-line error and no picture, the settings it
// writes, and the showcase list shows every shipped design.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/temp_files.h"
#include "settings/settings_store.h"
#include "tools/png_file.h"
#include "tools/saver_setup.h"

namespace {

// The lines of a list such as tests/golden/pictures.txt, each split at its tabs; blank lines and
// lines starting with '#' are comments.
std::vector<std::vector<std::string>> TabSeparatedLines(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    lines.emplace_back();
    for (std::string field; std::getline(fields, field, '\t');) lines.back().push_back(field);
  }
  return lines;
}

const TempFolder &ScratchFolder() {
  static const TempFolder folder("render-tests");
  return folder;
}

std::string Scratch(const std::string &name) { return ScratchFolder().File(name); }

// The exit status, and what the tool said on standard error; the paths printed on success are
// not of interest.
int RunRender(const std::vector<std::string> &arguments, std::string *errors = nullptr) {
  std::string command = LUMIVANE_RENDER;
  for (const std::string &a : arguments) command += " '" + a + "'";
  const std::string errorFile = Scratch("stderr.txt");
  const int status = std::system((command + " >/dev/null 2>'" + errorFile + "'").c_str());
  if (errors) *errors = FileBytes(errorFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RgbPicture Render(std::vector<std::string> arguments, const std::string &out) {
  arguments.push_back("--out");
  arguments.push_back(out);
  RgbPicture picture;
  std::string error;
  EXPECT_EQ(RunRender(arguments), 0);
  EXPECT_TRUE(ReadPng(out, &picture, &error)) << error;
  return picture;
}

// Of the three channels, 0 to 255.
double MeanBrightness(const RgbPicture &picture) {
  double sum = 0;
  for (uint32_t p : picture.pixels) sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
  return picture.pixels.empty() ? 0 : sum / (3.0 * static_cast<double>(picture.pixels.size()));
}

size_t LitPixels(const RgbPicture &picture) {
  return picture.pixels.size() - std::count(picture.pixels.begin(), picture.pixels.end(), 0u);
}

}  // namespace

TEST(RenderTool, GoldenPicturesMatchExactlyAndRepeatByteForByte) {
  // A picture's name, then the tool's arguments.
  const auto goldens = TabSeparatedLines(std::string(GOLDEN_DIR) + "/pictures.txt");
  ASSERT_GE(goldens.size(), 2u) << "tests/golden/pictures.txt lists the golden pictures";
  for (const auto &golden : goldens) {
    const std::string &name = golden[0];
    SCOPED_TRACE(name);
    RgbPicture expected;
    std::string error;
    ASSERT_TRUE(ReadPng(std::string(GOLDEN_DIR) + "/" + name + ".png", &expected, &error))
        << error << "\nno golden picture: run tools/regenerate-golden, look at it, commit it";
    const RgbPicture rendered = Render({golden.begin() + 1, golden.end()}, Scratch(name + ".png"));
    EXPECT_EQ(rendered.width, expected.width);
    EXPECT_EQ(rendered.height, expected.height);
    EXPECT_TRUE(rendered.pixels == expected.pixels)
        << "the picture changed; if on purpose, run tools/regenerate-golden and say why";
    EXPECT_GT(LitPixels(expected), 0u) << "a golden picture that shows nothing proves nothing";
  }
  Render({goldens[0].begin() + 1, goldens[0].end()}, Scratch("again.png"));
  EXPECT_TRUE(FileBytes(Scratch("again.png")) == FileBytes(Scratch(goldens[0][0] + ".png")))
      << "equal pictures give equal bytes";
  for (const auto &entry : std::filesystem::directory_iterator(ScratchFolder().Path()))
    EXPECT_NE(entry.path().extension(), ".part") << "a finished picture leaves no part file";
}

TEST(RenderTool, FailuresEndWithAOneLineErrorAndWithoutAPicture) {
  const std::string out = Scratch("never.png");
  std::string errors;
  EXPECT_EQ(RunRender({"--size", "big", "--out", out}, &errors), 2);
  EXPECT_EQ(RunRender({"--favorite", "Bitty", "--out", out}, &errors), 1);
  EXPECT_NE(errors.find("\"Bitty Dots\""), std::string::npos) << "the names are listed: " << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_FALSE(std::filesystem::exists(out));
  const std::string unwritable = Scratch("no-such-folder") + "/picture.png";
  EXPECT_EQ(RunRender({"--ticks", "1", "--size", "16x16", "--out", unwritable}, &errors), 1);
  EXPECT_NE(errors.find("no-such-folder"), std::string::npos) << errors;
  EXPECT_EQ(RunRender({"--help"}), 0);
}

// A fixed moment shows some designs as a nearly black screen (a mean brightness of 0.1 to 0.4
// here); the showcase's seeds and tick counts must not.
TEST(RenderTool, TheShowcaseShowsEveryShippedDesignOnceAndVisibly) {
  constexpr double VISIBLE_BRIGHTNESS = 1.0;
  const auto entries = TabSeparatedLines(SHOWCASE_LIST);
  for (const auto &entry : entries)
    ASSERT_EQ(entry.size(), 3u) << "name, seed and ticks: " << entry[0];
  // The settings a render writes, read back by the saver's own load in a folder that goes.
  std::string shipped, homePath;
  {
    ThrowawayHome home;
    ASSERT_TRUE(home.ok());
    homePath = home.path();
    EXPECT_STREQ(getenv("LUMIVANE_HOME"), homePath.c_str()) << "a render never writes elsewhere";
    SaverSetup setup;
    setup.design = "Star,5,-3,10,250,X,11,1,210,6,0";
    setup.speedGroupSize = 1000;
    setup.speedInterval = 5;
    std::string error;
    ASSERT_TRUE(WriteSaverSettings(setup, &error)) << error;
    SettingsStore loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.Design.Spin, -3);
    EXPECT_TRUE(loaded.Design.PotLuck[POT_LUCK_SPEED]);
    EXPECT_EQ(loaded.AllRandom, 0);
    EXPECT_EQ(loaded.DesignIntervalMs, NEVER_CHANGE_INTERVAL_MS) << "the design is held";
    EXPECT_EQ(loaded.SpeedGroupSize, 1000);
    EXPECT_EQ(loaded.SpeedInterval, 5);
    shipped = FavoriteNames();
  }
  EXPECT_FALSE(std::filesystem::exists(homePath));
  std::string listed;
  for (const auto &entry : entries) listed += (listed.empty() ? "\"" : ", \"") + entry[0] + "\"";
  EXPECT_EQ(listed, shipped) << "tools/showcase.txt lists the shipped designs in slot order";

  for (const auto &entry : entries) {
    SCOPED_TRACE(entry[0]);
    const RgbPicture shown = Render(
        {"--favorite", entry[0], "--seed", entry[1], "--ticks", entry[2], "--size", "480x270"},
        Scratch("showcase.png"));
    EXPECT_GE(MeanBrightness(shown), VISIBLE_BRIGHTNESS);
  }
}
