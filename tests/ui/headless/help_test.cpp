// Help on Linux: "?" asks xdg-open (here a stand-in named by LUMIVANE_HELP_OPENER) for the HTML
// page beside the program, at the dialog's keyword; when the opener fails the main dialog shows
// its fallback message instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "common/temp_files.h"
#include "resources/resource_ids.h"
#include "ui/configure_dialog.h"
#include "ui/dialog_driver.h"
#include "ui/dialog_fixture.h"

namespace {

class HelpTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dir_ = folder_.Path().string();
    opener_ = dir_ + "/opener";
    std::ofstream(opener_) << "#!/bin/sh\necho \"$1\" >> " << dir_ << "/asked\n";
    std::system(("chmod +x " + opener_).c_str());
  }
  void TearDown() override {
    unsetenv("LUMIVANE_HELP_OPENER");
  }
  std::string Asked() const {
    std::ifstream in(dir_ + "/asked");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  TempFolder folder_{"help"};
  std::string dir_, opener_;
};

void PressHelp(HWND d) { Click(d, IDC_HELP_BUTTON); }

TEST_F(HelpTest, TheButtonsOpenThePageAtTheirKeywords) {
  setenv("LUMIVANE_HELP_OPENER", opener_.c_str(), 1);
  Put("Audio", "1");
  ::testing::internal::CaptureStderr();
  RunDialog(IDD_CONFIGURE, ScreenSaverConfigureDialog, "Lumivane 95",
            {PressHelp,
             [](HWND d) {
               ExpectDialog("System Speed Adjustments", {PressHelp, [](HWND s) { Click(s, IDCANCEL); }});
               Click(d, IDC_SPEED_LIMIT);
             },
             [](HWND d) {
               ExpectDialog("Audio Configuration", {PressHelp, [](HWND s) { Click(s, IDCANCEL); }});
               Click(d, IDC_CONFIGURE_AUDIO);
             },
             [](HWND d) {
               ExpectDialog("Custom Color Palette", {PressHelp, [](HWND s) { Click(s, IDCANCEL); }});
               Click(d, IDC_PALETTE_BUTTON);
             },
             [](HWND d) { Click(d, IDCANCEL); }});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  const std::string asked = Asked();
  std::istringstream lines(asked);
  std::string contents, speed, audio, palette;
  std::getline(lines, contents);
  std::getline(lines, speed);
  std::getline(lines, audio);
  std::getline(lines, palette);
  EXPECT_EQ(contents.rfind("file:///", 0), 0u) << asked;
  EXPECT_NE(contents.find("/lumiva95.html"), std::string::npos) << asked;
  EXPECT_EQ(contents.find('#'), std::string::npos) << asked;
  EXPECT_EQ(speed, contents + "#speed-limit");
  EXPECT_EQ(audio, contents + "#audio");
  EXPECT_EQ(palette, contents + "#palette");
  // Every anchor the dialogs ask for is in the page.
  std::ifstream page(contents.substr(7));
  std::stringstream html;
  html << page.rdbuf();
  for (const char *id : {"id=\"speed-limit\"", "id=\"audio\"", "id=\"palette\""})
    EXPECT_NE(html.str().find(id), std::string::npos) << id;
}

TEST_F(HelpTest, AFailedOpenShowsTheFallbackMessage) {
  setenv("LUMIVANE_HELP_OPENER", "/bin/false", 1);
  ::testing::internal::CaptureStderr();
  RunDialog(IDD_CONFIGURE, ScreenSaverConfigureDialog, "Lumivane 95", {PressHelp, [](HWND d) { Click(d, IDCANCEL); }});
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Lumivane: Experiment with all the various controls.  Nearly every combination looks cool!"),
            std::string::npos)
      << said;
}

}  // namespace
