// The profile-file calls on a real file in the temp folder: on Linux against our layer, on
// Windows (under Wine) against the system's own functions. Expectations here hold on both.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile_file_fixture.h"

namespace {

using ProfileTest = ProfileFileFixture;

TEST_F(ProfileTest, ReadsNamesWithoutRegardToCaseOrBlanks) {
  WriteFile(
      "; settings\r\n"
      "[Lumivane 95]\r\n"
      "Symmetry=7\r\n"
      "  LineSize =  100  \r\n"
      "Quoted=\"a b\"\r\n"
      "Single='x'\r\n"
      "Half=\"open\r\n"
      "Empty=\r\n"
      "NoEquals\r\n"
      "[ Spaced Section ]\r\n"
      "Key=spaced\r\n");

  EXPECT_EQ(Get("lumivane 95", "SYMMETRY"), "7");
  EXPECT_EQ(Get("  Lumivane 95 ", " Symmetry  "), "7");
  EXPECT_EQ(Get("Lumivane 95", "linesize"), "100");
  EXPECT_EQ(Get("Lumivane 95", "Quoted"), "a b");
  EXPECT_EQ(Get("Lumivane 95", "Single"), "x");
  EXPECT_EQ(Get("Lumivane 95", "Half"), "\"open");
  EXPECT_EQ(Get("spaced section", "key"), "spaced");

  // A present empty value is empty; an absent key or a line without '=' gives the default,
  // without its trailing blanks.
  char buffer[32];
  EXPECT_EQ(GetPrivateProfileStringA("Lumivane 95", "Empty", "dflt", buffer, sizeof buffer,
                                     path()),
            0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(Get("Lumivane 95", "Absent", "dflt  "), "dflt");
  EXPECT_EQ(Get("Lumivane 95", "NoEquals", "dflt"), "dflt");
  EXPECT_EQ(Get("Nowhere", "Symmetry", "dflt"), "dflt");

  EXPECT_EQ(GetPrivateProfileIntA("LUMIVANE 95", "LineSize", 5, path()), 100u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Empty", 5, path()), 5u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Absent", 5, path()), 5u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "NoEquals", 5, path()), 5u);
}

TEST_F(ProfileTest, CutsValuesToTheCallersBuffer) {
  WriteFile("[s]\r\nname1=val1\r\nname4=a\r\nq=\"quoted\"\r\n");
  char buffer[16];

  std::strcpy(buffer, "kumquat");
  EXPECT_EQ(GetPrivateProfileStringA("s", "name1", "dflt", buffer, 0, path()), 0u);
  EXPECT_STREQ(buffer, "kumquat");

  EXPECT_EQ(GetPrivateProfileStringA("s", "name1", "dflt", buffer, 4, path()), 3u);
  EXPECT_STREQ(buffer, "val");
  EXPECT_EQ(GetPrivateProfileStringA("s", "name1", "dflt", buffer, 5, path()), 4u);
  EXPECT_STREQ(buffer, "val1");
  EXPECT_EQ(GetPrivateProfileStringA("s", "name4", "dflt", buffer, 1, path()), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetPrivateProfileStringA("s", "absent", "default", buffer, 4, path()), 3u);
  EXPECT_STREQ(buffer, "def");

  // Quotes come off a value that fits; a cut value keeps its opening quote off too.
  EXPECT_EQ(GetPrivateProfileStringA("s", "q", "", buffer, 8, path()), 6u);
  EXPECT_STREQ(buffer, "quoted");
  EXPECT_EQ(GetPrivateProfileStringA("s", "q", "", buffer, 4, path()), 3u);
  EXPECT_STREQ(buffer, "quo");
}

