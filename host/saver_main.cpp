#include "host/saver_main.h"

#include "host/configure_dialog.h"
#include "host/fault_guard.h"
#include "host/proc_address.h"
#include "host/saver_window.h"

namespace {

HINSTANCE saverInstance = nullptr;

constexpr int EXIT_BAD_SWITCH = -1;
constexpr int CONFIGURE_DIALOG_ID = 2003;

typedef DWORD(WINAPI *PwdChangePasswordFn)(LPCSTR provider, HWND owner, DWORD reserved1,
                                           LPVOID reserved2);

bool IsSwitchPrefix(char c) { return c == ' ' || c == '-' || c == '/'; }

HWND OwnerOrForeground(HWND candidate) {
  return candidate && IsWindow(candidate) ? candidate : GetForegroundWindow();
}

}  // namespace

LPCSTR CommandTail(LPCSTR commandLine) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(commandLine);
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') {
      // A lead byte and its trail byte are one character; never step over the terminator.
      if (IsDBCSLeadByte(*p) && p[1]) ++p;
      ++p;
    }
    if (*p == '"') ++p;
  } else {
    while (*p > ' ') ++p;
  }
  while (*p >= 1 && *p <= ' ') ++p;
  return reinterpret_cast<LPCSTR>(p);
}

int RunSaverProcess(HINSTANCE instance, LPCSTR commandLine) {
  return SaverMain(instance, CommandTail(commandLine));
}

HINSTANCE SaverInstance() { return saverInstance; }

LPCSTR SwitchOf(LPCSTR tail) {
  while (IsSwitchPrefix(*tail)) ++tail;
  return tail;
}

HWND ParseWindowHandle(LPCSTR afterSwitch) {
  while (*afterSwitch == ' ') ++afterSwitch;
  UINT_PTR value = 0;
  for (; *afterSwitch >= '0' && *afterSwitch <= '9'; ++afterSwitch)
    value = value * 10 + static_cast<UINT_PTR>(*afterSwitch - '0');
  return reinterpret_cast<HWND>(value);
}

INT_PTR ShowConfigureDialog(HWND owner) {
  return DialogBoxParamA(saverInstance, MAKEINTRESOURCEA(CONFIGURE_DIALOG_ID), owner,
                         ScreenSaverConfigureDialog, 0);
}

int ChangeSaverPassword(HWND owner) {
  HMODULE library = LoadLibraryA("MPR.DLL");
  if (library) {
    auto change = ProcAddress<PwdChangePasswordFn>(library, "PwdChangePasswordA");
    if (change) change("SCRSAVE", owner, 0, nullptr);
    FreeLibrary(library);
  }
  return 0;
}

int SaverMain(HINSTANCE instance, LPCSTR tail) {
  saverInstance = instance;
  InstallFaultGuard();

  tail = SwitchOf(tail);
  switch (*tail) {
    case '\0':
      return static_cast<int>(ShowConfigureDialog(nullptr));
    case 'C':
    case 'c':
      return static_cast<int>(ShowConfigureDialog(GetForegroundWindow()));
    case 'S':
    case 's':
      return RunSaverWindow(nullptr);
    case 'P':
    case 'p':
    case 'L':
    case 'l': {
      HWND parent = ParseWindowHandle(tail + 1);
      if (!parent || !IsWindow(parent)) return EXIT_BAD_SWITCH;
      return RunSaverWindow(parent);
    }
    case 'A':
    case 'a':
      return ChangeSaverPassword(OwnerOrForeground(ParseWindowHandle(tail + 1)));
    default:
      return EXIT_BAD_SWITCH;
  }
}
