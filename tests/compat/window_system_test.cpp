// The per-user registry store on disk, and modules registered by name.
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
  static LONG Query(HKEY key, const char *name, void *buffer, DWORD &size, DWORD *type = nullptr) {
    return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE *>(buffer), &size);
  }
  TempFolder home_{"registry"};
};

// Nothing in the system writes the registry (tests do, and read back what they wrote); a person
// turns the saver password on by editing the file.
TEST_F(SystemServices, RegistryValuesAreReadFromTheFileAPersonEditsAsWindowsReportsThem) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_FILE_NOT_FOUND);
  // Odd lines do no harm; a repeated header, in any case, adds to the key it names and to no
  // other.
  std::ofstream(home_.File("registry.reg"))
      << "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n\"ScreenSaveUsePassword\"=dword:00000001\n"
         "garbage line\n\"Bad\"=wrong:1\n\"Wallpaper\"=\"a \\\"b\\\"\"\n"
         "[HKEY_CURRENT_USER\\Software\\Other]\n\"Own\"=dword:7\n"
         "[hkey_current_user\\control panel\\desktop]\n\"Pattern\"=hex(3):00,00,00,02\n";
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "\\control panel\\DESKTOP\\", &key), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(Query(key, "screensaveusepassword", nullptr, size, &type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  // A value larger than the buffer is refused whole, as the password check relies on.
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
  BYTE value[4] = {};
  size = sizeof value;
  EXPECT_EQ(Query(key, "Pattern", value, size, &type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(value[3], 2);
  EXPECT_EQ(Query(key, "Missing", nullptr, size), ERROR_FILE_NOT_FOUND);
  HKEY other = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Other", &other), ERROR_SUCCESS);
  EXPECT_EQ(Query(other, "Pattern", value, size = 4), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(other), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

int CALLBACK Verify(HWND) { return 1; }

TEST_F(SystemServices, ModulesExistOnlyWhenRegisteredAndOnlyWhileLoaded) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  compat::testing::RegisterModule(
      "PASSWORD.CPL",
      {{"VerifyScreenSavePwd", reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&Verify))}});
  EXPECT_EQ(GetModuleHandleA("password.cpl"), nullptr);  // registered, not loaded
  const HMODULE first = LoadLibraryA("password.cpl");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), first);
  auto verify = reinterpret_cast<int(CALLBACK *)(HWND)>(
      reinterpret_cast<void *>(GetProcAddress(first, "VerifyScreenSavePwd")));
  ASSERT_NE(verify, nullptr);
  EXPECT_EQ(verify(nullptr), 1);
  EXPECT_EQ(GetProcAddress(first, "verifyscreensavepwd"), nullptr);  // entry names keep their case
  EXPECT_EQ(GetProcAddress(first, "PwdChangePasswordA"), nullptr);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "VerifyScreenSavePwd"), nullptr);
}

}  // namespace
