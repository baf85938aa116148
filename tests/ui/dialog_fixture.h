// The dialog tests' scene: the section "Lumivane 95" of the real control.ini, emptied before each
// test and read back through the profile calls, and the displays the tests can run on here.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialog_driver.h"

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  static void Put(const char *key, const std::string &value);
  static std::string Get(const char *key);
  static bool Has(const char *key);
  static void PutSlot(int slot, const std::string &design) {
    Put(("Favorite" + std::to_string(slot)).c_str(), design);
  }
  static std::string Slot(int slot) { return Get(("Favorite" + std::to_string(slot)).c_str()); }
};

// The main configuration dialog, modally, with these steps; its result.
INT_PTR RunMain(std::vector<DialogStep> steps);
// Opens the main dialog, runs the sub-dialog's steps in the one its button opens, and cancels
// the main dialog.
void InSubDialog(int button, const char *caption, std::vector<DialogStep> steps);

// Runs body once for each display this platform's tests can have: on Linux the emulated palette
// and true-colour displays, on Windows the one the desktop has. body gets whether it is a
// 256-colour palette display.
void ForEachDisplay(const std::function<void(bool palette)> &body);
