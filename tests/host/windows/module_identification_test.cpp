// The built LUMIVA95.SCR as the desktop reads it without running it: name, description,
// icon, strings, and the named exports with their ordinals.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The module lies in the build tree beside this test program's folder.
std::string ModulePath() {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string path = self;
  path.resize(path.find_last_of("\\/") + 1);
  return path + SCR_RELATIVE_PATH;
}

std::string String(HMODULE module, UINT id) {
  char text[256] = "";
  return LoadStringA(module, id, text, sizeof text) > 0 ? text : "<missing>";
}

std::string FileDescription(const std::string &path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "<no version information>";
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return "<unreadable>";
  char *text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\FileDescription",
                      reinterpret_cast<void **>(&text), &length))
    return "<no description>";
  return text;
}

}  // namespace

TEST(ModuleIdentification, NameDescriptionIconStringsAndExports) {
  const std::string path = ModulePath();
  HMODULE module = LoadLibraryA(path.c_str());
  ASSERT_NE(module, nullptr) << path;
  EXPECT_EQ(String(module, 0), "Lumivane 95");
  EXPECT_EQ(String(module, 1), "Lumivane 95");
  EXPECT_EQ(String(module, 1001), "control.ini");
  EXPECT_EQ(String(module, 1009), "lumiva95.hlp");
  EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(100)), nullptr);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)), nullptr)
      << "dialog template 2003";
  EXPECT_EQ(FileDescription(path), "SCRNSAVE : Lumivane 95");

  FARPROC saverProc = GetProcAddress(module, "ScreenSaverProc");
  FARPROC configureDialog = GetProcAddress(module, "ScreenSaverConfigureDialog");
  EXPECT_NE(saverProc, nullptr);
  EXPECT_NE(configureDialog, nullptr);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(1)), saverProc);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(2)), configureDialog);
  FreeLibrary(module);
}
