// Help on Linux: "?" asks xdg-open (here a stand-in named by LUMIVANE_HELP_OPENER) for the HTML
// page beside the program, at the dialog's keyword; when the opener fails the main dialog shows
// its fallback message instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/temp_files.h"
#include "resources/resource_ids.h"
#include "ui/dialog_driver.h"

namespace {

using HelpTest = DialogTest;

void PressHelp(HWND d) { Click(d, IDC_HELP_BUTTON); }
// Opens a sub-dialog, presses its help button and cancels it.
DialogStep HelpIn(int button) {
  return [=](HWND d) { OpenSubDialog(d, button, {PressHelp, [](HWND s) { Click(s, IDCANCEL); }}); };
}

TEST_F(HelpTest, TheButtonsOpenThePageAtTheirKeywordsAndAFailedOpenSaysSo) {
  const TempFolder folder("help");
  const std::string opener = folder.File("opener"), asked = folder.File("asked");
  std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> " << asked << "\n";
  std::system(("chmod +x " + opener).c_str());
  setenv("LUMIVANE_HELP_OPENER", opener.c_str(), 1);
  Put("Audio", "1");
  ::testing::internal::CaptureStderr();
  RunMain({PressHelp, HelpIn(IDC_SPEED_LIMIT), HelpIn(IDC_CONFIGURE_AUDIO),
           HelpIn(IDC_PALETTE_BUTTON), [](HWND d) { Click(d, IDCANCEL); }});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  const std::string pages = FileBytes(asked), contents = pages.substr(0, pages.find('\n'));
  EXPECT_EQ(pages, contents + "\n" + contents + "#speed-limit\n" + contents + "#audio\n" +
                       contents + "#palette\n");
  EXPECT_EQ(contents.rfind("file:///", 0), 0u) << contents;
  // The page beside the program has every anchor the dialogs ask for.
  const std::string html = FileBytes(contents.substr(7));
  for (const char *id : {"id=\"speed-limit\"", "id=\"audio\"", "id=\"palette\""})
    EXPECT_NE(html.find(id), std::string::npos) << id;

  setenv("LUMIVANE_HELP_OPENER", "/bin/false", 1);
  ::testing::internal::CaptureStderr();
  RunMain({PressHelp, [](HWND d) { Click(d, IDCANCEL); }});
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Lumivane: Experiment with all the various controls.  Nearly every "
                      "combination looks cool!"),
            std::string::npos)
      << said;
  unsetenv("LUMIVANE_HELP_OPENER");
}

}  // namespace
