// The entry's reading of the command line and the run modes that end without a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/saver_main.h"

namespace {

std::string Tail(const char *commandLine) { return CommandTail(commandLine); }

}  // namespace

TEST(CommandLine, TailDropsTheProgramPathAndTheBlanksAfterIt) {
  EXPECT_EQ(Tail("\"C:\\Program Files\\LUMIVA95.SCR\" /s"), "/s");
  EXPECT_EQ(Tail("C:\\WINDOWS\\LUMIVA95.SCR /p 1234"), "/p 1234");
  EXPECT_EQ(Tail("LUMIVA95.SCR\t \x01/c"), "/c");
  EXPECT_EQ(Tail("\"\" /a"), "/a");
  EXPECT_EQ(Tail("LUMIVA95.SCR"), "");
  EXPECT_EQ(Tail(""), "");
  // A quote that is never closed swallows the rest, and nothing past the end is read.
  EXPECT_EQ(Tail("\"C:\\unclosed /s"), "");
}

TEST(CommandLine, WindowHandleIsDecimalAfterSpacesOnly) {
  EXPECT_EQ(ParseWindowHandle(" 4711"), reinterpret_cast<HWND>(4711));
  EXPECT_EQ(ParseWindowHandle("   12x34"), reinterpret_cast<HWND>(12));
  EXPECT_EQ(ParseWindowHandle(":4711"), nullptr);
  EXPECT_EQ(ParseWindowHandle("-5"), nullptr);
  EXPECT_EQ(ParseWindowHandle("\t5"), nullptr);
  EXPECT_EQ(ParseWindowHandle("0x10"), nullptr);
  EXPECT_EQ(ParseWindowHandle(""), nullptr);
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
