// The profile calls on a real file in the temp folder: against our layer on Linux and against the
// system's own functions under Wine. Everything checked here holds on both.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "common/temp_files.h"

namespace {

class ProfileTest : public ::testing::Test, protected TempProfile {};

TEST_F(ProfileTest, ReadsValuesAsWindowsDoes) {
  WriteFile(
      "[Lumivane 95]\r\nSymmetry=7\r\n  LineSize =  100  \r\nQuoted=\"a b\"\r\nHalf=\"open\r\n"
      "Empty=\r\nNoEquals\r\nSymmetry=8\r\n[ Spaced ]\r\nKey=1\r\n[lumivane 95]\r\nLater=1\r\n");
  const struct {
    const char *section, *key, *defaultValue, *expected;
  } cases[] = {
      {"lumivane 95", "SYMMETRY", "", "7"},
      {"  Lumivane 95 ", " Symmetry  ", "", "7"},
      {"Lumivane 95", "linesize", "", "100"},
      {"Lumivane 95", "Quoted", "", "a b"},
      {"Lumivane 95", "Half", "", "\"open"},
      {"Lumivane 95", "Empty", "dflt", ""},
      {"Lumivane 95", "Absent", "dflt  ", "dflt"},
      {"Lumivane 95", "NoEquals", "dflt", "dflt"},
      {"Lumivane 95", "Later", "dflt", "dflt"},  // only the first section of a name counts
      {"spaced", "key", "", "1"},
      {"Nowhere", "Key", "'quoted'", "quoted"},
  };
  for (const auto &c : cases) EXPECT_EQ(Get(c.section, c.key, c.defaultValue), c.expected) << c.key;

  const struct {
    const char *stored;
    UINT expected;
  } integers[] = {{"-1", 4294967295u},
                  {"+1", 1u},
                  {"4294967296", 0u},
                  {"4294967297", 1u},
                  {"-4294967297", 4294967295u},
                  {"42A94967297", 42u},
                  {"B42", 0u},
                  {"  12", 12u},
                  {"0x1F", 31u},
                  {"", 99u}};
  for (const auto &c : integers) {
    ASSERT_TRUE(WritePrivateProfileStringA("Test", "Value", c.stored, path()));
    EXPECT_EQ(GetPrivateProfileIntA("test", "VALUE", 99, path()), c.expected) << c.stored;
  }
  EXPECT_EQ(GetPrivateProfileIntA("Test", "Missing", -3, path()), static_cast<UINT>(-3));
}

TEST_F(ProfileTest, CutsValuesToTheBuffer) {
  WriteFile("[s1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\n; c=1\r\nname4=a\r\n[s2]\r\n");
  char buffer[64];
  std::strcpy(buffer, "kumquat");
  EXPECT_EQ(GetPrivateProfileStringA("s1", "name1", "", buffer, 0, path()), 0u);
  EXPECT_STREQ(buffer, "kumquat");
  const struct {
    const char *key;
    DWORD size, length;
    const char *expected;
  } values[] = {{"name1", 4, 3, "val"}, {"name1", 5, 4, "val1"}, {"name4", 1, 0, ""},
                {"name2", 4, 3, "val"}, {"name2", 6, 4, "val2"}, {"absent", 4, 3, "def"}};
  for (const auto &v : values) {
    EXPECT_EQ(GetPrivateProfileStringA("s1", v.key, "default", buffer, v.size, path()), v.length);
    EXPECT_STREQ(buffer, v.expected) << v.key << " in " << v.size;
  }
}

TEST_F(ProfileTest, WritesFilesLineForLineAsWindows) {
  for (const char *key : {"key1", "key2", "key3"}) {
    ASSERT_TRUE(WritePrivateProfileStringA("App1", key, "v", path()));
  }
  ASSERT_TRUE(WritePrivateProfileStringA("App2", "key4", "v", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App3", "key5", "v", path()));
  EXPECT_EQ(ReadFile(),
            "[App1]\r\nkey1=v\r\nkey2=v\r\nkey3=v\r\n[App2]\r\nkey4=v\r\n[App3]\r\nkey5=v\r\n");

  // A changed value keeps the key's spelling and loses its leading blanks. (Nothing in the
  // system deletes keys or lists them.)
  ASSERT_TRUE(WritePrivateProfileStringA("APP1", "KEY2", "  new value", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("App3", "empty", "", path()));
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "key", "value", path()));
  EXPECT_EQ(ReadFile(),
            "[App1]\r\nkey1=v\r\nkey2=new value\r\nkey3=v\r\n[App2]\r\nkey4=v\r\n"
            "[App3]\r\nkey5=v\r\nempty=\r\n");
}

TEST_F(ProfileTest, AnswersSoundlyOnHostileFiles) {
  // Binary garbage, every kind of line ending, a megabyte-long line, thousands of keys.
  std::string text;
  uint32_t seed = 12345;
  for (int i = 0; i < 65536; ++i)
    text += static_cast<char>((seed = seed * 214013u + 2531011u) >> 16);
  text += "\r\n[Lumivane 95]\nSpeed=80\rLong=" + std::string(1 << 20, 'x') + "\r\n";
  for (int i = 0; i < 5000; ++i)
    text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  WriteFile(text + "Last=1");

  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Speed", 0, path()), pass ? 90u : 80u);
    EXPECT_EQ(Get("Lumivane 95", "Long", "").size(), 1023u);
    EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Key4999", 0, path()), 4999u);
    EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Key2500", 0, path()), pass ? 1u : 2500u);
    EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Last", 0, path()), 1u);
    ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Key2500", "1", path()));
    ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Speed", "90", path()));
  }
}

}  // namespace
