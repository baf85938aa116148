// PNG files: pixels survive the round trip, equal pictures give equal bytes, failures say so.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/temp_files.h"
#include "tools/png_file.h"

namespace {

std::filesystem::path Scratch(const char *name) {
  static const TempFolder folder("png-tests");
  return folder.Path() / name;
}

RgbPicture Pattern(int width, int height) {
  RgbPicture picture;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.pixels.push_back(static_cast<uint32_t>((x * 37) & 0xFF) << 16 |
                               static_cast<uint32_t>((y * 91) & 0xFF) << 8 |
                               static_cast<uint32_t>((x ^ y) & 0xFF));
  return picture;
}

}  // namespace

TEST(PngFile, PixelsComeBackExactlyAndEqualPicturesGiveEqualBytes) {
  const RgbPicture written = Pattern(37, 23);
  const auto first = Scratch("first.png");
  const auto second = Scratch("second.png");
  std::string error;
  ASSERT_TRUE(WritePng(first.string(), written, &error)) << error;
  ASSERT_TRUE(WritePng(second.string(), written, &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(first.string() + ".part"));

  RgbPicture read;
  ASSERT_TRUE(ReadPng(first.string(), &read, &error)) << error;
  EXPECT_EQ(read.width, 37);
  EXPECT_EQ(read.height, 23);
  EXPECT_EQ(read.pixels, written.pixels);
  EXPECT_EQ(FileBytes(first), FileBytes(second));
  std::filesystem::remove(first);
  std::filesystem::remove(second);
}

TEST(PngFile, FailuresAreReportedAndLeaveNothingBehind) {
  std::string error;
  const auto missingFolder = Scratch("no-such-folder") / "picture.png";
  EXPECT_FALSE(WritePng(missingFolder.string(), Pattern(4, 4), &error));
  EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;

  RgbPicture wrongSize = Pattern(4, 4);
  wrongSize.pixels.pop_back();
  const auto target = Scratch("short.png");
  EXPECT_FALSE(WritePng(target.string(), wrongSize, &error));
  EXPECT_FALSE(std::filesystem::exists(target));

  const auto notPng = Scratch("not.png");
  std::ofstream(notPng) << "plain text";
  RgbPicture read;
  EXPECT_FALSE(ReadPng(notPng.string(), &read, &error));
  EXPECT_FALSE(ReadPng(Scratch("absent.png").string(), &read, &error));
  std::filesystem::remove(notPng);
}
