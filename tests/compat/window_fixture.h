// A clean headless window system for each test, and a window class that records the messages
// its windows receive.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "compat/testing.h"

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class HeadlessWindows : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A window of the recording class; `handler` may answer a message instead of DefWindowProcA.
  HWND MakeWindow(DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr, int width = 320,
                  int height = 200, const char *title = "Recorder");
  // Messages received so far with this number, in order.
  std::vector<Received> Of(UINT message) const;
  // Runs GetMessageA / TranslateMessage / DispatchMessageA until the quit message.
  int RunLoop();

  static std::vector<Received> received;
  static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> handler;

 private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