TEST_F(ProfileTest, ListsKeysAndSectionsAsNulSeparatedLists) {
  WriteFile(
      "[section1]\r\n"
      "name1=val1\r\n"
      "name2=\"val2\"\r\n"
      "name3\r\n"
      "name4=a\r\n"
      "; comment=x\r\n"
      "[section2]\r\n");
  char buffer[64];

  std::memset(buffer, 'x', sizeof buffer);
  DWORD length = GetPrivateProfileStringA("section1", nullptr, "dflt", buffer, sizeof buffer,
                                          path());
  EXPECT_EQ(length, 18u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("name1\0name2\0name4\0\0", 19));

  std::memset(buffer, 'x', sizeof buffer);
  length = GetPrivateProfileStringA(nullptr, "ignored", "dflt", buffer, sizeof buffer, path());
  EXPECT_EQ(length, 18u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("section1\0section2\0\0", 19));

  // Too small: the last name is cut and the count is size - 2.
  std::memset(buffer, 'x', sizeof buffer);
  length = GetPrivateProfileStringA("section1", nullptr, "dflt", buffer, 16, path());
  EXPECT_EQ(length, 14u);
  EXPECT_EQ(std::string(buffer, 15), std::string("name1\0name2\0na\0", 15));
  std::memset(buffer, 'x', sizeof buffer);
  length = GetPrivateProfileStringA(nullptr, "ignored", "dflt", buffer, 16, path());
  EXPECT_EQ(length, 14u);
  EXPECT_EQ(std::string(buffer, 15), std::string("section1\0secti\0", 15));
  // A list that fills the buffer exactly is reported as cut, size - 2.
  length = GetPrivateProfileStringA(nullptr, "ignored", "dflt", buffer, 19, path());
  EXPECT_EQ(length, 17u);
  EXPECT_EQ(std::string(buffer, 18), std::string("section1\0section2\0", 18));
  length = GetPrivateProfileStringA(nullptr, "ignored", "dflt", buffer, 20, path());
  EXPECT_EQ(length, 18u);

  // A section without keys, or none at all, gives the default.
  EXPECT_EQ(GetPrivateProfileStringA("section2", nullptr, "dflt", buffer, sizeof buffer, path()),
            4u);
  EXPECT_STREQ(buffer, "dflt");
  EXPECT_EQ(GetPrivateProfileStringA("nowhere", nullptr, "dflt", buffer, sizeof buffer, path()),
            4u);
  EXPECT_STREQ(buffer, "dflt");
}

TEST_F(ProfileTest, ReadsIntegersAsWindowsDoes) {
  struct Case {
    const char *stored;
    UINT expected;
  };
  const Case cases[] = {
      {"7", 7u},
      {"-1", 4294967295u},
      {"+1", 1u},
      {"4294967296", 0u},
      {"4294967297", 1u},
      {"-4294967297", 4294967295u},
      {"42A94967297", 42u},
      {"B4294967297", 0u},
      {"102abc", 102u},
      {"   12", 12u},
      {"0x1F", 31u},
      {"007", 7u},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(WritePrivateProfileStringA("Test", "Value", c.stored, path()));
    EXPECT_EQ(GetPrivateProfileIntA("Test", "Value", 99, path()), c.expected) << c.stored;
  }
  ASSERT_TRUE(WritePrivateProfileStringA("Test", "Value", "", path()));
  EXPECT_EQ(GetPrivateProfileIntA("Test", "Value", -3, path()), static_cast<UINT>(-3));
  EXPECT_EQ(GetPrivateProfileIntA("Test", "Missing", 1008, path()), 1008u);
}

TEST_F(ProfileTest, TreatsCrLfLfAndLoneCrLineEndingsAlike) {
  const std::string lines[] = {"[Lumivane 95]", "Speed=80", "Spin = 995", "[Other]", "Speed=1"};
  for (const char *eol : {"\r\n", "\n", "\r"}) {
    for (bool finalBreak : {true, false}) {
      std::string text;
      for (const std::string &line : lines) text += line + eol;
      if (!finalBreak) text.resize(text.size() - std::strlen(eol));
      WriteFile(text);
      const std::string label = std::string(eol == std::string("\n") ? "LF" : eol[1] ? "CRLF" : "CR") +
                                (finalBreak ? "" : " without final break");
      EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Speed", 0, path()), 80u) << label;
      EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Spin", 0, path()), 995u) << label;
      EXPECT_EQ(GetPrivateProfileIntA("Other", "Speed", 0, path()), 1u) << label;

      ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Refresh", "60", path())) << label;
      ASSERT_TRUE(WritePrivateProfileStringA("Other", "Added", "2", path())) << label;
      EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Refresh", 0, path()), 60u) << label;
      EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Spin", 0, path()), 995u) << label;
      EXPECT_EQ(GetPrivateProfileIntA("Other", "Speed", 0, path()), 1u) << label;
      EXPECT_EQ(GetPrivateProfileIntA("Other", "Added", 0, path()), 2u) << label;
    }
  }
}

