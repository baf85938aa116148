// The per-user registry store on disk, modules registered by name and string resources.
#include <cstdlib>
#include <fstream>

#include "common/temp_files.h"
#include "window_fixture.h"

namespace {

class SystemServices : public HeadlessWindows {
 protected:
  void SetUp() override {
    HeadlessWindows::SetUp();
    setenv("LUMIVANE_HOME", home_.Path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("LUMIVANE_HOME");
    HeadlessWindows::TearDown();
  }
  std::string StoreText() const { return FileBytes(home_.File("registry.reg")); }
  static LONG Query(HKEY key, const char *name, void *buffer, DWORD &size, DWORD *type = nullptr) {
    return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE *>(buffer), &size);
  }
  TempFolder home_{"registry"};
};

TEST_F(SystemServices, RegistryValuesLiveInAReadableFileAndFollowWindowsSizeRules) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
  const DWORD one = 1;
  const BYTE bytes[3] = {0, 0xFF, 7};
  ASSERT_EQ(RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD,
                           reinterpret_cast<const BYTE *>(&one), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE *>("a \"b\""), 5),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Pattern", 0, REG_BINARY, bytes, 3), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  for (const char *line : {"[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n",
                           "\"ScreenSaveUsePassword\"=dword:00000001\n",
                           "\"Wallpaper\"=\"a \\\"b\\\"\"\n", "\"Pattern\"=hex:00,ff,07\n"})
    EXPECT_NE(StoreText().find(line), std::string::npos) << line << " in " << StoreText();

  // Reading back, with any case and separators; sizes as Windows reports them.
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "\\control panel\\DESKTOP\\", &key), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(Query(key, "screensaveusepassword", nullptr, size, &type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  BYTE small[2] = {0x55, 0x55};
  size = sizeof small;
  EXPECT_EQ(Query(key, "Wallpaper", small, size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);  // the stored terminator counts
  EXPECT_EQ(small[0], 0x55);
  char string[16];
  size = sizeof string;
  EXPECT_EQ(Query(key, "Wallpaper", string, size, &type), ERROR_SUCCESS);
  EXPECT_STREQ(string, "a \"b\"");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Query(key, "Missing", nullptr, size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueA(key, "PATTERN"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Pattern"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(StoreText().find("Pattern"), std::string::npos);

  // Lines another program added are seen at once and odd ones do no harm; a repeated header,
  // in any case, adds to the key it names and to no other.
  std::ofstream(home_.File("registry.reg"), std::ios::app)
      << "garbage line\n\"Bad\"=wrong:1\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Own\"=dword:7\n"
         "[hkey_current_user\\control panel\\desktop]\n\"ScreenSaveUsePassword\"=hex(3):00,00,00,02\n"
         "\"Extra\"=dword:00000002\n";
  BYTE value[4] = {};
  size = sizeof value;
  EXPECT_EQ(Query(key, "ScreenSaveUsePassword", value, size, &type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(value[3], 2);
  HKEY other = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Other", &other), ERROR_SUCCESS);
  EXPECT_EQ(Query(other, "Extra", value, size = 4), ERROR_FILE_NOT_FOUND);
  // A write keeps the merged key whole, under one header.
  ASSERT_EQ(RegSetValueExA(other, "Added", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&one), 4),
            ERROR_SUCCESS);
  const std::string text = StoreText();
  EXPECT_EQ(text.find("desktop]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Wallpaper\"=\"a \\\"b\\\"\"\n\"Extra\"=dword:00000002\n"), std::string::npos)
      << text;
  EXPECT_EQ(RegCloseKey(other), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "Wallpaper", nullptr, size), ERROR_INVALID_HANDLE);
}

int CALLBACK Verify(HWND) { return 1; }

TEST_F(SystemServices, ModulesExistOnlyWhenRegisteredAndWhileLoadedStringsAreCut) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  compat::testing::RegisterModule(
      "PASSWORD.CPL",
      {{"VerifyScreenSavePwd", reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&Verify))}});
  EXPECT_EQ(GetModuleHandleA("password.cpl"), nullptr);  // registered, not loaded
  const HMODULE first = LoadLibraryA("C:\\WINDOWS\\SYSTEM\\password.cpl");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(LoadLibraryA("Password.Cpl"), first);
  EXPECT_EQ(compat::testing::ModuleLoadCount("PASSWORD.CPL"), 2);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), first);
  auto verify = reinterpret_cast<int(CALLBACK *)(HWND)>(
      reinterpret_cast<void *>(GetProcAddress(first, "VerifyScreenSavePwd")));
  ASSERT_NE(verify, nullptr);
  EXPECT_EQ(verify(nullptr), 1);
  EXPECT_EQ(GetProcAddress(first, "verifyscreensavepwd"), nullptr);  // entry names keep their case
  EXPECT_EQ(GetProcAddress(first, "PwdChangePasswordA"), nullptr);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "VerifyScreenSavePwd"), nullptr);
  // A name without an extension is a DLL.
  compat::testing::RegisterModule("IMM32.DLL", {});
  EXPECT_NE(LoadLibraryA("imm32"), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);

  compat::RegisterStringResource(1001, "control.ini");
  char buffer[8];
  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 1001, buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "control");  // cut to the buffer, terminated
  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 4242, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "control");  // a missing string leaves the buffer alone
}

}  // namespace
