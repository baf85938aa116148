// Every test of a binary that links this runs on the headless backend, each from a fresh scene.
#include "common/headless_scene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/temp_files.h"

namespace {

DWORD start = 0;

std::vector<void (*)()> &Extras() {
  static std::vector<void (*)()> extras;
  return extras;
}

class HeadlessPerTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo &) override { FreshHeadlessScene(); }
};

const bool installed = [] {
  static const TempFolder home("headless-tests");
  setenv("LUMIVANE_HOME", home.Path().c_str(), 1);
  compat::testing::UseHeadless();
  ::testing::UnitTest::GetInstance()->listeners().Append(new HeadlessPerTest);
  return true;
}();

}  // namespace

void AddToEveryScene(void (*extra)()) { Extras().push_back(extra); }

void FreshHeadlessScene() {
  compat::testing::ResetHeadless();
  compat::testing::SetScreenSize(1024, 768);
  for (void (*extra)() : Extras()) extra();
  start = compat::testing::Now();
  compat::testing::SetDeadline(At(60000));
}

DWORD At(DWORD offset) { return start + offset; }
DWORD Elapsed() { return compat::testing::Now() - start; }

void SetSetting(const char *key, const char *value) {
  WritePrivateProfileStringA("Lumivane 95", key, value, "control.ini");
}

std::string Setting(const char *key) {
  char text[64] = "";
  GetPrivateProfileStringA("Lumivane 95", key, "", text, sizeof text, "control.ini");
  return text;
}

void ForEachDisplay(const std::function<void(bool palette)> &body) {
  for (const char *display : {"palette", "truecolor"}) {
    SCOPED_TRACE(display);
    setenv("LUMIVANE_DISPLAY", display, 1);
    body(display[0] == 'p');
  }
  unsetenv("LUMIVANE_DISPLAY");
}
