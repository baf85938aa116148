// Engine tests that open windows run on Linux on the headless backend, with a 1024 x 768
// screen and settings in a private folder; on Windows they use the real API.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/temp_files.h"
#include "compat/testing.h"

namespace {

class HeadlessPerTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo &) override {
    compat::testing::ResetHeadless();
    compat::testing::SetScreenSize(1024, 768);
  }
};

const bool installed = [] {
  static const TempFolder home("engine-tests");
  setenv("LUMIVANE_HOME", home.Path().c_str(), 1);
  compat::testing::UseHeadless();
  ::testing::UnitTest::GetInstance()->listeners().Append(new HeadlessPerTest);
  return true;
}();

}  // namespace
