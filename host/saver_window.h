// The saver window: class, single instance, password verifier, message loop, and the two
// message layers around the animation driver that decide when input dismisses the saver.
#pragma once

#include <windows.h>

constexpr UINT SAVER_MSG_VERIFY_PASSWORD = 0x8000;
constexpr DWORD SAVER_MOUSE_THRESHOLD = 4;
constexpr DWORD SAVER_CLOSE_GRACE_MS = 200;
constexpr DWORD SAVER_NEVER_VERIFIED = 0xFFFFFFFF;
constexpr char SAVER_CLASS_NAME[] = "WindowsScreenSaverClass";
constexpr char SAVER_FULLSCREEN_TITLE[] = "Screen Saver";
constexpr char SAVER_PREVIEW_TITLE[] = "Preview";

typedef BOOL(WINAPI *VerifyScreenSavePwdFn)(HWND window);
typedef HANDLE(WINAPI *ImmAssociateContextFn)(HWND window, HANDLE context);

struct SaverHostState {
  HWND window = nullptr;
  bool previewMode = false;
  bool closeAccepted = false;
  bool verifying = false;
  DWORD lastVerifyTick = SAVER_NEVER_VERIFIED;
  POINT savedCursor = {0, 0};
  HMODULE verifierLibrary = nullptr;
  VerifyScreenSavePwdFn verifyEntry = nullptr;
  HMODULE inputMethodLibrary = nullptr;
  ImmAssociateContextFn associateContext = nullptr;
  HANDLE previousInputContext = nullptr;
};

extern SaverHostState saverHost;

// Full-screen without a parent, preview as a child of parent; returns the exit code.
int RunSaverWindow(HWND parent);

void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunningFlag(bool on);

LRESULT CALLBACK SaverHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the animation driver for every message it does not end itself.
LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool CheckCloseAllowed(HWND window);
