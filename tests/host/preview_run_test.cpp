// The preview: the real SaverMain runs the saver window as a child of a window this test owns;
// resized, it starts its pattern again in its new size.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/line_model.h"
#include "host/saver_main.h"
#include "host/saver_window.h"

namespace {

constexpr char PARENT_CLASS[] = "LumivaneTestPreviewParent";
constexpr UINT_PTR STEP_TIMER = 1;
constexpr int RESIZED_WIDTH = 160;
constexpr int RESIZED_HEIGHT = 120;
// Steps of 50 ms the resized preview gets to start its pattern again.
constexpr int RESIZE_GIVE_UP_STEP = 60;

struct PreviewObservation {
  int step = 0;
  HWND preview = nullptr;
  RECT previewRect = {};
  std::string previewTitle;
  LONG previewStyle = 0;
  std::vector<UINT> forwarded;
  std::vector<WPARAM> forwardedWParam;
  int patternWidth = 0;  // of the line model, once the resized preview drew in its new size
  int patternHeight = 0;
  POINT patternCentre = {};
};
PreviewObservation seen;

// Runs inside the saver's own message loop: looks at the preview, asks it for help, then ends
// it by destroying the parent, as the desktop does.
LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP || message == WM_CONTEXTMENU) {
    seen.forwarded.push_back(message);
    seen.forwardedWParam.push_back(wParam);
    return 0;
  }
  if (message == WM_TIMER && wParam == STEP_TIMER) {
    switch (seen.step++) {
      case 0: {
        seen.preview = GetWindow(parent, GW_CHILD);
        char className[64] = "";
        if (seen.preview) GetClassNameA(seen.preview, className, sizeof className);
        if (std::string(className) != SAVER_CLASS_NAME) {
          seen.preview = nullptr;
          break;
        }
        GetClientRect(seen.preview, &seen.previewRect);
        char title[64] = "";
        GetWindowTextA(seen.preview, title, sizeof title);
        seen.previewTitle = title;
        seen.previewStyle = GetWindowLongA(seen.preview, GWL_STYLE);
        SendMessageA(seen.preview, WM_HELP, 0, 0);
        SendMessageA(seen.preview, WM_CONTEXTMENU, 0, 0);
        SetWindowPos(seen.preview, nullptr, 0, 0, RESIZED_WIDTH, RESIZED_HEIGHT,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      default:
        if (seen.step < RESIZE_GIVE_UP_STEP && lineSet.windowWidth != RESIZED_WIDTH) break;
        seen.patternWidth = lineSet.windowWidth;
        seen.patternHeight = lineSet.windowHeight;
        seen.patternCentre = lineSet.screenCenter;
        KillTimer(parent, STEP_TIMER);
        DestroyWindow(parent);
        break;
    }
    return 0;
  }
  return DefWindowProcA(parent, message, wParam, lParam);
}

HWND CreateParent() {
  WNDCLASSA parentClass = {};
  parentClass.lpfnWndProc = ParentProc;
  parentClass.hInstance = GetModuleHandleA(nullptr);
  parentClass.lpszClassName = PARENT_CLASS;
  RegisterClassA(&parentClass);
  HWND parent = CreateWindowExA(0, PARENT_CLASS, "Display settings", WS_OVERLAPPEDWINDOW, 10, 10,
                                 300, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetTimer(parent, STEP_TIMER, 50, nullptr);
  return parent;
}

}  // namespace

TEST(Preview, FillsTheParentForwardsHelpFollowsItsSizeAndEndsWithTheParent) {
  for (const char *format : {"/p %lu", "/l %lu", " -P   %lu"}) {
    seen = PreviewObservation();
    HWND parent = CreateParent();
    ASSERT_NE(parent, nullptr);
    RECT parentClient = {};
    GetClientRect(parent, &parentClient);
    char tail[64];
    std::snprintf(tail, sizeof tail, format,
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)));

    EXPECT_EQ(SaverMain(GetModuleHandleA(nullptr), tail), 0) << tail;

    ASSERT_NE(seen.preview, nullptr) << tail;
    EXPECT_EQ(seen.previewRect.right, parentClient.right);
    EXPECT_EQ(seen.previewRect.bottom, parentClient.bottom);
    EXPECT_EQ(seen.previewTitle, "Preview");
    EXPECT_EQ(static_cast<DWORD>(seen.previewStyle) & 0xFFFF0000u, 0x52000000u);
    ASSERT_EQ(seen.forwarded.size(), 2u);
    EXPECT_EQ(seen.forwarded[0], static_cast<UINT>(WM_HELP));
    EXPECT_EQ(seen.forwarded[1], static_cast<UINT>(WM_CONTEXTMENU));
    for (WPARAM w : seen.forwardedWParam) EXPECT_EQ(w, reinterpret_cast<WPARAM>(parent));
    EXPECT_EQ(seen.patternWidth, RESIZED_WIDTH);
    EXPECT_EQ(seen.patternHeight, RESIZED_HEIGHT);
    EXPECT_EQ(seen.patternCentre.x, RESIZED_WIDTH / 2);
    EXPECT_EQ(seen.patternCentre.y, RESIZED_HEIGHT / 2);
    EXPECT_FALSE(IsWindow(parent));
    UnregisterClassA(PARENT_CLASS, GetModuleHandleA(nullptr));
  }
}
