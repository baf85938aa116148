#include "dialog_fixture.h"

#include "resources/resource_ids.h"
#include "ui/configure_dialog.h"

namespace {
const char SECTION[] = "Lumivane 95";
const char FILE_NAME[] = "control.ini";
const char ABSENT[] = "(absent)";
}  // namespace

void DialogTest::SetUp() { WritePrivateProfileStringA(SECTION, nullptr, nullptr, FILE_NAME); }

void DialogTest::Put(const char *key, const std::string &value) {
  WritePrivateProfileStringA(SECTION, key, value.c_str(), FILE_NAME);
}

std::string DialogTest::Get(const char *key) {
  char text[1024] = "";
  GetPrivateProfileStringA(SECTION, key, "", text, sizeof text, FILE_NAME);
  return text;
}

bool DialogTest::Has(const char *key) {
  char text[64] = "";
  GetPrivateProfileStringA(SECTION, key, ABSENT, text, sizeof text, FILE_NAME);
  return std::string(text) != ABSENT;
}

INT_PTR RunMain(std::vector<DialogStep> steps) {
  return RunDialog(IDD_CONFIGURE, ScreenSaverConfigureDialog, "Lumivane 95", std::move(steps));
}

void InSubDialog(int button, const char *caption, std::vector<DialogStep> steps) {
  RunMain({[&](HWND d) { OpenSubDialog(d, button, caption, std::move(steps)); },
           [](HWND d) { Click(d, IDCANCEL); }});
}