TEST_F(ProfileTest, WritesFilesLineForLineAsWindows) {
  ASSERT_TRUE(WritePrivateProfileStringA("App1", "key1", "string1", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App1", "key2", "string2", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App1", "key3", "string3", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App2", "key4", "string4", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App3", "key5", "string5", path()));
  EXPECT_EQ(ReadFile(),
            "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
            "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");

  // A changed value keeps the key's spelling in the file and loses its leading blanks.
  ASSERT_TRUE(WritePrivateProfileStringA("APP1", "KEY2", "  new value", path()));
  EXPECT_EQ(Get("App1", "key2"), "new value");
  ASSERT_TRUE(WritePrivateProfileStringA("App1", "key3", nullptr, path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App1", "key3", nullptr, path()));
  ASSERT_TRUE(WritePrivateProfileStringA("app2", nullptr, "ignored", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App3", "empty", "", path()));
  EXPECT_EQ(ReadFile(),
            "[App1]\r\nkey1=string1\r\nkey2=new value\r\n"
            "[App3]\r\nkey5=string5\r\nempty=\r\n");

  char buffer[64];
  EXPECT_EQ(GetPrivateProfileStringA("App3", nullptr, "", buffer, sizeof buffer, path()), 11u);
  EXPECT_EQ(std::string(buffer, 12), std::string("key5\0empty\0\0", 12));
  EXPECT_EQ(Get("App3", "empty", "dflt"), "");
  EXPECT_EQ(Get("App1", "key3", "dflt"), "dflt");
  EXPECT_EQ(Get("App2", "key4", "dflt"), "dflt");

  ASSERT_TRUE(WritePrivateProfileStringA("App1", nullptr, nullptr, path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App3", "key5", nullptr, path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App3", "empty", nullptr, path()));
  EXPECT_EQ(ReadFile(), "[App3]\r\n");

  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "key", "value", path()));
  EXPECT_EQ(ReadFile(), "[App3]\r\n");
}

TEST_F(ProfileTest, KeepsUnrelatedLinesAndSectionsOnWrite) {
  WriteFile(
      "; top comment\n"
      "[Other]\n"
      "alpha=1\n"
      "\n"
      "; note about beta\n"
      "beta=2\n"
      "[Lumivane 95]\n"
      "Symmetry=7\n"
      "stray line\n"
      "Speed=80\n"
      "\n"
      "[Tail]\n"
      "omega=9");

  ASSERT_TRUE(WritePrivateProfileStringA("lumivane 95", "symmetry", "9", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "NewKey", "1", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Tail", "Last", "10", path()));

  EXPECT_EQ(GetPrivateProfileIntA("Other", "alpha", 0, path()), 1u);
  EXPECT_EQ(GetPrivateProfileIntA("Other", "beta", 0, path()), 2u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Symmetry", 0, path()), 9u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Speed", 0, path()), 80u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "NewKey", 0, path()), 1u);
  EXPECT_EQ(GetPrivateProfileIntA("Tail", "omega", 0, path()), 9u);
  EXPECT_EQ(GetPrivateProfileIntA("Tail", "Last", 0, path()), 10u);

  // Comments and odd lines stay, in order; new keys follow the last line of their section.
  const std::vector<std::string> lines = NonBlankLines(ReadFile());
  const std::vector<std::string> expected = {
      "; top comment", "[Other]",  "alpha=1",  "; note about beta", "beta=2",
      "[Lumivane 95]", "Symmetry=9", "stray line", "Speed=80",       "NewKey=1",
      "[Tail]",        "omega=9",  "Last=10"};
  EXPECT_EQ(lines, expected);
}

TEST_F(ProfileTest, FirstOfDuplicateSectionsAndKeysWins) {
  WriteFile("[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\nonly=4\r\n");
  char buffer[64];

  EXPECT_EQ(Get("S", "k"), "1");
  EXPECT_EQ(Get("S", "only", "dflt"), "dflt");
  EXPECT_EQ(GetPrivateProfileStringA("S", nullptr, "", buffer, sizeof buffer, path()), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("k\0k\0\0", 5));
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path()), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("S\0s\0\0", 5));

  ASSERT_TRUE(WritePrivateProfileStringA("s", "K", "5", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("s", "only", "6", path()));
  EXPECT_EQ(Get("S", "k"), "5");
  EXPECT_EQ(Get("S", "only"), "6");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", nullptr, path()));
  EXPECT_EQ(Get("S", "k"), "2");
  EXPECT_EQ(NonBlankLines(ReadFile()),
            (std::vector<std::string>{"[S]", "k=2", "only=6", "[s]", "k=3", "only=4"}));
}

TEST_F(ProfileTest, AnswersSoundlyOnHostileFiles) {
  // Binary garbage before the section, a megabyte-long line inside it, thousands of keys.
  std::string garbage;
  uint32_t seed = 12345;
  for (int i = 0; i < 65536; ++i) {
    seed = seed * 214013u + 2531011u;
    garbage += static_cast<char>((seed >> 16) & 0xFF);
  }
  std::string text = garbage + "\r\n[Lumivane 95]\r\nSpeed=80\r\nLong=" +
                     std::string(1 << 20, 'x') + "\r\n";
  for (int i = 0; i < 5000; ++i) {
    text += "Key" + std::to_string(i) + "=" + std::to_string(i * 3) + "\r\n";
  }
  text += "Last=1\r\n";
  WriteFile(text);

  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Speed", 0, path()), 80u);
  char buffer[100];
  EXPECT_EQ(GetPrivateProfileStringA("Lumivane 95", "Long", "", buffer, sizeof buffer, path()),
            99u);
  EXPECT_EQ(std::string(buffer), std::string(99, 'x'));
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Key4999", 0, path()), 14997u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Last", 0, path()), 1u);

  std::vector<char> list(200000);
  const DWORD length = GetPrivateProfileStringA("Lumivane 95", nullptr, "", list.data(),
                                                static_cast<DWORD>(list.size()), path());
  size_t names = 0;
  for (DWORD i = 0; i < length; ++i) names += list[i] == '\0';
  EXPECT_EQ(names, 5003u);

  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Key2500", "1", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Speed", "90", path()));
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Key2500", 0, path()), 1u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Key2501", 0, path()), 7503u);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Speed", 0, path()), 90u);
  EXPECT_EQ(GetPrivateProfileStringA("Lumivane 95", "Long", "", buffer, sizeof buffer, path()),
            99u);
  EXPECT_GT(ReadFile().size(), text.size() - garbage.size());
}

TEST_F(ProfileTest, ConcurrentWritersOfDifferentKeysLoseNothing) {
  constexpr int KEYS_PER_WRITER = 60;
  auto writer = [this](const char *prefix) {
    for (int i = 0; i < KEYS_PER_WRITER; ++i) {
      const std::string key = prefix + std::to_string(i);
      WritePrivateProfileStringA("Lumivane 95", key.c_str(), std::to_string(i).c_str(), path());
    }
  };
  std::thread dialog(writer, "Dialog");
  std::thread saver(writer, "Saver");
  dialog.join();
  saver.join();

  for (const char *prefix : {"Dialog", "Saver"}) {
    for (int i = 0; i < KEYS_PER_WRITER; ++i) {
      const std::string key = prefix + std::to_string(i);
      EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", key.c_str(), -1, path()),
                static_cast<UINT>(i))
          << key;
    }
  }
}

}  // namespace
