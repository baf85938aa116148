// The palette calls a whole saver run makes, read from the layer's call log: a true-colour
// display never selects or realises a palette; a palette display selects it around every
// tick's drawing and realises it once, on the first tick.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "compat/testing.h"
#include "engine/palette_engine.h"
#include "host/saver_main.h"

namespace ct = compat::testing;

namespace {

// Runs the full-screen saver on the given display until a key ends it after about a second.
std::vector<std::string> PaletteCallsOfARun(const char *display) {
  setenv("LUMIVANE_DISPLAY", display, 1);
  // Each run here stands for a fresh process, which has not realised its palette yet.
  ThePaletteEngine().realised = false;
  compat::EnablePaletteCallLog(true);
  compat::TakePaletteCallLog();
  const DWORD start = ct::Now();
  ct::ScheduleKeyDown(start + 1000, 'A');
  ct::SetDeadline(start + 20000);
  EXPECT_EQ(SaverMain(GetModuleHandleA(nullptr), "/s"), 0);
  EXPECT_FALSE(ct::DeadlineReached());
  std::vector<std::string> calls;
  for (const std::string &call : compat::TakePaletteCallLog()) {
    if (call == "SelectPalette" || call == "RealizePalette") calls.push_back(call);
  }
  compat::EnablePaletteCallLog(false);
  unsetenv("LUMIVANE_DISPLAY");
  return calls;
}

}  // namespace

TEST(PaletteRun, TrueColourNeverSelectsAPaletteAndAPaletteDisplayRealisesOnceOnTheFirstTick) {
  EXPECT_TRUE(PaletteCallsOfARun("truecolor").empty());

  std::vector<std::string> calls = PaletteCallsOfARun("palette");
  ASSERT_GE(calls.size(), 7u) << "several ticks, each selecting the palette and the previous one back";
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "RealizePalette"), 1);
  // The first tick: select, realise, select back; every later tick only selects.
  EXPECT_EQ(calls[0], "SelectPalette");
  EXPECT_EQ(calls[1], "RealizePalette");
  EXPECT_EQ(calls[2], "SelectPalette");
}
