// The entry's reading of the command line and the run modes that end without a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/saver_main.h"

TEST(CommandLine, TailDropsTheProgramPathAndAWindowHandleIsDecimalAfterSpacesOnly) {
  const struct {
    const char *commandLine, *tail;
  } tails[] = {{"\"C:\\Program Files\\LUMIVA95.SCR\" /s", "/s"},
               {"C:\\WINDOWS\\LUMIVA95.SCR /p 1234", "/p 1234"},
               {"LUMIVA95.SCR\t \x01/c", "/c"},
               {"\"\" /a", "/a"},
               {"LUMIVA95.SCR", ""},
               {"", ""},
               // A quote that is never closed swallows the rest; nothing past the end is read.
               {"\"C:\\unclosed /s", ""}};
  for (const auto &t : tails) EXPECT_EQ(std::string(CommandTail(t.commandLine)), t.tail);

  const struct {
    const char *text;
    UINT_PTR handle;
  } handles[] = {{" 4711", 4711}, {"   12x34", 12}, {":4711", 0}, {"-5", 0},
                 {"\t5", 0},      {"0x10", 0},      {"", 0}};
  for (const auto &h : handles)
    EXPECT_EQ(ParseWindowHandle(h.text), reinterpret_cast<HWND>(h.handle)) << h.text;
}

TEST(RunModes, UnknownSwitchesBadPreviewHandlesAndAFailedDialogEndAtOnceAPasswordChangeWithZero) {
  // This test program has no dialog template 2003, so the configuration dialog cannot open;
  // its failure value must come through unchanged, whatever the owner. A password change
  // ends with 0, with or without an owner.
  const struct {
    const char *tail;
    int exitCode;
  } runs[] = {{"/x", -1},      {"/\ts", -1}, {"\ts", -1},        {"/p", -1},      {"/p 0", -1},
              {"/p:4711", -1}, {"-l", -1},   {"/?", -1},         {"/l 4711", -1}, {"/P 99999", -1},
              {"", -1},        {"   ", -1},  {" -/ -", -1},      {"/c", -1},      {"/c:4711", -1},
              {"C", -1},       {"/a", 0},    {"-A 99999999", 0}, {"/a:12", 0}};
  for (const auto &run : runs)
    EXPECT_EQ(SaverMain(GetModuleHandleA(nullptr), run.tail), run.exitCode)
        << "tail \"" << run.tail << "\"";
  EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", nullptr), nullptr);
}
