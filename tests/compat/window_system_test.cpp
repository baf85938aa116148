// The per-user registry store on disk, modules registered by name and string resources.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

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
  std::string StoreText() const {
    std::ifstream in(home_.File("registry.reg"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static LONG SetDword(HKEY key, const char *name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), 4);
  }
  static LONG QueryDword(HKEY key, const char *name, DWORD &value) {
    DWORD size = sizeof value;
    return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
  }
  TempFolder home_{"registry"};
};

TEST_F(SystemServices, RegistryValuesLiveInAReadableFileAndFollowWindowsSizeRules) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "ScreenSaveUsePassword", 1), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE *>("a \"b\""), 5),
            ERROR_SUCCESS);
  const BYTE bytes[3] = {0, 0xFF, 7};
  ASSERT_EQ(RegSetValueExA(key, "Pattern", 0, REG_BINARY, bytes, 3), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

  const std::string text = StoreText();
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Control Panel\\Desktop]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"ScreenSaveUsePassword\"=dword:00000001"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Wallpaper\"=\"a \\\"b\\\"\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"Pattern\"=hex:00,ff,07"), std::string::npos) << text;

  // Reading back, with any case and separators; sizes as Windows reports them.
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "\\control panel\\DESKTOP\\", &key), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "screensaveusepassword", nullptr, &type, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  BYTE small[2] = {0x55, 0x55};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "Wallpaper", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);  // the stored terminator counts
  EXPECT_EQ(small[0], 0x55);
  char string[16];
  size = sizeof string;
  EXPECT_EQ(RegQueryValueExA(key, "Wallpaper", nullptr, &type,
                             reinterpret_cast<BYTE *>(string), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(string, "a \"b\"");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueA(key, "PATTERN"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Pattern"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(StoreText().find("Pattern"), std::string::npos);

  // A value another program wrote into the file is seen at once; odd lines do no harm.
  {
    std::ofstream out(home_.File("registry.reg"), std::ios::app);
    out << "garbage line\n\"Bad\"=wrong:1\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
           "\"ScreenSaveUsePassword\"=hex(3):00,00,00,02\n";
  }
  BYTE value[4] = {};
  size = sizeof value;
  EXPECT_EQ(RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(value[3], 2);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "Wallpaper", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(SystemServices, ARepeatedKeyHeaderAddsToTheKeyItNames) {
  {
    std::ofstream out(home_.File("registry.reg"));
    out << "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n\"Wallpaper\"=\"none\"\n"
           "[HKEY_CURRENT_USER\\Software\\Other]\n\"Elsewhere\"=dword:00000007\n"
           "[hkey_current_user\\control panel\\desktop]\n\"ScreenSaveUsePassword\"=dword:00000001\n";
  }
  HKEY desktop, other;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop), ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Other", &other), ERROR_SUCCESS);
  DWORD value = 0;
  EXPECT_EQ(QueryDword(desktop, "ScreenSaveUsePassword", value), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(QueryDword(other, "ScreenSaveUsePassword", value), ERROR_FILE_NOT_FOUND);
  // A write keeps the merged key whole, under one header.
  EXPECT_EQ(SetDword(other, "Added", 7), ERROR_SUCCESS);
  const std::string text = StoreText();
  EXPECT_EQ(text.find("desktop]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Wallpaper\"=\"none\"\n\"ScreenSaveUsePassword\"=dword:00000001"), std::string::npos) << text;
  RegCloseKey(desktop);
  RegCloseKey(other);
}

TEST_F(SystemServices, ConcurrentWritersLoseNoValue) {
  constexpr int WRITERS = 4, EACH = 25;
  const auto name = [](int w, int i) { return "V" + std::to_string(w) + "_" + std::to_string(i); };
  std::vector<std::thread> writers;
  for (int w = 0; w < WRITERS; ++w) {
    writers.emplace_back([w, name] {
      HKEY key;
      if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Test", &key) != ERROR_SUCCESS) return;
      for (int i = 0; i < EACH; ++i) SetDword(key, name(w, i).c_str(), DWORD(w * 1000 + i));
      RegCloseKey(key);
    });
  }
  for (std::thread &t : writers) t.join();
  HKEY key;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Test", &key), ERROR_SUCCESS);
  for (int w = 0; w < WRITERS; ++w) {
    for (int i = 0; i < EACH; ++i) {
      DWORD v = 0;
      ASSERT_EQ(QueryDword(key, name(w, i).c_str(), v), ERROR_SUCCESS) << name(w, i);
      EXPECT_EQ(v, static_cast<DWORD>(w * 1000 + i));
    }
  }
  RegCloseKey(key);
}

int CALLBACK Verify(HWND) { return 1; }

TEST_F(SystemServices, ModulesExistOnlyWhenRegisteredAndWhileLoaded) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  compat::testing::RegisterModule(
      "PASSWORD.CPL", {{"VerifyScreenSavePwd", reinterpret_cast<FARPROC>(reinterpret_cast<void *>(&Verify))}});
  EXPECT_EQ(GetModuleHandleA("password.cpl"), nullptr);  // registered, not loaded
  const HMODULE first = LoadLibraryA("C:\\WINDOWS\\SYSTEM\\password.cpl");
  const HMODULE second = LoadLibraryA("Password.Cpl");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(compat::testing::ModuleLoadCount("PASSWORD.CPL"), 2);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), first);
  auto verify = reinterpret_cast<int(CALLBACK *)(HWND)>(
      reinterpret_cast<void *>(GetProcAddress(first, "VerifyScreenSavePwd")));
  ASSERT_NE(verify, nullptr);
  EXPECT_EQ(verify(nullptr), 1);
  EXPECT_EQ(GetProcAddress(first, "verifyscreensavepwd"), nullptr);  // entry names keep their case
  EXPECT_EQ(GetProcAddress(first, "PwdChangePasswordA"), nullptr);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "VerifyScreenSavePwd"), nullptr);
  // A name without an extension is a DLL.
  compat::testing::RegisterModule("IMM32.DLL", {});
  EXPECT_NE(LoadLibraryA("imm32"), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}

TEST_F(SystemServices, StringsAreCutToTheBuffer) {
  compat::RegisterStringResource(1001, "control.ini");
  char buffer[8];
  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 1001, buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "control");  // cut to the buffer, terminated
  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 4242, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "control");  // a missing string leaves the buffer alone
}

}  // namespace
