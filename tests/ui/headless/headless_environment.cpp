// On Linux the dialog tests run on the headless backend, with settings in a private folder and
// both emulated displays.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/temp_files.h"
#include "compat/testing.h"
#include "ui/dialog_fixture.h"

namespace {

class HeadlessPerTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo &) override {
    compat::testing::ResetHeadless();
    compat::testing::SetScreenSize(1024, 768);
    // A safety net: a dialog that never ends gives the test back after a virtual minute.
    compat::testing::SetDeadline(compat::testing::Now() + 60000);
  }
};

const bool installed = [] {
  static const TempFolder home("ui-tests");
  setenv("LUMIVANE_HOME", home.Path().c_str(), 1);
  compat::testing::UseHeadless();
  ::testing::UnitTest::GetInstance()->listeners().Append(new HeadlessPerTest);
  return true;
}();

}  // namespace

void ForEachDisplay(const std::function<void(bool palette)> &body) {
  for (const char *display : {"palette", "truecolor"}) {
    SCOPED_TRACE(display);
    setenv("LUMIVANE_DISPLAY", display, 1);
    body(display[0] == 'p');
  }
  unsetenv("LUMIVANE_DISPLAY");
}
