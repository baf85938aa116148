// The render tool's command line: what it accepts and the one-line errors for what it does not.
#include <gtest/gtest.h>

#include "tools/render_options.h"

namespace {

bool Parse(std::vector<std::string> arguments, RenderOptions *options, std::string *error) {
  return ParseRenderOptions(arguments, options, error);
}

}  // namespace

// The spaced spelling of every option reaches the saver in the golden pictures; here the joined
// one, at the limits.
TEST(RenderOptions, ReadsTheJoinedSpellingUpToTheLimitsAndTheShippedDesignsText) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--favorite=Hypnotic Eye", "--seed=4294967295", "--size=16X8192",
                     "--ticks=1000000", "--display=truecolor", "--out=b.png"},
                    &options, &error))
      << error;
  EXPECT_EQ(options.favorite, "Hypnotic Eye");
  EXPECT_EQ(options.seed, 4294967295u);
  EXPECT_EQ(options.width, 16);
  EXPECT_EQ(options.height, 8192);
  EXPECT_EQ(options.ticks, 1000000);
  EXPECT_EQ(options.display, DisplayKind::TrueColor);
  EXPECT_EQ(options.out, "b.png");
  // Blanks before a number and signs, as shipped designs have them; X for a random field.
  for (const char *design :
       {"Neon Dahlia,7,0,213,141,123,1, 1,130,11,67,4,0,1,0,1,1,1", "Juggler,3,-4,X,+180"})
    EXPECT_TRUE(Parse({"--design", design, "--out", "c.png"}, &options, &error)) << error;
}

TEST(RenderOptions, RefusesBadArgumentsWithAnErrorNamingThem) {
  const struct {
    std::vector<std::string> arguments;
    const char *mentions;
  } cases[] = {
      {{"--out", "a.png", "--frobnicate"}, "--frobnicate"},
      {{"--out"}, "--out needs a value"},
      {{"--seed", "7"}, "--out"},
      {{"--out", "a.png", "--seed", "4294967296"}, "--seed"},
      {{"--out", "a.png", "--seed", "12abc"}, "--seed"},
      {{"--out", "a.png", "--size", "640"}, "--size"},
      {{"--out", "a.png", "--size", "15x480"}, "--size"},
      {{"--out", "a.png", "--size", "640x8193"}, "--size"},
      {{"--out", "a.png", "--size", "x480"}, "--size"},
      {{"--out", "a.png", "--ticks", "1000001"}, "--ticks"},
      {{"--out", "a.png", "--ticks", " 5"}, "--ticks"},
      {{"--out", "a.png", "--display", "mono"}, "--display"},
      {{"--out", "a.png", "--design", ""}, "--design"},
      {{"--out", "a.png", "--design", ",5,0"}, "--design"},
      {{"--out", "a.png", "--design", "garbage"}, "'garbage' has a name but no fields"},
      {{"--out", "a.png", "--design", "Star,5,zero,10"}, "field 2 is 'zero'"},
      {{"--out", "a.png", "--design", "Star,5,,10"}, "field 2 is ''"},
      {{"--out", "a.png", "--design", "Star,5,-"}, "field 2 is '-'"},
      {{"--out", "a.png", "--design", "Star,5,0,10 "}, "field 3 is '10 '"},
      {{"--out", "a.png", "--design", "Star,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18"},
       "18 fields"},
      {{"--out", "a.png", "--favorite", ""}, "--favorite"},
      {{"--out", "a.png", "--design", "Star,5", "--favorite", "Star"}, "not both"},
  };
  for (const auto &c : cases) {
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(Parse(c.arguments, &options, &error)) << c.mentions;
    EXPECT_NE(error.find(c.mentions), std::string::npos) << "error was: " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
  }
}
