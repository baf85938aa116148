// A clean headless window system for each test, and a window class that records the messages
// its windows receive; and a wait in real time for what other threads and processes do.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <thread>
#include <utility>
#include <vector>

#include "compat/testing.h"

// Dispatches what arrives until `done` holds; false when ten seconds pass first.
inline bool PumpUntil(const std::function<bool()> &done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class HeadlessWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    compat::testing::UseHeadless();
    compat::testing::ResetHeadless();
    received.clear();
    handler = nullptr;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Record;
    windowClass.lpszClassName = "Recorder";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
  }
  void TearDown() override {
    handler = nullptr;
    compat::testing::ResetHeadless();
  }

  // A window of the recording class; `handler` may answer a message instead of DefWindowProcA.
  static HWND MakeWindow(DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr,
                         int width = 320, int height = 200, const char *title = "Recorder") {
    return CreateWindowExA(0, "Recorder", title, style, 0, 0, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  // Messages received so far with this number, in order.
  static std::vector<Received> Of(UINT message) {
    std::vector<Received> found;
    for (const Received &r : received)
      if (r.message == message) found.push_back(r);
    return found;
  }
  // The messages received so far with any of these numbers, in order, with their windows.
  static std::vector<std::pair<UINT, HWND>> Sequence(std::initializer_list<UINT> messages) {
    std::vector<std::pair<UINT, HWND>> found;
    for (const Received &r : received)
      for (UINT m : messages)
        if (r.message == m) found.emplace_back(m, r.window);
    return found;
  }
  // Runs GetMessageA / TranslateMessage / DispatchMessageA until the quit message.
  static int RunLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
  }

  static inline std::vector<Received> received;
  static inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> handler;

 private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(Received{window, message, wParam, lParam});
    LRESULT result = 0;
    if (handler && handler(window, message, wParam, lParam, &result)) return result;
    return DefWindowProcA(window, message, wParam, lParam);
  }
};
